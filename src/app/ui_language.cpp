// The interface language: translators, the remembered choice and retranslated texts.
#include "app/ui_language.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QPointer>
#include <QTranslator>
#include <QWidget>

#include "app/settings.h"

namespace bm {

namespace {

constexpr const char* kContext = "bmTrContext";
constexpr const char* kText = "bmTrText";
constexpr const char* kTip = "bmTrTip";
constexpr const char* kTitle = "bmTrTitle";

UiLanguage current = UiLanguage::Russian;
QPointer<QTranslator> programTranslator;
QPointer<QTranslator> qtTranslator;

void Drop(QPointer<QTranslator>& translator) {
  if (!translator) return;
  QCoreApplication::removeTranslator(translator);
  delete translator;
  translator = nullptr;
}

QString Translated(const QObject* object, const char* property) {
  const QByteArray context = object->property(kContext).toByteArray();
  const QByteArray source = object->property(property).toByteArray();
  return QCoreApplication::translate(context.constData(), source.constData());
}

void ApplyText(QObject* object) {
  const QString text = Translated(object, kText);
  if (auto* action = qobject_cast<QAction*>(object)) action->setText(text);
  else if (auto* menu = qobject_cast<QMenu*>(object)) menu->setTitle(text);
  else if (auto* button = qobject_cast<QAbstractButton*>(object)) button->setText(text);
  else if (auto* label = qobject_cast<QLabel*>(object)) label->setText(text);
  else if (auto* group = qobject_cast<QGroupBox*>(object)) group->setTitle(text);
}

void Retranslate(QObject* object);

// Every window sets its kept texts anew when the language changes, whether
// it was open at the switch or made before it and shown later.
class LanguageChangeFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::LanguageChange) {
      auto* widget = qobject_cast<QWidget*>(watched);
      if (widget && widget->isWindow()) RetranslateTexts(widget);
    }
    return false;
  }
};

void Retranslate(QObject* object) {
  if (object->property(kText).isValid()) ApplyText(object);
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget) return;
  if (object->property(kTip).isValid()) widget->setToolTip(Translated(object, kTip));
  if (object->property(kTitle).isValid()) widget->setWindowTitle(Translated(object, kTitle));
}

}  // namespace

std::optional<UiLanguage> ParseUiLanguage(const QString& word) {
  const QString w = word.trimmed().toLower();
  if (w == QLatin1String("ru")) return UiLanguage::Russian;
  if (w == QLatin1String("en")) return UiLanguage::English;
  return std::nullopt;
}

void SetUiLanguage(UiLanguage lang) {
  static LanguageChangeFilter* filter = nullptr;
  if (!filter) {
    filter = new LanguageChangeFilter(qApp);
    qApp->installEventFilter(filter);
  }
  Drop(programTranslator);
  Drop(qtTranslator);
  current = lang;
  const bool english = lang == UiLanguage::English;
  if (english) {
    programTranslator = new QTranslator(qApp);
    if (programTranslator->load(QStringLiteral(":/i18n/bytemoor_en.qm")))
      QCoreApplication::installTranslator(programTranslator);
    else
      Drop(programTranslator);
  }
  // Qt's own texts (the buttons of its standard dialogs) in the same language.
  qtTranslator = new QTranslator(qApp);
  const QLocale locale = english ? QLocale(QLocale::English, QLocale::UnitedStates)
                                 : QLocale(QLocale::Russian, QLocale::Russia);
  if (qtTranslator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(qtTranslator);
  else
    Drop(qtTranslator);
  // Without any translator to install Qt would send no LanguageChange.
  if (!programTranslator && !qtTranslator) {
    QEvent change(QEvent::LanguageChange);
    QCoreApplication::sendEvent(qApp, &change);
  }
}

UiLanguage CurrentUiLanguage() { return current; }

QTranslator* InstalledQtTranslator() { return qtTranslator; }

UiLanguage StartLanguage(std::optional<UiLanguage> commandLine) {
  if (commandLine) return *commandLine;
  const auto stored = ParseUiLanguage(settings::Value(settings::kLanguage).toString());
  return stored.value_or(UiLanguage::Russian);
}

void RememberUiLanguage(UiLanguage lang) {
  settings::SetValue(settings::kLanguage,
                     QString::fromLatin1(lang == UiLanguage::English ? "en" : "ru"));
}

void SetTrText(QObject* object, const char* context, const char* source) {
  object->setProperty(kContext, QByteArray(context));
  object->setProperty(kText, QByteArray(source));
  ApplyText(object);
}

void SetTrToolTip(QWidget* widget, const char* context, const char* source) {
  widget->setProperty(kContext, QByteArray(context));
  widget->setProperty(kTip, QByteArray(source));
  widget->setToolTip(Translated(widget, kTip));
}

void SetTrTitle(QWidget* widget, const char* context, const char* source) {
  widget->setProperty(kContext, QByteArray(context));
  widget->setProperty(kTitle, QByteArray(source));
  widget->setWindowTitle(Translated(widget, kTitle));
}

void RetranslateTexts(QObject* root) {
  Retranslate(root);
  for (QObject* child : root->findChildren<QObject*>()) Retranslate(child);
}

}  // namespace bm
