// An error under the store of typed bytes while the user types is reported, not
// allowed to end the program.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "platform/posix/posix_files.h"
#include "widgets/editor_widget.h"
#include "support/temp_dir.h"

namespace bm {
namespace {

// A stream whose writes fail on demand, as on a full disk.
class FailingStream : public FileStream {
 public:
  FailingStream(std::unique_ptr<FileStream> inner, const bool& fail)
      : inner_(std::move(inner)), fail_(fail) {}
  int64_t Position() const override { return inner_->Position(); }
  void Seek(int64_t p) override { inner_->Seek(p); }
  int64_t Read(void* b, int64_t n) override { return inner_->Read(b, n); }
  void Write(const void* b, int64_t n) override {
    if (fail_) throw FileError("No space left on device");
    inner_->Write(b, n);
  }
  int64_t Size() override { return inner_->Size(); }
  void SetSize(int64_t s) override { inner_->SetSize(s); }

 private:
  std::unique_ptr<FileStream> inner_;
  const bool& fail_;
};

class FailingFiles : public PosixFileSystem {
 public:
  using PosixFileSystem::PosixFileSystem;
  std::unique_ptr<FileStream> OpenReadWrite(const std::string& path) override {
    return std::make_unique<FailingStream>(PosixFileSystem::OpenReadWrite(path), failWrites);
  }
  // The store of typed bytes is made afresh for each document.
  std::unique_ptr<FileStream> CreateExclusive(const std::string& path) override {
    auto made = PosixFileSystem::CreateExclusive(path);
    if (!made) return made;
    return std::make_unique<FailingStream>(std::move(made), failWrites);
  }
  bool failWrites = false;
};

TEST(EditorWidgetErrors, AFailedWriteWhileTypingIsReportedAndChangesNoByte) {
  testing::TempDir tmp;
  FailingFiles files(tmp.Path());
  EditorWidget widget(nullptr, files);
  std::vector<std::string> errors;
  widget.OnError = [&](const std::string& text) { errors.push_back(text); };
  widget.resize(640, 400);
  widget.Editor().Loaded();
  widget.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  ASSERT_TRUE(widget.Editor().LoadFromFile(tmp.Write("data.bin", "AB")));
  QApplication::processEvents();

  files.failWrites = true;
  QTest::keyClick(widget.viewport(), Qt::Key_7);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Cannot change the data\r\nNo space left on device");
  EXPECT_EQ(widget.Editor().ReadByte(0), 'A');
  // Nothing to undo and nothing to save: the byte never changed.
  EXPECT_FALSE(widget.Editor().Modified());
  EXPECT_FALSE(widget.Editor().CanUndo());

  // Once the disk has room again, typing works.
  files.failWrites = false;
  QTest::keyClick(widget.viewport(), Qt::Key_7);
  EXPECT_EQ(widget.Editor().ReadByte(0), 0x71);
  EXPECT_EQ(errors.size(), 1u);
}

}  // namespace
}  // namespace bm
