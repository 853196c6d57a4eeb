// Pieces the benchmarks share: a window host and a surface that draw nothing,
// source files made on demand, the process's resident memory, a file system
// that counts the calls made on its streams and the kernel-side copy the
// file benchmarks compare against.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/surface.h"
#include "platform/window_host.h"

namespace bm::bench {

constexpr int64_t kMiB = 1024 * 1024;

// ---- a host and a surface that draw nothing -------------------------------------------

// Every character 8 pixels wide, any text textHeight high; counts the texts
// and the rectangles drawn on it.
class CountingSurface : public Surface {
 public:
  explicit CountingSurface(int textHeight = 16) : textHeight_(textHeight) {}
  void SetFont(const FontDesc& font) override { font_ = font; }
  const FontDesc& Font() const override { return font_; }
  int TextWidth(std::string_view text) override { return 8 * static_cast<int>(text.size()); }
  int TextHeight(std::string_view) override { return textHeight_; }
  void SetTextColor(Color) override {}
  void SetBkColor(Color) override {}
  void TextOutOpaqueClipped(int, int, const Rect&, std::string_view) override { ++texts; }
  void FrameRect(const Rect&, Color) override { ++rects; }
  void DrawFocusRect(const Rect&) override { ++rects; }
  void FillRect(const Rect&, Color) override { ++rects; }

  int64_t texts = 0;
  int64_t rects = 0;

 private:
  FontDesc font_;
  int textHeight_;
};

// A window that exists but drops what is posted to it. It measures text on
// a CountingSurface of its own, or on the surface it is given.
class NullHost : public WindowHost {
 public:
  explicit NullHost(int textHeight = 16) : own_(textHeight), measure_(&own_) {}
  explicit NullHost(Surface& measure) : measure_(&measure) {}
  NullHost(const NullHost&) = delete;
  NullHost& operator=(const NullHost&) = delete;

  bool WindowExists() const override { return true; }
  void PostMessage(uint32_t, uintptr_t, intptr_t) override {}
  void Invalidate(const Rect&, bool) override {}
  void InvalidateAll() override {}
  void LockUpdate(bool) override {}
  void ScrollStateChanged() override {}
  int16_t KeyState(int) const override { return 0; }
  bool HasFocus() const override { return false; }
  Surface& MeasureSurface() override { return *measure_; }
  void SetBusyCursor(bool) override {}
  void CreateCaret(const CaretBitmap&) override {}
  void DestroyCaret() override {}
  void SetCaretPos(int, int) override {}
  void ShowCaret() override {}
  void HideCaret() override {}
  void StartTimer(int) override {}
  void StopTimer() override {}

 private:
  CountingSurface own_;
  Surface* measure_;
};

// ---- source files ---------------------------------------------------------------------

// Files of non-repeating data in one folder under /tmp, made on first request
// and written through to disk before they are handed out, so their writeback
// does not slow what is timed later.
class SourceFiles {
 public:
  static SourceFiles& Get();

  // A file of size bytes, made on first request.
  const std::string& File(int64_t size);
  // The folder, made on first use.
  const std::string& Folder();
  // Deletes the file of that size, if one was made.
  void Remove(int64_t size);
  // Deletes the folder and everything in it.
  void RemoveAll();

