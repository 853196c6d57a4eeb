#include "app/preview.h"
#include "app/ui_language.h"
#include "platform/qt/qt_title_fit.h"

#include <QPainter>
#include <QResizeEvent>
#include <cmath>

namespace bm {

PreviewImage::PreviewImage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Image1"));
}

void PreviewImage::SetPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void PreviewImage::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(rect(), picture_);
}

TfmPreview::TfmPreview(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("fmPreview"));
  setModal(true);
  SetTrTitle(this, metaObject()->className(), QT_TR_NOOP("Просмотр страницы"));
  image1_ = new PreviewImage(this);
  move(225, 128);
  resize(311, 480);
  FitTitle(this);
}

void TfmPreview::ShowPicture(const QImage& picture) {
  image1_->SetPicture(picture);
  FitImage();
}

void TfmPreview::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  FitImage();
}

void TfmPreview::FitImage() {
  const QImage& picture = image1_->Picture();
  const int clientW = width(), clientH = height();
  if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0) {
    image1_->setGeometry(0, 0, clientW, clientH);
    return;
  }
  int w = clientW;
  int h = static_cast<int>(std::lround(double(w) / picture.width() * picture.height()));
  if (h > clientH) {
    h = clientH;
    w = static_cast<int>(std::lround(double(h) / picture.height() * picture.width()));
  }
  image1_->setGeometry(0, 0, w, h);
}

}  // namespace bm
