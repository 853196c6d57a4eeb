#include "support/temp_dir.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace bm::testing {

TempDir::TempDir() {
  char name[] = "/tmp/bytemoor-test-XXXXXX";
  if (!mkdtemp(name)) throw std::runtime_error("mkdtemp failed");
  path_ = name;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& name) const { return path_ + "/" + name; }

std::string TempDir::Write(const std::string& name, const std::vector<unsigned char>& bytes) const {
  const std::string p = File(name);
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + p);
  return p;
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  return Write(name, std::vector<unsigned char>(bytes.begin(), bytes.end()));
}

std::vector<unsigned char> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<unsigned char> Pattern(size_t size, unsigned seed) {
  std::vector<unsigned char> v(size);
  unsigned x = seed * 2654435761u + 1;
  for (auto& b : v) {
    x = x * 1103515245u + 12345u;
    b = static_cast<unsigned char>(x >> 16);
  }
  return v;
}

std::vector<std::string> FolderNames(const std::string& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(dir, ec)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string PrivateFolder(const std::string& tempDir) {
  return tempDir + "/bytemoor-" + std::to_string(::geteuid());
}

}  // namespace bm::testing
