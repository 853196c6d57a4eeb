// TMainForm: the program's main window. The editor control between a toolbar
// and a status line, the main menu, and the file, edit and navigation
// commands.
//
// Implemented in:
//   main_form.cpp       construction, layout, window events, state handler
//   main_form_menu.cpp  the menu, its shortcuts, the toolbar and the openers
//   main_form_file.cpp  New, Open, Save, Save as, Exit, the save prompt, drops
//   main_form_edit.cpp  Undo, the clipboard commands, Go to and the steps
//   main_form_calc.cpp  the calculator command
//   main_form_find.cpp  Find, Find next, Find previous and the count
//   main_form_replace.cpp the Replace dialog's commands
//   main_form_view.cpp  the View menu and the About box
//   main_form_print.cpp printer font, printer setup, print and preview
//   main_form_inspect.cpp the value inspector and the column ruler
//   main_form_keys.cpp  the two key schemes, shortcuts while the menu bar has the keys, Select all
//   main_form_recent.cpp the recent files submenu
//   main_form_tools.cpp checksums, copy as text, paste hex text, fill, selection
//                       to a file and a file into the document
//   main_form_compare.cpp comparing with a second file, next and previous difference
//   main_form_watch.cpp changes other programs make to the document's file
#pragma once
#include <QMainWindow>
#include <QString>
#include <array>
#include <map>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "editor/editor_types.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/keys.h"
#include "app/ui_language.h"

class QAction;
class QActionGroup;
class QKeyEvent;
class QKeySequence;
class QLabel;
class QMenu;
class QShortcut;
class QSplitter;
class QToolButton;
class QWidget;

namespace bm {

class EditorWidget;
class TByteEditor;
class TAboutForm;
class TFindForm;
class TReplaceForm;
class TfmPreview;
class THexCalc;
class THexToCanvas;
class ValueInspector;
class CompareView;
class Printer;

class TMainForm : public QMainWindow {
  Q_OBJECT
 public:
  // arguments: the command-line arguments after the program's name, as bytes.
  TMainForm(Dialogs& dialogs, Clipboard& clipboard, std::vector<std::string> arguments,
            FileSystem& files = SystemFileSystem(), QWidget* parent = nullptr);
  ~TMainForm() override;

  EditorWidget* ByteEditor1Widget() const { return byteEditor1_; }
  ValueInspector* ValueInspector1() const { return valueInspector1_; }
  // The second pane while a comparison is open, else null.
  CompareView* Comparison() const { return compare_; }
  // Closes the comparison, if one is open.
  void EndComparison();
  TByteEditor& ByteEditor1() const;

  // The windows created after this one at start-up (null until attached).
  void AttachForms(TAboutForm* about, TFindForm* find, TfmPreview* preview, THexCalc* calc);
  TAboutForm* AboutForm() const { return aboutForm_; }
  TFindForm* FindForm() const { return findForm_; }
  TfmPreview* fmPreview() const { return fmPreview_; }
  THexCalc* HexCalc() const { return hexCalc_; }

  // Window state kept between commands.
  bool FirstActivation() const { return firstActivation_; }
  int64_t JumpAmount() const { return jumpAmount_; }
  int32_t CalcValue() const { return calcValue_; }
  const std::string& PrinterFontName() const { return printerFontName_; }
  int32_t PrinterFontSize() const { return printerFontSize_; }
  // The page renderer bound to the editor, and the printer it prints on
  // (the system's, unless another was set).
  THexToCanvas& HexToCanvas1();
  Printer& CurrentPrinter();
  void SetPrinter(Printer& printer);

  // The search state of Find and Find next.
  const std::string& FindQuery() const { return findQuery_; }
  const std::vector<uint8_t>& FindPattern() const { return findPattern_; }
  int64_t FindPatternLength() const { return findPatternLength_; }
  bool FindIgnoreCase() const { return findIgnoreCase_; }
  // One flag a pattern byte, 1 for "??" (empty without wildcards).
  const std::vector<uint8_t>& FindAny() const { return findAny_; }
  // The Replace dialog, made on first use (null before).
  TReplaceForm* ReplaceForm() const { return replaceForm_; }
  int64_t FindLastPos() const { return findLastPos_; }

