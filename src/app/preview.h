// TfmPreview: the print preview window, showing one page image scaled to its
// client area with the page's proportions. The program creates one hidden at
// start-up; each preview command shows a new one of its own.
#pragma once
#include <QDialog>
#include <QImage>
#include <QWidget>

namespace bm {

// Image1: draws its picture stretched to its own size.
class PreviewImage : public QWidget {
  Q_OBJECT
 public:
  explicit PreviewImage(QWidget* parent = nullptr);
  void SetPicture(const QImage& picture);
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  QImage picture_;
};

class TfmPreview : public QDialog {
  Q_OBJECT
 public:
  explicit TfmPreview(QWidget* parent = nullptr);

  PreviewImage* Image1() const { return image1_; }
  // Gives the image its picture, as wide as the client area and as high as
  // the picture's proportions allow, or as high as the client area where
  // that is the smaller.
  void ShowPicture(const QImage& picture);

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  void FitImage();

  PreviewImage* image1_ = nullptr;
};

}  // namespace bm
