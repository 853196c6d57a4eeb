// TMainForm: the byte tools. Checksums, Copy as text and code, Paste hex
// text, Fill, Save selection as and Insert file.
#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "app/checksum_form.h"
#include "app/fill_form.h"
#include "app/main_form.h"
#include "app/utf8_text.h"
#include "app/wait_cursor.h"
#include "bytetools/hex_text.h"
#include "bytetools/text_forms.h"
#include "editor/byte_editor.h"
#include "platform/codepage.h"

namespace bm {

namespace {

// Copies of more bytes than this are asked about first.
constexpr int64_t kLargeCopy = int64_t{16} << 20;
// Bytes read from the document at a time.
constexpr int64_t kReadBlock = int64_t{1} << 20;

struct Range {
  int64_t first = 0;
  int64_t count = 0;
  bool selected = false;
};

// The selection, or else the whole document (whole) or the byte at the
// cursor (an empty document gives nothing).
Range ToolRange(TByteEditor& ed, bool whole) {
  Range r;
  if (ed.SelLength() > 0) {
    r.first = std::min(ed.SelStart(), ed.SelEnd());
    r.count = ed.SelLength();
    r.selected = true;
  } else if (whole) {
    r.count = ed.DataSize();
  } else if (ed.DataSize() > 0) {
    r.first = ed.CursorPosition();
    r.count = 1;
  }
  return r;
}

// Reads the range block by block into sink.
template <typename Sink>
void ReadRange(TByteEditor& ed, const Range& r, Sink&& sink) {
  std::vector<uint8_t> block(static_cast<size_t>(std::clamp<int64_t>(r.count, 1, kReadBlock)));
  for (int64_t done = 0; done < r.count;) {
    const int64_t n = std::min<int64_t>(r.count - done, kReadBlock);
    if (ed.ReadBytes(block.data(), r.first + done, n) != n)
      throw FileError("The working copy ended early");
    sink(block.data(), n);
    done += n;
  }
}

// Why a file could not be read, for the user.
std::string ReadProblem(const FileError& e) {
  switch (e.Code()) {
    case EISDIR: return QCoreApplication::translate("bm::TMainForm", "это папка").toStdString();
    case EINVAL:
      return QCoreApplication::translate("bm::TMainForm", "это не обычный файл").toStdString();
    case 0: return e.what();
    default: return std::strerror(e.Code());
  }
}

struct CopyAsItem {
  const char* name;
  const char* caption;
  TextForm form;
};
constexpr CopyAsItem kCopyAsItems[] = {
    {"CopyAsHex1", QT_TRANSLATE_NOOP("bm::TMainForm", "Шестнадцатеричный текст"), TextForm::HexSpaced},
    {"CopyAsHexPlain1", QT_TRANSLATE_NOOP("bm::TMainForm", "Шестнадцатеричный текст без пробелов"), TextForm::HexPlain},
    {"CopyAsC1", QT_TRANSLATE_NOOP("bm::TMainForm", "Массив C"), TextForm::CArray},
    {"CopyAsPython1", QT_TRANSLATE_NOOP("bm::TMainForm", "Байты Python"), TextForm::PythonBytes},
    {"CopyAsBase641", "Base64", TextForm::Base64},
    {"CopyAsChars1", QT_TRANSLATE_NOOP("bm::TMainForm", "Символы"), TextForm::Characters},
};

}  // namespace

// ---- menu items -----------------------------------------------------------------------

void TMainForm::BuildFileTools() {
  saveSelection1_ = AddItem(datei1_, "SaveSelection1", QT_TR_NOOP("Сохранить выделение как..."), nullptr,
                            &TMainForm::SaveSelection1Click);
  insertFile1_ =
      AddItem(datei1_, "InsertFile1", QT_TR_NOOP("Вставить файл..."), nullptr, &TMainForm::InsertFile1Click);
}

void TMainForm::BuildEditTools() {
  copyAs1_ = AddMenu(bearbeiten1_, "CopyAs1", QT_TR_NOOP("Копировать как"), nullptr);
  for (const CopyAsItem& item : kCopyAsItems)
    AddItem(copyAs1_, item.name, item.caption, nullptr, &TMainForm::CopyAs1Click)
        ->setData(static_cast<int>(item.form));
  pasteHex1_ = AddItem(bearbeiten1_, "PasteHex1", QT_TR_NOOP("Вставить из шестнадцатеричного текста"),
                       "Ctrl+Shift+V", &TMainForm::PasteHex1Click);
  fill1_ = AddItem(bearbeiten1_, "Fill1", QT_TR_NOOP("Заполнить..."), nullptr, &TMainForm::Fill1Click);
  checksums1_ = AddItem(bearbeiten1_, "Checksums1", QT_TR_NOOP("Контрольные суммы..."), "Ctrl+M",
                        &TMainForm::Checksums1Click);
}

void TMainForm::ToolsFileStates() {
  TByteEditor& ed = ByteEditor1();
  saveSelection1_->setEnabled(ed.SelLength() > 0);
  insertFile1_->setEnabled(true);
}

void TMainForm::ToolsEditStates() {
  TByteEditor& ed = ByteEditor1();
  const bool haveData = ed.DataSize() > 0;
  copyAs1_->setEnabled(haveData);
  copyAs1_->menuAction()->setEnabled(haveData);
  for (QAction* item : copyAs1_->actions()) item->setEnabled(haveData);
  pasteHex1_->setEnabled(clipboard_.HasText());
  fill1_->setEnabled(ed.SelLength() > 0 && !ed.ReadOnlyFile());
  checksums1_->setEnabled(true);
}

// ---- commands -------------------------------------------------------------------------

void TMainForm::Checksums1Click() {
  TByteEditor& ed = ByteEditor1();
  const Range r = ToolRange(ed, true);
  QString what;
  const QString span = r.count > 0 ? QString::number(r.first) + U(" - ") +
                                         QString::number(r.first + r.count - 1)
                                   : tr("пусто");
  what = (r.selected ? tr("Выделено : %1 (%2 байт)") : tr("Весь документ : %1 (%2 байт)"))
             .arg(span)
             .arg(r.count);
  ChecksumForm form(this, what, r.first, r.count, [&ed](uint8_t* to, int64_t position, int64_t n) {
    return static_cast<int64_t>(
        ed.ReadBytes(to, position, n));
  });
  form.Start();
  form.exec();
}

void TMainForm::CopyAs1Click() {
  const auto form = static_cast<TextForm>(ChosenTag(static_cast<int>(TextForm::HexSpaced)));
  TByteEditor& ed = ByteEditor1();
  const Range r = ToolRange(ed, false);
  if (r.count <= 0) return;
  const int64_t length = TextLength(form, r.count);
  if (r.count > kLargeCopy &&
      dialogs_.MessageBox(tr("Текст займёт %1 МиБ. Копировать?")
                              .arg((length + (1 << 20) - 1) >> 20)
                              .toStdString(),
                          tr("Копировать как").toStdString(), MessageIcon::Question,
                          MessageButtons::YesNo) != MessageResult::Yes)
    return;
  std::array<char, 256> chars{};
  for (int b = 0; b < 256; ++b)
    chars[static_cast<size_t>(b)] = static_cast<char>(ed.ByteToDisplayChar(static_cast<uint8_t>(b)));
  WaitCursor busy;
  TextFormWriter writer(form, r.count, &chars);
  ReadRange(ed, r, [&](const uint8_t* bytes, int64_t n) { writer.Append(bytes, n); });
  clipboard_.SetText(writer.Finish());
}

void TMainForm::PasteHex1Click() {
  Bearbeiten1Click();
  if (!pasteHex1_->isEnabled()) return;
  HexTextResult parsed;
  {
    WaitCursor busy;
    parsed = ParseHexText(clipboard_.Text());
  }
  if (!parsed.ok) {
    const QString shown(QChar(AnsiToUnicode(static_cast<uint8_t>(parsed.errorChar))));
    ShowError(tr("Не шестнадцатеричный текст: «%1» в позиции %2.")
                  .arg(shown)
                  .arg(parsed.errorIndex + 1)
                  .toStdString());
    return;
  }
  if (parsed.bytes.empty()) return;
  WaitCursor busy;
  ByteEditor1().PasteBuffer(parsed.bytes.data(), static_cast<int64_t>(parsed.bytes.size()));
}

void TMainForm::Fill1Click() {
  Bearbeiten1Click();
  if (!fill1_->isEnabled()) return;
  TByteEditor& ed = ByteEditor1();
  const Range r = ToolRange(ed, false);
  FillForm dialog(this, dialogs_, r.count);
  if (dialog.exec() != QDialog::Accepted) return;
  std::optional<FillPattern> fill = dialog.Chosen();
  if (!fill) return;
  WaitCursor busy;
  ByteSource source;
  source.generate = [&fill](uint8_t* to, int64_t at, int64_t n) { fill->Generate(to, at, n); };
  ed.OverwriteFrom(r.first, source, r.count);
}

void TMainForm::SaveSelection1Click() {
  TByteEditor& ed = ByteEditor1();
  const Range r = ToolRange(ed, false);
  if (!r.selected) return;
  FileDialogRequest request = SaveRequest();
  request.title = tr("Сохранить выделение как").toStdString();
  const std::optional<FileDialogResult> chosen = dialogs_.SaveFile(request);
  if (!chosen) return;
  lastSaveName_ = chosen->path;

  // The bytes go to a private file first; the save of that file puts them
  // at the chosen name as Save as would (no link followed, nothing half
  // written left behind).
  std::string problem;
  std::string folder = files_.WorkDirectory(problem);
  if (!problem.empty()) folder = files_.TempDirectory();
  std::string temp;
  std::unique_ptr<FileStream> out;
  for (int attempt = 0; !out && attempt < 100; ++attempt) {
    temp = folder + "selection-" + IntToHex(files_.RandomNumber(), 8) + ".tmp";
    out = files_.CreateExclusive(temp);
  }
  const std::string failed = "Cannot save file\r\n" + DisplayName(chosen->path).toStdString();
  if (!out) {
    ShowError(failed);
    return;
  }
  bool saved = false;
  std::string cause;
  try {
    WaitCursor busy;
    out->Reserve(0, r.count);
    ReadRange(ed, r, [&](const uint8_t* bytes, int64_t n) { out->Write(bytes, n); });
    out.reset();
    // As for a file that no name led to yet: a link at the chosen name is
    // replaced, never followed.
    FileIdentity none;
    none.known = true;
    none.device = none.inode = ~uint64_t{0};
    SaveCopyOptions options;
    options.loaded = &none;
    saved = files_.SaveCopy(temp, chosen->path, options, nullptr);
  } catch (const FileError& e) {
    cause = e.Code() != 0 ? std::strerror(e.Code()) : e.what();
  }
  out.reset();
  files_.DeleteFile(temp);
  if (!saved) ShowError(failed + (cause.empty() ? "" : "\r\n" + cause));
}

void TMainForm::InsertFile1Click() {
  FileDialogRequest request = OpenRequest();
  request.title = tr("Вставить файл").toStdString();
  request.showReadOnly = false;
  const std::optional<FileDialogResult> chosen = dialogs_.OpenFile(request);
  if (!chosen) return;
  const std::string failed =
      tr("Не удалось вставить файл\r\n%1").arg(DisplayName(chosen->path)).toStdString();
  TByteEditor& ed = ByteEditor1();
  std::unique_ptr<FileStream> in;
  int64_t size = 0;
  try {
    in = files_.OpenForReading(chosen->path);
    size = in->Size();
  } catch (const FileError& e) {
    ShowError(failed + "\r\n" + ReadProblem(e));
    return;
  }
  if (size <= 0) return;
  try {
    WaitCursor busy;
    ed.PasteFrom(ByteSource{nullptr, in.get(), 0}, size);
  } catch (const FileError& e) {
    // A file that shrank or vanished while it was read: the edit went back.
    std::string why = e.what();
    if (in->Size() != size) why = tr("файл изменился во время чтения").toStdString();
    ShowError(failed + "\r\n" + why);
  }
}

}  // namespace bm