  // The text of a status panel; 5 is the insert panel (empty until it is made).
  QString PanelText(int panel) const;

  // Internal operations.
  bool QuerySave();
  bool SaveDocument();
  void ShowError(const std::string& text);
  void CopyBytesToClipboard(const uint8_t* buffer, int64_t count);

  // Runs the command of a menu item as its shortcut does: the opener of the
  // item's menu first, then the command if the item is enabled.
  void DispatchShortcut(QAction* item);

  // Gives every menu item its keys of the classic scheme or of the scheme of
  // most programs (standard), in the menus and as window-wide shortcuts.
  void ApplyKeyScheme(bool standard);
  bool StandardKeys() const { return standardKeys_; }

 public slots:
  // Window and editor events.
  void FormCreate();
  void FormActivate();
  void FormCloseQuery(bool& canClose);
  void FormDestroy();
  void ByteEditor1StateChanged();
  void ByteEditor1KeyDown(uint16_t& key, ShiftState shift);

  // File menu.
  void Datei1Click();
  void Neu1Click();
  void ffnen1Click();
  void Speichern1Click();
  void Speichernunter1Click();
  void N9Click();
  void Printsetup1Click();
  void Print1Click();
  void Printpreview1Click();
  void Recent1Click();
  void Compare1Click();
  void Beenden1Click();

  // Edit menu.
  void Bearbeiten1Click();
  void Rckgngig1Click();
  void Redo1Click();
  void SelectAll1Click();
  void Ausschneiden1Click();
  void Kopieren1Click();
  void Einfgen1Click();
  void Goto1Click();
  void Jump1Click();
  void Amount40001Click();
  void Jumpforward1Click();
  void Jumpbackward1Click();
  void Find1Click();
  void FindNext1Click();
  void FindPrev1Click();
  void Replace1Click();
  void NextDiff1Click();
  void PrevDiff1Click();
  void N8Click();

  // View menu.
  void View1Click();
  void Blocksize1Click();
  void Caretstyle1Click();
  void Offsetdisplay1Click();
  void _64Click();
  void N4Bytesperblock1Click();
  void Bottomline1Click();
  void None1Click();
  void Win1Click();
  void ASCIItoANSI1Click();
  void N10Click();
  void N11Click();
  void N12Click();
  void Grid1Click();
  void Showmarkers1Click();
  void ValueInspector1Click();
  void ColumnRuler1Click();
  void StandardKeys1Click();
  void AllowInsert1Click();
  // View, "Язык / Language": switches the interface and remembers the choice.
  void LangRussian1Click();
  void LangEnglish1Click();

  // Help menu.
  void Info1Click();

  // Byte tools.
  void Checksums1Click();
  void CopyAs1Click();
  void PasteHex1Click();
  void Fill1Click();
  void SaveSelection1Click();
  void InsertFile1Click();

  // Toolbar.
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();
  void SpeedButton4Click();
  void SpeedButton5Click();
  void SpeedButton6Click();
  void SpeedButton7Click();
  void SpeedButton8Click();

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  using Handler = void (TMainForm::*)();

  // main_form.cpp
  void BuildLayout();
  void ApplyEditorSettings();
  // Runs a command; a file error that escapes it is shown in an error box.
  void Guarded(Handler handler);
  template <typename F>
  void GuardedCall(F&& f) {
    try {
      f();
    } catch (const std::exception& e) {
      ShowError(e.what());
    }
  }

  // main_form_menu.cpp
  void BuildMenu();
  void BuildToolbar();
  QMenu* AddMenu(QMenu* parent, const char* name, const char* caption, Handler opener);
  QAction* AddItem(QMenu* menu, const char* name, const char* caption, const char* shortcut,
                   Handler handler);
  QAction* AddRadioItem(QMenu* menu, QActionGroup* group, const char* name, const char* caption,
                        int tag, bool checked, Handler handler);

