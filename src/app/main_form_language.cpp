// TMainForm: the interface language, chosen in the View menu, and the texts set anew after a switch.
#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "app/main_form.h"
#include "app/ui_language.h"

namespace bm {

void TMainForm::BuildLanguageMenu() {
  // The submenu and the Russian item read in both languages, so that a user
  // who reads only one of them finds the way back.
  QMenu* language = AddMenu(view1_, "Language1", "Язык / Language", nullptr);
  auto* group = new QActionGroup(this);
  AddRadioItem(language, group, "LangRussian1", "Русский", 0,
               CurrentUiLanguage() == UiLanguage::Russian, &TMainForm::LangRussian1Click);
  AddRadioItem(language, group, "LangEnglish1", "English", 1,
               CurrentUiLanguage() == UiLanguage::English, &TMainForm::LangEnglish1Click);
}

void TMainForm::LangRussian1Click() { ChooseLanguage(UiLanguage::Russian); }
void TMainForm::LangEnglish1Click() { ChooseLanguage(UiLanguage::English); }

void TMainForm::ChooseLanguage(UiLanguage lang) {
  RememberUiLanguage(lang);
  if (lang != CurrentUiLanguage()) SetUiLanguage(lang);
}

void TMainForm::RetranslateUi() {
  RetranslateTexts(this);
  for (const char* name : {"LangRussian1", "LangEnglish1"})
    if (QAction* item = findChild<QAction*>(QString::fromLatin1(name)))
      item->setChecked(item->data().toInt() == (CurrentUiLanguage() == UiLanguage::English));
  Jump1Click();
  ByteEditor1StateChanged();
}

}  // namespace bm
