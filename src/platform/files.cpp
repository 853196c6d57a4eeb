// The portable part of the file layer: exchanging two files by renames, and
// loading through the path-based operations where no descriptor is had.
#include <cerrno>
#include <cstdio>
#include <utility>

#include "platform/files.h"

namespace bm {

namespace {

// A load that asks by name at each step, for file systems without
// descriptors of their own.
class PathLoadSource : public LoadSource {
 public:
  PathLoadSource(FileSystem& files, std::string path, int64_t size, bool readOnly)
      : files_(files), path_(std::move(path)), size_(size), readOnly_(readOnly), identity_(files.Identify(path_)) {}
  int64_t Size() const override { return size_; }
  bool ReadOnly() const override { return readOnly_; }
  const FileIdentity& Identity() const override { return identity_; }
  bool CopyOnto(const std::string& to, bool& sourceFault) override {
    errno = 0;
    sourceFault = false;
    return files_.ReplaceWorkingCopy(path_, to);
  }

 private:
  FileSystem& files_;
  std::string path_;
  int64_t size_;
  bool readOnly_;
  FileIdentity identity_;
};

}  // namespace

std::unique_ptr<LoadSource> FileSystem::OpenForLoad(const std::string& path) {
  errno = ENOENT;
  if (!FileExists(path) || !CanOpenShared(path)) return nullptr;
  const int64_t size = FileSize(path);
  if (size < 0) return nullptr;
  return std::make_unique<PathLoadSource>(*this, path, size, !CanOpenExclusive(path));
}

// Three renames through a third name; each step that went through is taken
// back when a later one fails.
bool FileSystem::ExchangeFiles(const std::string& a, const std::string& b) {
  if (!FileExists(a) || !FileExists(b)) return false;
  std::string parked = a + ".swap";
  for (int i = 0; FileExists(parked); ++i) {
    if (i >= 100) return false;
    parked = a + ".swap" + std::to_string(i);
  }
  if (std::rename(a.c_str(), parked.c_str()) != 0) return false;
  if (std::rename(b.c_str(), a.c_str()) != 0) {
    const int e = errno;
    std::rename(parked.c_str(), a.c_str());
    errno = e;
    return false;
  }
  if (std::rename(parked.c_str(), b.c_str()) != 0) {
    const int e = errno;
    std::rename(a.c_str(), b.c_str());
    std::rename(parked.c_str(), a.c_str());
    errno = e;
    return false;
  }
  return true;
}

}  // namespace bm