  // main_form_keys.cpp
  // Whether key is one of the window-wide shortcuts of the menu items.
  bool IsShortcutKey(const QKeySequence& key) const;
  // Whether the key event presses one of the keys of item.
  static bool IsKeyOf(const QAction* item, const QKeyEvent& key);

  // main_form_file.cpp
  // Loads path as the document; when the file cannot be used the current
  // document stays and an error box names the file.
  bool OpenNamedFile(const std::string& path);
  // Tells the user, once, that the document's work is not kept for recovery.
  void TellIfRecoveryIsOff();
  std::string DialogFolder() const;
  FileDialogRequest OpenRequest() const;
  FileDialogRequest SaveRequest() const;
  // main_form_recent.cpp
  // Opens a file of the recent list as Open does; one that no longer opens
  // leaves the list after its error.
  void OpenRecent(const std::string& path);

  // main_form_edit.cpp
  void CopySelection(bool cut);

  // main_form_find.cpp
  // Selects the match at q, or reports that there is none.
  void ShowFindResult(int64_t q);
  // The Find dialog's "Найти все": counts what its fields ask for.
  void FindFormCount();
  // Whether the bytes selected now are one match of the search state.
  bool SelectionIsMatch();
  // The wildcard flags of the search state for the engine: null when every
  // byte of the pattern is fixed.
  const uint8_t* FindAnyFlags() const { return findAny_.empty() ? nullptr : findAny_.data(); }
  // main_form_replace.cpp
  // The search state from the Replace dialog's fields; false when they
  // give no pattern.
  bool TakeReplacePattern();
  bool ReplaceAllowed();
  void ReplaceFindNext();
  void ReplaceOne();
  void ReplaceAllClick();
  void ReplaceCount();
  // main_form_compare.cpp
  void StartComparison(const std::string& path);
  // Re-reads the compared file after another program changed it.
  void RefreshComparison();
  // main_form_watch.cpp
  // Watches the document's file (none for a new document), forgetting the
  // change last told of; called whenever the document takes a file.
  void WatchDocumentFile();
  // A check of the document's file after delay milliseconds.
  void ScheduleFileCheck(int delay);
  // When another program changed the document's file: reloads an unmodified
  // document, asks about a modified one.
  void CheckFileOnDisk();
  struct WatchState;
  WatchState& Watching();
  // main_form_insert.cpp
  // Builds the insert panel and applies the remembered choice.
  void BuildInsertMode();
  void ApplyInsertMode(bool allow);
  void UpdateInsertPanel();
  // The language submenu of View, checked at the language of the moment.
  void BuildLanguageMenu();
  void ChooseLanguage(UiLanguage lang);
  // Sets every text anew in the language just installed: menus, toolbar
  // hints, status line, caption.
  void RetranslateUi();
  // main_form_view.cpp
  QAction* ViewItem(const char* name) const;
  // The tag of the menu item whose signal runs the handler, else fallback.
  int ChosenTag(int fallback) const;
  void ChooseTranslation(TTranslationType set, const char* itemName);
  // main_form_tools.cpp: the items of the tools and their enabled states.
  void BuildFileTools();
  void BuildEditTools();
  void ToolsFileStates();
  void ToolsEditStates();
  // main_form_inspect.cpp
  void BuildInspector();
  void ShowInspector(bool show);
  // main_form_print.cpp
  struct PrintState;
  PrintState& Printing();
  void PrepareRenderer();

  Dialogs& dialogs_;
  Clipboard& clipboard_;
  FileSystem& files_;
  std::vector<std::string> arguments_;

  EditorWidget* byteEditor1_ = nullptr;
  QWidget* panel1_ = nullptr;
  std::array<QToolButton*, 8> speedButtons_{};
  std::array<QLabel*, 5> panels_{};
  QLabel* insertPanel_ = nullptr;  // shown only while insert mode is allowed

