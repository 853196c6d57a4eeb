// The interface language: Qt translators for it, and widget texts that follow a switch.
#pragma once
#include <QObject>
#include <QString>
#include <optional>

class QObject;
class QTranslator;
class QWidget;

namespace bm {

enum class UiLanguage { Russian, English };

// "ru" or "en" (any case); nothing for other words.
std::optional<UiLanguage> ParseUiLanguage(const QString& word);

// Installs the translators of lang, the program's and Qt's own for its
// standard dialogs, in place of those of the language before. Qt then sends
// every window QEvent::LanguageChange. Russian, the texts' own language,
// needs no translator of the program's.
void SetUiLanguage(UiLanguage lang);
UiLanguage CurrentUiLanguage();
// The translator of Qt's own texts now installed, or null.
QTranslator* InstalledQtTranslator();

// The language a run starts in: the one asked for on the command line, else
// the one remembered in the settings, else Russian.
UiLanguage StartLanguage(std::optional<UiLanguage> commandLine);
// Remembers lang for the next runs.
void RememberUiLanguage(UiLanguage lang);

// Sets the text of object (an action, menu, button, label or group box) to the
// translation of source in context and keeps source on it, so that
// RetranslateTexts sets it anew after a language switch.
void SetTrText(QObject* object, const char* context, const char* source);
void SetTrToolTip(QWidget* widget, const char* context, const char* source);
void SetTrTitle(QWidget* widget, const char* context, const char* source);

// SetTrText with the context of owner's class (where lupdate files the
// QT_TR_NOOP texts of its member functions); returns object.
template <class T>
T* TrText(const QObject* owner, T* object, const char* source) {
  SetTrText(object, owner->metaObject()->className(), source);
  return object;
}

// Sets again every text kept by SetTr* on root and everything it owns.
void RetranslateTexts(QObject* root);

}  // namespace bm
