#include "support/failing_files.h"

#include <algorithm>

namespace bm::testing {

namespace {

class FailingStream : public FileStream {
 public:
  FailingStream(std::unique_ptr<FileStream> inner, FailingFileSystem& files)
      : inner_(std::move(inner)), files_(files) {}

  int64_t Position() const override { return inner_->Position(); }
  void Seek(int64_t p) override { inner_->Seek(p); }
  int64_t Read(void* b, int64_t n) override {
    if (files_.Step(FailingFileSystem::kRead)) throw FileError("Cannot read: injected", EIO);
    return inner_->Read(b, n);
  }
  void Write(const void* b, int64_t n) override {
    if (files_.Step(FailingFileSystem::kWrite)) {
      inner_->Write(b, n / 2);  // what reached the disk before it filled up
      throw FileError("Cannot write: injected", ENOSPC);
    }
    inner_->Write(b, n);
  }
  int64_t Size() override { return inner_->Size(); }
  void SetSize(int64_t s) override {
    if (files_.Step(FailingFileSystem::kSize))
      throw FileError("Cannot set the size: injected", ENOSPC);
    inner_->SetSize(s);
  }
  void Reserve(int64_t offset, int64_t length) override {
    if (files_.Step(FailingFileSystem::kSize)) throw FileError("Cannot reserve: injected", ENOSPC);
    inner_->Reserve(offset, length);
  }
  int Descriptor() const override { return inner_->Descriptor(); }
  void KeepSynced() override { inner_->KeepSynced(); }
  bool SyncNow() override { return inner_->SyncNow(); }

 private:
  std::unique_ptr<FileStream> inner_;
  FailingFileSystem& files_;
};

}  // namespace

std::unique_ptr<FileStream> FailingFileSystem::CreateExclusive(const std::string& path) {
  if (Step(kCreate)) {
    errno = ENOSPC;
    return nullptr;
  }
  auto s = PosixFileSystem::CreateExclusive(path);
  if (!s) return s;
  return std::make_unique<FailingStream>(std::move(s), *this);
}

std::unique_ptr<FileStream> FailingFileSystem::OpenReadWrite(const std::string& path) {
  return std::make_unique<FailingStream>(PosixFileSystem::OpenReadWrite(path), *this);
}

}  // namespace bm::testing
