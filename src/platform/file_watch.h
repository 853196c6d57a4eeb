// Watching a file for changes other programs make to it while it is open.
#pragma once
#include <memory>
#include <string>

namespace bm {

// A watch on one file (its inode: a rename or a removal of the name is
// reported, and the watch then ends). Changed is cheap and never blocks, so
// it can be polled from a timer; Descriptor, when there is one, becomes
// readable when there is news (for a socket notifier).
class FileWatch {
 public:
  virtual ~FileWatch() = default;
  // Whether the file was written, cut, moved, removed or had its attributes
  // changed since the watch began or Changed last returned true.
  virtual bool Changed() = 0;
  virtual int Descriptor() const { return -1; }
};

// A watch on path, following no link; null when the system offers none
// (the caller then relies on comparing the file's identity).
std::unique_ptr<FileWatch> WatchFile(const std::string& path);

}  // namespace bm