 private:
  SourceFiles() = default;
  std::string folder_;
  std::map<int64_t, std::string> paths_;
};

// A sparse file of the given size in /tmp with a few non-zero bytes every
// 1/64 of its length, removed with the object.
class SparseFile {
 public:
  explicit SparseFile(int64_t size);
  ~SparseFile();
  SparseFile(const SparseFile&) = delete;
  SparseFile& operator=(const SparseFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// ---- memory ---------------------------------------------------------------------------

// VmRSS and VmHWM of /proc/self/status, in KiB.
struct Memory {
  int64_t rss = 0, peak = 0;
};
Memory ReadMemory();

// Starts a new peak at the current RSS (clear_refs 5); false where not allowed.
bool ResetPeak();

// Peak RSS growth of fn over the RSS before it, in KiB.
template <class Fn>
int64_t PeakGrowthKiB(Fn&& fn) {
  ResetPeak();
  const Memory before = ReadMemory();
  fn();
  return ReadMemory().peak - before.rss;
}

// ---- a file system that counts stream calls ---------------------------------------------

struct StreamCalls {
  int64_t reads = 0, bytesRead = 0, sizes = 0, seeks = 0, positions = 0, writes = 0, setSizes = 0;
};

// A stream that counts the calls made through it.
class CountingStream : public FileStream {
 public:
  CountingStream(std::unique_ptr<FileStream> inner, StreamCalls& calls)
      : inner_(std::move(inner)), calls_(calls) {}
  int64_t Position() const override;
  void Seek(int64_t position) override;
  int64_t Read(void* buffer, int64_t count) override;
  void Write(const void* buffer, int64_t count) override;
  int64_t Size() override;
  void SetSize(int64_t size) override;
  void Reserve(int64_t offset, int64_t length) override;  // counted as a size change
  int Descriptor() const override { return inner_->Descriptor(); }
  void KeepSynced() override { inner_->KeepSynced(); }
  bool SyncNow() override { return inner_->SyncNow(); }

 private:
  std::unique_ptr<FileStream> inner_;
  StreamCalls& calls_;
};

// Another file system, with every stream it opens counting into calls.
class CountingFileSystem : public FileSystem {
 public:
  explicit CountingFileSystem(FileSystem& inner) : inner_(inner) {}
  StreamCalls calls;

  std::string TempDirectory() override { return inner_.TempDirectory(); }
  std::string WorkDirectory(std::string& problem) override { return inner_.WorkDirectory(problem); }
  uint32_t TickCount() override { return inner_.TickCount(); }
  uint32_t RandomNumber() override { return inner_.RandomNumber(); }
  bool FileExists(const std::string& p) override { return inner_.FileExists(p); }
  int64_t FileSize(const std::string& p) override { return inner_.FileSize(p); }
  bool CanOpenShared(const std::string& p) override { return inner_.CanOpenShared(p); }
  bool CanOpenExclusive(const std::string& p) override { return inner_.CanOpenExclusive(p); }
  bool DeleteFile(const std::string& p) override { return inner_.DeleteFile(p); }
  bool ClearAttributes(const std::string& p) override { return inner_.ClearAttributes(p); }
  std::unique_ptr<FileStream> CreateExclusive(const std::string& p) override {
    return Wrap(inner_.CreateExclusive(p));
  }
  std::unique_ptr<FileStream> OpenReadWrite(const std::string& p) override {
    return Wrap(inner_.OpenReadWrite(p));
  }
  bool CopyFile(const std::string& f, const std::string& t) override { return inner_.CopyFile(f, t); }
  bool ReplaceWorkingCopy(const std::string& f, const std::string& t) override {
    return inner_.ReplaceWorkingCopy(f, t);
  }
  bool SaveCopy(const std::string& f, const std::string& t, const SaveCopyOptions& o,
                FileIdentity* saved) override {
    return inner_.SaveCopy(f, t, o, saved);
  }
  bool SaveFrom(SaveSource& source, const std::string& t, const SaveCopyOptions& o,
                FileIdentity* saved) override {
    return inner_.SaveFrom(source, t, o, saved);
  }
  FileIdentity Identify(const std::string& p) override { return inner_.Identify(p); }

 private:
  std::unique_ptr<FileStream> Wrap(std::unique_ptr<FileStream> s);
  FileSystem& inner_;
};

// ---- the kernel-side copy -----------------------------------------------------------------

// One file copied onto another by copy_file_range: opening the source and
// creating (or truncating) the target happen on construction, closing both
// on destruction, so a caller can time the copy alone or all three.
class KernelCopy {
 public:
  KernelCopy(const std::string& from, const std::string& to);
  ~KernelCopy();
  KernelCopy(const KernelCopy&) = delete;
  KernelCopy& operator=(const KernelCopy&) = delete;

  bool IsOpen() const { return in_ >= 0 && out_ >= 0; }
  // The source's size, -1 if it is not open.
  int64_t SourceSize() const;
  // Copies up to size bytes; returns how many were copied.
  int64_t Run(int64_t size);

 private:
  int in_ = -1, out_ = -1;
};

// ---- running -------------------------------------------------------------------------------

// Runs the benchmarks named on the command line, then deletes the source
// files; the exit code for main.
int RunBenchmarks(int argc, char** argv);

}  // namespace bm::bench
