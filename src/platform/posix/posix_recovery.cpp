// Recovery records and the search for abandoned working copies on POSIX:
// owner-only files opened without following links, and flock(2) as the sign
// of a running editor.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/posix/posix_fd.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_sync.h"
#include "platform/recovery.h"

namespace bm {

namespace {

using posix::UniqueFd;

constexpr size_t kMaxRecordSize = (1 << 16) + 256;

enum class Lock { Taken, Held, Failed };

Lock TryLock(int fd) {
  int r;
  do {
    r = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (r != 0 && errno == EINTR);
  if (r == 0) return Lock::Taken;
  return errno == EWOULDBLOCK ? Lock::Held : Lock::Failed;
}

// The descriptor still is the file at path (nobody renamed another file in).
bool SameFile(const std::string& path, int fd) {
  struct stat a, b;
  return ::lstat(path.c_str(), &a) == 0 && ::fstat(fd, &b) == 0 && a.st_dev == b.st_dev &&
         a.st_ino == b.st_ino;
}

// A plain file of this user with one name; mode is the exact permission the
// file must have, or -1 for any owner-only one.
bool Trusted(int fd, int mode) {
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return false;
  if (st.st_uid != ::geteuid() || st.st_nlink != 1) return false;
  const unsigned perms = st.st_mode & 07777;
  return mode >= 0 ? perms == static_cast<unsigned>(mode) : (perms & 07077) == 0;
}

bool IsWorkName(const std::string& name) {
  if (name.size() != 13 || name.compare(8, 5, ".XBTM") != 0) return false;
  return std::all_of(name.begin(), name.begin() + 8,
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

// An undo or redo data file of a working copy: its name + ".undo" or ".redo"
// + a number.
bool IsUndoFileName(const std::string& name) {
  if (name.size() <= 18 || !IsWorkName(name.substr(0, 13))) return false;
  if (name.compare(13, 5, ".undo") != 0 && name.compare(13, 5, ".redo") != 0) return false;
  return std::all_of(name.begin() + 18, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Removes the undo data files an abandoned working copy left: its history is
// never restored, so they only take room. Links and other users' files stay.
void RemoveUndoFiles(const std::string& dir, const std::string& work,
                     const std::vector<std::string>& undoNames) {
  for (const std::string& name : undoNames) {
    if (name.compare(0, 13, work) != 0) continue;
    const std::string path = dir + name;
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
      ::unlink(path.c_str());
  }
}

// The journal or clone of a working copy: its name + ".jnl" or ".base".
bool IsCompanionName(const std::string& name) {
  return name.size() > 13 && IsWorkName(name.substr(0, 13)) &&
         (name.compare(13, std::string::npos, ".jnl") == 0 || name.compare(13, std::string::npos, ".base") == 0);
}

// Removes path when it is a plain file of this user's (never a link).
void RemoveOwnFile(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
    ::unlink(path.c_str());
}

std::string ReadRecord(int fd) {
  std::string bytes(kMaxRecordSize, '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n > 0) done += static_cast<size_t>(n);
    else if (n == 0 || errno != EINTR) break;
  }
  bytes.resize(done);
  return bytes;
}

class PosixRecoveryRecord : public RecoveryRecord {
 public:
  // Each rewrite reaches the disk in the background, with the working copy.
  PosixRecoveryRecord(int fd, std::string path)
      : fd_(fd), path_(std::move(path)), sync_(fd, posix::DirectoryOf(path_)) {}
  ~PosixRecoveryRecord() override {
    if (!fd_.Valid()) return;
    if (SameFile(path_, fd_.Get())) ::unlink(path_.c_str());
  }
  PosixRecoveryRecord(const PosixRecoveryRecord&) = delete;
  PosixRecoveryRecord& operator=(const PosixRecoveryRecord&) = delete;

  const std::string& Path() const override { return path_; }

  bool Write(const RecoveryInfo& info) override {
    if (!fd_.Valid()) return false;
    const std::string bytes = EncodeRecoveryRecord(info);
    // One write from the start; a longer old record's tail is cut afterwards
    // and is ignored by the reader meanwhile.
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n =
          ::pwrite(fd_.Get(), bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
      if (n > 0) done += static_cast<size_t>(n);
      else if (n < 0 && errno == EINTR) continue;
      else return false;
    }
    if (::ftruncate(fd_.Get(), static_cast<off_t>(bytes.size())) != 0) return false;
    sync_.Changed();
    return true;
  }

  void Keep() override {
    if (fd_.Valid()) (void)sync_.SyncNow();
    fd_.Reset();
  }

 private:
  UniqueFd fd_;
  std::string path_;
  posix::DeferredSync sync_;  // after fd_: goes first
};

}  // namespace

std::unique_ptr<RecoveryRecord> CreateRecoveryRecord(const std::string& workFile) {
  const std::string path = RecoveryRecordPath(workFile);
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd.Valid()) return nullptr;
  // A search running at this moment may hold the new file's lock for an
  // instant (it lets go at once, seeing the working copy locked): wait a little.
  bool locked = false;
  if (::fchmod(fd.Get(), 0600) == 0) {
    for (int i = 0; i < 100 && !locked; ++i) {
      const Lock lock = TryLock(fd.Get());
      if (lock == Lock::Taken) locked = true;
      else if (lock == Lock::Failed) break;
      else {
        const struct timespec pause {0, 1000000};
        ::nanosleep(&pause, nullptr);
      }
    }
  }
  if (!locked) {
    fd.Reset();
    ::unlink(path.c_str());
    return nullptr;
  }
  return std::make_unique<PosixRecoveryRecord>(fd.Release(), path);
}

bool OrphanedWorkCopy::MatchesItsFile() const {
  if (!workStream_ || !info_) return false;
  struct stat journal;
  if (::lstat(WorkJournalPath(workFile_).c_str(), &journal) == 0) return false;
  UniqueFd file(::open(info_->fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat a, b;
  const int work = workStream_->Descriptor();
  if (!file.Valid() || work < 0 || ::fstat(file.Get(), &a) != 0 || ::fstat(work, &b) != 0 ||
      !S_ISREG(a.st_mode) || a.st_size != b.st_size)
    return false;
  std::vector<char> x(1 << 20), y(1 << 20);
  for (off_t at = 0; at < b.st_size;) {
    const ssize_t n = ::pread(work, x.data(), x.size(), at);
    if (n <= 0 || ::pread(file.Get(), y.data(), static_cast<size_t>(n), at) != n ||
        std::memcmp(x.data(), y.data(), static_cast<size_t>(n)) != 0)
      return false;
    at += n;
  }
  return true;
}

bool OrphanedWorkCopy::Unidentified() const {
  if (!workStream_ || info_) return false;
  struct stat st;
  return ::fstat(workStream_->Descriptor(), &st) == 0 && st.st_size > 0;
}

bool OrphanedWorkCopy::MarkDeclined() {
  RecoveryInfo info;
  info.fileName = "Untitled";
  info.modified = true;
  info.readOnly = true;
  info.declined = true;
  if (!record_) record_ = CreateRecoveryRecord(workFile_);
  if (!record_ || !record_->Write(info)) return false;
  info_ = info;
  return true;
}

void OrphanedWorkCopy::Discard() {
  if (workStream_) {
    if (SameFile(workFile_, workStream_->Descriptor())) {
      ::unlink(workFile_.c_str());
      RemoveOwnFile(WorkJournalPath(workFile_));
      RemoveOwnFile(WorkClonePath(workFile_));
    }
    workStream_.reset();
  }
  record_.reset();  // a record that is not kept removes its file
}

std::vector<OrphanedWorkCopy> FindOrphanedWorkCopies(const std::string& directory) {
  std::vector<OrphanedWorkCopy> found;
  const std::string dir = directory.empty() || directory.back() == '/' ? directory : directory + "/";
  std::vector<std::string> works, records, undoNames, companions;
  if (DIR* d = ::opendir(dir.empty() ? "." : dir.c_str())) {
    while (dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (IsWorkName(name)) works.push_back(name);
      else if (IsUndoFileName(name)) undoNames.push_back(name);
      else if (IsCompanionName(name)) companions.push_back(name);
      else if (name.size() == 17 && name.compare(13, 4, ".rec") == 0 && IsWorkName(name.substr(0, 13)))
        records.push_back(name.substr(0, 13));
    }
    ::closedir(d);
  }
  std::sort(works.begin(), works.end());
  std::sort(records.begin(), records.end());
  // A journal or clone outlives its store only when an editor was killed
  // while removing them: nobody's work, only room taken.
  for (const std::string& name : companions) {
    if (std::binary_search(works.begin(), works.end(), name.substr(0, 13))) continue;
    struct stat st;
    if (::lstat((dir + name.substr(0, 13)).c_str(), &st) == 0 || errno != ENOENT) continue;
    RemoveOwnFile(dir + name);
  }
  // Names are random: the oldest work comes first, by its last change.
  std::vector<std::pair<int64_t, std::string>> byAge;
  for (const std::string& name : works) {
    struct stat st;
    const int64_t t = ::lstat((dir + name).c_str(), &st) == 0
                          ? int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec
                          : 0;
    byAge.emplace_back(t, name);
  }
  std::stable_sort(byAge.begin(), byAge.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<std::string> oldestFirst;
  for (auto& [t, name] : byAge) oldestFirst.push_back(std::move(name));

  auto openRecord = [&](const std::string& workFile, UniqueFd& fd) -> bool {
    const std::string path = RecoveryRecordPath(workFile);
    fd = UniqueFd(::open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.Valid()) return errno == ENOENT;  // a link or an unreadable record: leave alone
    return Trusted(fd.Get(), 0600) && TryLock(fd.Get()) == Lock::Taken;
  };

  for (const std::string& name : oldestFirst) {
    const std::string workFile = dir + name;
    UniqueFd recordFd;
    if (!openRecord(workFile, recordFd)) continue;
    UniqueFd workFd(::open(workFile.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!workFd.Valid() || !Trusted(workFd.Get(), -1) || TryLock(workFd.Get()) != Lock::Taken) continue;
    ::fcntl(workFd.Get(), F_SETFL, ::fcntl(workFd.Get(), F_GETFL) & ~O_NONBLOCK);

    RemoveUndoFiles(dir, name, undoNames);
    std::optional<RecoveryInfo> info;
    std::unique_ptr<RecoveryRecord> record;
    if (recordFd.Valid()) {
      info = DecodeRecoveryRecord(ReadRecord(recordFd.Get()));
      record = std::make_unique<PosixRecoveryRecord>(recordFd.Release(), RecoveryRecordPath(workFile));
    }
    found.emplace_back(workFile, std::make_unique<PosixFileStream>(workFd.Release(), workFile),
                       std::move(record), std::move(info));
  }

  // Records left by an editor that ended between removing its working copy
  // and removing the record.
  for (const std::string& name : records) {
    if (std::binary_search(works.begin(), works.end(), name)) continue;
    const std::string workFile = dir + name;
    struct stat st;
    if (::lstat(workFile.c_str(), &st) == 0 || errno != ENOENT) continue;
    UniqueFd recordFd;
    if (!openRecord(workFile, recordFd) || !recordFd.Valid()) continue;
    RemoveUndoFiles(dir, name, undoNames);
    std::optional<RecoveryInfo> info = DecodeRecoveryRecord(ReadRecord(recordFd.Get()));
    found.emplace_back(workFile, nullptr,
                       std::make_unique<PosixRecoveryRecord>(recordFd.Release(), RecoveryRecordPath(workFile)),
                       std::move(info));
  }
  return found;
}

}  // namespace bm