  TAboutForm* aboutForm_ = nullptr;
  TFindForm* findForm_ = nullptr;
  TfmPreview* fmPreview_ = nullptr;
  THexCalc* hexCalc_ = nullptr;

  // Menu items used by the openers and commands.
  QMenu* datei1_ = nullptr;
  QMenu* bearbeiten1_ = nullptr;
  QMenu* jump1_ = nullptr;
  QMenu* view1_ = nullptr;
  QAction* speichern1_ = nullptr;
  QAction* speichernunter1_ = nullptr;
  QAction* print1_ = nullptr;
  QAction* printpreview1_ = nullptr;
  QAction* rckgngig1_ = nullptr;
  QAction* redo1_ = nullptr;
  QAction* selectAll1_ = nullptr;
  QAction* standardKeys1_ = nullptr;
  QMenu* recent1_ = nullptr;
  QAction* ausschneiden1_ = nullptr;
  QAction* kopieren1_ = nullptr;
  QAction* einfgen1_ = nullptr;
  QAction* goto1_ = nullptr;
  QAction* amount40001_ = nullptr;
  QAction* jumpforward1_ = nullptr;
  QAction* jumpbackward1_ = nullptr;
  QAction* find1_ = nullptr;
  QAction* findNext1_ = nullptr;
  QAction* findPrev1_ = nullptr;
  QAction* replace1_ = nullptr;
  TReplaceForm* replaceForm_ = nullptr;
  QAction* saveSelection1_ = nullptr;
  QAction* insertFile1_ = nullptr;
  QMenu* copyAs1_ = nullptr;
  QAction* pasteHex1_ = nullptr;
  QAction* fill1_ = nullptr;
  QAction* checksums1_ = nullptr;
  QAction* compare1_ = nullptr;
  QAction* nextDiff1_ = nullptr;
  QAction* prevDiff1_ = nullptr;
  CompareView* compare_ = nullptr;
  QSplitter* compareSplitter_ = nullptr;
  std::string lastCompareName_;
  // The opener of the menu being built; each item keeps it for its shortcut.
  std::vector<Handler> openers_;
  std::map<QAction*, std::vector<Handler>> itemOpeners_;
  // The key an item was built with (for items the key table has no row of),
  // and the window-wide shortcuts that carry an item's keys.
  std::map<QAction*, QString> builtKeys_;
  std::map<QAction*, std::vector<QShortcut*>> itemShortcuts_;
  bool standardKeys_ = false;

  bool firstActivation_ = true;
  bool startingUp_ = false;  // the first activation's recovery and load
  std::shared_ptr<WatchState> watch_;  // made on first use
  int64_t jumpAmount_ = 0;
  int32_t calcValue_ = 0;
  std::string printerFontName_;
  int32_t printerFontSize_ = 0;
  std::string lastOpenName_;
  std::string lastSaveName_;

  // Search state: the last confirmed query with its mode mark, the pattern
  // (converted to data bytes by the first search), and the last match.
  std::string findQuery_;
  std::vector<uint8_t> findPattern_;
  int64_t findPatternLength_ = 0;
  bool findIgnoreCase_ = false;
  int64_t findLastPos_ = -1;
  std::vector<uint8_t> findAny_;
  std::shared_ptr<PrintState> print_;  // made on first use

  ValueInspector* valueInspector1_ = nullptr;
  int inspectorGrowth_ = 0;  // how much showing the inspector widened the window
};

// Creates the program's windows in their start-up order: the main window,
// then, hidden and owned by it, the About box, the Find dialog, the preview
// window and the calculator.
std::unique_ptr<TMainForm> CreateForms(Dialogs& dialogs, Clipboard& clipboard,
                                       std::vector<std::string> arguments,
                                       FileSystem& files = SystemFileSystem());

// A byte-string path as text for the screen.
QString DisplayName(const std::string& path);

}  // namespace bm
