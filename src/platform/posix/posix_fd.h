// Small helpers shared by the POSIX file sources.
#pragma once
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>

#include <unistd.h>

namespace bm::posix {

// Owns a descriptor; closes it when it goes.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& o) noexcept : fd_(o.Release()) {}
  UniqueFd& operator=(UniqueFd&& o) noexcept {
    if (this != &o) {
      Reset();
      fd_ = o.Release();
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  int Release() { return std::exchange(fd_, -1); }
  void Reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  // Closes and reports whether the close succeeded (a delayed write error
  // can surface here on some file systems).
  bool Close() {
    if (fd_ < 0) return true;
    const int r = ::close(std::exchange(fd_, -1));
    return r == 0 || errno == EINTR;  // Linux has closed the descriptor on EINTR
  }

 private:
  int fd_ = -1;
};

// Directory part of a path, without the final slash ("." for a bare name).
inline std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

inline std::string ErrnoText(int e) { return std::strerror(e); }

}  // namespace bm::posix
