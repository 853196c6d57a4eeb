// The portable part of the file layer: exchanging two files by renames.
#include <cerrno>
#include <cstdio>

#include "platform/files.h"

namespace bm {

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
