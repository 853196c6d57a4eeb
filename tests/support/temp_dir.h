// A fresh directory under /tmp for one test, removed with everything in it.
#pragma once
#include <string>
#include <vector>

namespace bm::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // path_ + "/" + name
  std::string File(const std::string& name) const;
  // Writes bytes to a new file in the directory and returns its path.
  std::string Write(const std::string& name, const std::vector<unsigned char>& bytes) const;
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

std::vector<unsigned char> ReadAll(const std::string& path);
// The names in a folder ("." and ".." aside), sorted; empty when it cannot be read.
std::vector<std::string> FolderNames(const std::string& dir);
std::vector<unsigned char> Pattern(size_t size, unsigned seed = 1);
// The folder of this user's working copies inside a temporary directory.
std::string PrivateFolder(const std::string& tempDir);

}  // namespace bm::testing
