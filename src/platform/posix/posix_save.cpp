// The save of PosixFileSystem onto the user's file: the identity check, the
// backup (a second link of the old file, or a synced copy), the save by
// rename, the recoverable save in place, and the removal of dead temporaries
// (at the start of each save, so a save cut short never misleads the next).
// The hidden temporaries it uses are in posix_temp.cpp.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/posix/posix_fd.h"
#include "platform/posix/posix_files.h"
#include "platform/posix/posix_ownership.h"
#include "platform/posix/posix_temp.h"

namespace bm {

using posix::DirectoryOf;
using posix::HoldStem;
using posix::LockedTemp;
using posix::LockNow;
using posix::RandomSuffix;
using posix::RemoveDeadTemporaries;
using posix::SameInode;
using posix::TempStem;
using posix::UniqueFd;
using posix::UnlinkIfSame;

namespace {

FileIdentity IdentityOf(const struct stat& st, bool link) {
  FileIdentity id;
  id.known = true;
  id.link = link;
  id.device = st.st_dev;
  id.inode = st.st_ino;
  id.size = st.st_size;
  id.mtimeNs = int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
  return id;
}

// Where a save onto path lands: the file a chain of symbolic links ends at.
// For a link whose target does not exist yet, the name it points to.
std::string ResolveTarget(const std::string& path) {
  if (char* real = ::realpath(path.c_str(), nullptr)) {
    std::string resolved(real);
    std::free(real);
    return resolved;
  }
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    std::vector<char> link(PATH_MAX + 1);
    const ssize_t n = ::readlink(current.c_str(), link.data(), link.size() - 1);
    if (n <= 0) return current;
    std::string next(link.data(), static_cast<size_t>(n));
    current = next[0] == '/' ? next : DirectoryOf(current) + "/" + next;
  }
  return current;  // a loop: the save fails on it
}

// Extended attributes (user.*, ACLs, capabilities) of the file at path onto
// fd, as far as the file system and our privileges allow; those refused are
// skipped.
void CopyAttributes(const std::string& path, int fd) {
  ssize_t n = ::llistxattr(path.c_str(), nullptr, 0);
  if (n <= 0) return;
  std::vector<char> names(static_cast<size_t>(n));
  n = ::llistxattr(path.c_str(), names.data(), names.size());
  if (n <= 0) return;
  std::vector<char> value;
  for (size_t i = 0; i < static_cast<size_t>(n); i += std::strlen(names.data() + i) + 1) {
    const char* name = names.data() + i;
    const ssize_t size = ::lgetxattr(path.c_str(), name, nullptr, 0);
    if (size < 0) continue;
    value.resize(static_cast<size_t>(size) + 1);
    const ssize_t got = ::lgetxattr(path.c_str(), name, value.data(), value.size());
    if (got < 0) continue;
    (void)::fsetxattr(fd, name, value.data(), static_cast<size_t>(got), 0);
  }
}

// Gives the new file fd the owner and group of the old file (where allowed),
// its mode and its extended attributes. A backup gets no set-id bits. A file
// that could not keep the old owner or group keeps no group bits (a backup)
// or neither group nor other bits (the saved file), so it is never readable
// by more users than the file it replaces.
bool CopyMetadata(const std::string& oldPath, const struct stat& old, int fd, bool backup) {
  // chown clears set-id bits, so the mode comes after it; a group we do not
  // belong to is refused with EPERM.
  if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)!::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  mode_t mode = old.st_mode & (backup ? 0777 : 07777);
  struct stat now;
  if (::fstat(fd, &now) != 0) return false;
  if (now.st_gid != old.st_gid || now.st_uid != old.st_uid) mode &= backup ? ~mode_t{070} : ~mode_t{07077};
  if (::fchmod(fd, mode) != 0) return false;
  CopyAttributes(oldPath, fd);
  return true;
}

// Copies the file at target (status st) to backup through a synced temporary
// renamed onto the backup name. Whatever the backup name holds is replaced,
// never written through; a folder there makes it fail.
bool CopyBackup(const std::string& target, const struct stat& st, const std::string& backup,
                const std::string& stem, const std::function<void(SaveStep)>& step) {
  UniqueFd old(::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat opened;
  if (!old.Valid() || ::fstat(old.Get(), &opened) != 0 || !SameInode(opened, st)) return false;
  const std::string dir = DirectoryOf(backup);
  LockedTemp temp(dir, stem);
  if (!temp.Valid()) return false;
  if (!posix::CopyContents(old.Get(), temp.Fd())) return false;
  if (!CopyMetadata(target, st, temp.Fd(), true)) return false;
  if (!posix::Sync(temp.Fd())) return false;
  step(SaveStep::BackupCopied);
  if (!temp.RenameOnto(backup)) return false;
  return posix::SyncDirectory(dir);
}

// Why the backup name cannot take the old file, found before anything is
// written: a folder we may not add names to, another user's file there in a
// sticky folder (which we may not replace), a folder at the name.
BackupFailure CheckBackupName(const std::string& backup) {
  const std::string dir = DirectoryOf(backup);
  if (::access(dir.c_str(), W_OK | X_OK) != 0) return {BackupProblem::FolderNotWritable, errno};
  struct stat at;
  if (::lstat(backup.c_str(), &at) != 0) return {};
  if (S_ISDIR(at.st_mode)) return {BackupProblem::FolderAtName, EISDIR};
  const uid_t me = ::geteuid();
  struct stat folder;
  if (me != 0 && at.st_uid != me && ::stat(dir.c_str(), &folder) == 0 && (folder.st_mode & S_ISVTX) &&
      folder.st_uid != me)
    return {BackupProblem::NameTaken, EPERM};
  return {};
}

enum class LinkBackupResult { Done, Failed, NoLink };

// Keeps the old file itself as the backup: a second link to it under a
// temporary name, renamed onto the backup name. NoLink where the file system
// or its settings allow no link, so a copy must do.
LinkBackupResult LinkBackup(const std::string& target, const struct stat& st, const std::string& backup,
                            const std::string& stem, const std::function<void(SaveStep)>& step) {
  const std::string dir = DirectoryOf(backup);
  std::string name, suffix;
  for (int attempt = 0;; ++attempt) {
    if (attempt == 100 || !RandomSuffix(suffix)) return LinkBackupResult::Failed;
    name = dir + "/" + stem + suffix;
    if (::link(target.c_str(), name.c_str()) == 0) break;
    if (errno != EEXIST) return LinkBackupResult::NoLink;
  }
  // Locked while it has the temporary name, so another save leaves it alone.
  UniqueFd held(::open(name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (held.Valid()) (void)LockNow(held.Get());
  struct stat linked;
  bool ok = ::lstat(name.c_str(), &linked) == 0 && SameInode(linked, st);
  if (!ok) {
    // The name led to another file by the time it was linked.
    if (::lstat(name.c_str(), &linked) == 0 && !S_ISDIR(linked.st_mode)) ::unlink(name.c_str());
    return LinkBackupResult::Failed;
  }
  step(SaveStep::BackupLinked);
  ok = ::rename(name.c_str(), backup.c_str()) == 0;
  // Renaming onto a name of the same file succeeds and leaves both names.
  UnlinkIfSame(name, st);
  if (ok) ok = posix::SyncDirectory(dir);
  return ok ? LinkBackupResult::Done : LinkBackupResult::Failed;
}

// The whole content of an open file.
class DescriptorSource : public SaveSource {
 public:
  explicit DescriptorSource(int fd) : fd_(fd) {}
  int64_t WriteInto(int out) override {
    struct stat st;
    if (::lseek(fd_, 0, SEEK_SET) != 0 || ::lseek(out, 0, SEEK_SET) != 0 || ::fstat(fd_, &st) != 0 ||
        !posix::CopyContents(fd_, out))
      return -1;
    return st.st_size;
  }
  bool Reads(uint64_t device, uint64_t inode) const override {
    struct stat st;
    return ::fstat(fd_, &st) == 0 && st.st_dev == device && st.st_ino == inode;
  }

 private:
  int fd_;
};

struct SaveTarget {
  std::string path;            // the file the save writes (links resolved)
  const struct stat* existing;  // its status, null when it does not exist yet
  std::string backup;          // empty: none
  std::string stem;
  bool throughLink;            // the name saved to is a symbolic link
  // The old file may be kept as the backup by a second link: it is the file
  // the document was loaded from or last saved to, and carries no set-id bit.
  bool mayLinkBackup;
  BackupFailure* backupFailure;  // where a failed backup tells why
  std::function<void(SaveStep)> step;
};

// Notes the cause of a failed backup, errno or the check of its name.
void NoteBackupFailure(const SaveTarget& t) {
  if (!t.backupFailure || t.backupFailure->problem != BackupProblem::None) return;
  const int e = errno;
  *t.backupFailure = CheckBackupName(t.backup);
  if (t.backupFailure->problem == BackupProblem::None) *t.backupFailure = {BackupProblem::Other, e};
}

// Writes a new file beside the target, keeps the old one as the backup and
// renames the new one over it, so the target's name always holds the old or
// the new file, complete.
bool SaveByRename(SaveSource& in, const SaveTarget& t, FileIdentity* saved) {
  const std::string dir = DirectoryOf(t.path);
  LockedTemp temp(dir, t.stem);
  if (!temp.Valid()) return false;
  if (in.WriteInto(temp.Fd()) < 0) return false;
  const bool replacesLink = t.existing && S_ISLNK(t.existing->st_mode);
  if (replacesLink) {
    // In place of a link planted since the load: nothing is known of the
    // file the document came from, so the new one is the owner's alone.
    if (::fchmod(temp.Fd(), 0600) != 0) return false;
  } else if (t.existing) {
    if (!CopyMetadata(t.path, *t.existing, temp.Fd(), false)) return false;
  } else if (::fchmod(temp.Fd(), 0666 & ~posix::CurrentUmask()) != 0) {
    return false;
  }
  struct stat written;
  if (!posix::Sync(temp.Fd()) || ::fstat(temp.Fd(), &written) != 0) return false;
  t.step(SaveStep::TempWritten);
  if (t.existing && !t.backup.empty()) {
    if (replacesLink) {
      // The link itself goes to the backup name; what it points to is
      // neither written nor given another name.
      if (::rename(t.path.c_str(), t.backup.c_str()) != 0) {
        NoteBackupFailure(t);
        return false;
      }
    } else {
      LinkBackupResult r = t.mayLinkBackup ? LinkBackup(t.path, *t.existing, t.backup, t.stem, t.step)
                                           : LinkBackupResult::NoLink;
      if (r == LinkBackupResult::NoLink)
        r = CopyBackup(t.path, *t.existing, t.backup, t.stem, t.step) ? LinkBackupResult::Done
                                                                      : LinkBackupResult::Failed;
      if (r == LinkBackupResult::Failed) {
        NoteBackupFailure(t);
        return false;
      }
    }
    t.step(SaveStep::BackupPlaced);
  }
  if (t.existing && !(replacesLink && !t.backup.empty())) {
    struct stat now;
    if (::lstat(t.path.c_str(), &now) != 0 || !SameInode(now, *t.existing)) return false;
  }
  if (!temp.RenameOnto(t.path)) return false;
  t.step(SaveStep::Renamed);
  if (!posix::SyncDirectory(dir)) return false;
  if (saved) *saved = IdentityOf(written, t.throughLink);
  return true;
}

// Writes all of from onto to from its start and cuts to to the written size.
bool Overwrite(SaveSource& from, int to, const std::function<void(SaveStep)>& step) {
  const int64_t size = from.WriteInto(to);
  if (size < 0) return false;
  step(SaveStep::InPlaceWritten);
  int r;
  do {
    r = ::ftruncate(to, size);
  } while (r != 0 && errno == EINTR);
  return r == 0 && posix::Sync(to);
}

// Overwrites the target through its own inode (hard links, folders we may not
// write, files of other owners or of a group we are not in). The old content
// is first put on disk in full, as the backup or as a kept copy (beside the
// file, else in the working copies' folder), so a save cut short can be
// undone from it. While the bytes are written a locked file with the hold
// stem lies beside the target (the kept copy itself, or an empty mark when
// the backup holds the old content), so that after a crash the next save
// knows the changed file for its own torn write, not another program's. The
// kept copy goes after success, or after the old content was written back
// following a failure.
// A source that reads the target itself (a document whose pieces lie in
// it) is first written whole to a temporary in the working folder, so that
// no byte is read after the save overwrote it.
bool SaveInPlace(SaveSource& in, const SaveTarget& t,
                 const std::function<const std::string&()>& workFolder, FileIdentity* saved) {
  UniqueFd out(::open(t.path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat st;
  if (!out.Valid() || ::fstat(out.Get(), &st) != 0 || !S_ISREG(st.st_mode) || !SameInode(st, *t.existing))
    return false;
  std::optional<LockedTemp> staged;
  std::optional<DescriptorSource> stagedSource;
  SaveSource* content = &in;
  if (in.Reads(st.st_dev, st.st_ino)) {
    staged.emplace(workFolder(), t.stem);
    if (!staged->Valid() || in.WriteInto(staged->Fd()) < 0) return false;
    stagedSource.emplace(staged->Fd());
    content = &*stagedSource;
  }

  const std::string hold = HoldStem(t.path);
  std::optional<LockedTemp> keep;
  auto makeKeep = [&] {
    keep.emplace(DirectoryOf(t.path), hold);
    if (!keep->Valid()) keep.emplace(workFolder(), hold);
  };
  if (!t.backup.empty()) {
    if (!CopyBackup(t.path, st, t.backup, t.stem, t.step)) {
      NoteBackupFailure(t);
      return false;
    }
    makeKeep();  // only the mark: without one, the save still goes ahead
    if (!keep->Valid()) keep.reset();
  } else {
    makeKeep();
    UniqueFd old(::open(t.path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat opened;
    if (!keep->Valid() || !old.Valid() || ::fstat(old.Get(), &opened) != 0 || !SameInode(opened, st) ||
        !posix::CopyContents(old.Get(), keep->Fd()) || !posix::Sync(keep->Fd()))
      return false;
  }
  t.step(SaveStep::InPlaceReady);

  if (!Overwrite(*content, out.Get(), t.step)) {
    const int e = errno;
    // Put the old content back; a kept copy that cannot be written back
    // stays, as it then holds the only complete old content.
    if (t.backup.empty()) {
      DescriptorSource kept(keep->Fd());
      if (!Overwrite(kept, out.Get(), [](SaveStep) {})) keep->Keep();
    } else {
      UniqueFd back(::open(t.backup.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
      std::optional<DescriptorSource> backSource;
      if (back.Valid()) backSource.emplace(back.Get());
      if (!back.Valid() || !Overwrite(*backSource, out.Get(), [](SaveStep) {})) {
        if (keep) keep->Keep();  // the mark: the backup holds the old content
      }
    }
    errno = e;
    return false;
  }
  struct stat written;
  if (::fstat(out.Get(), &written) != 0 || !out.Close()) return false;
  if (saved) *saved = IdentityOf(written, t.throughLink);
  return true;
}

}  // namespace

FileIdentity PosixFileSystem::Identify(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return {};
  const bool link = S_ISLNK(st.st_mode);
  if (link && ::stat(path.c_str(), &st) != 0) {
    FileIdentity dangling;
    dangling.link = true;
    return dangling;
  }
  return IdentityOf(st, link);
}

void PosixFileSystem::RemoveSaveLeftovers(const std::string& path) {
  posix::RemoveDeadTemporaries(DirectoryOf(path), TempStem(path));
  const std::string target = ResolveTarget(path);
  if (target != path) posix::RemoveDeadTemporaries(DirectoryOf(target), TempStem(target));
}

bool PosixFileSystem::SaveWasInterrupted(const std::string& path, const FileIdentity& before) {
  struct stat st;
  if (!before.known || ::stat(path.c_str(), &st) != 0 || st.st_dev != before.device || st.st_ino != before.inode)
    return false;
  if (IdentityOf(st, before.link) == before) return false;  // unchanged
  const std::string target = ResolveTarget(path);
  if (posix::HasDeadTemporary(DirectoryOf(target), HoldStem(target))) return true;
  std::string problem;
  std::string work = WorkDirectory(problem);
  return problem.empty() && posix::HasDeadTemporary(work, HoldStem(target));
}

bool PosixFileSystem::SaveCopy(const std::string& from, const std::string& to,
                               const SaveCopyOptions& options, FileIdentity* saved) {
  if (options.backupFailure) *options.backupFailure = {};
  if (options.error) *options.error = 0;
  if (options.errorPlace) options.errorPlace->clear();
  errno = 0;
  UniqueFd in(::open(from.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC));
  struct stat source;
  if (!in.Valid() || ::fstat(in.Get(), &source) != 0 || !S_ISREG(source.st_mode)) {
    if (options.errorPlace) *options.errorPlace = from;
    if (options.error) *options.error = errno != 0 ? errno : EIO;
    return false;
  }
  DescriptorSource content(in.Get());
  return Save(content, true, DirectoryOf(from), to, options, saved);
}

bool PosixFileSystem::SaveFrom(SaveSource& source, const std::string& to, const SaveCopyOptions& options,
                               FileIdentity* saved) {
  if (options.backupFailure) *options.backupFailure = {};
  if (options.error) *options.error = 0;
  if (options.errorPlace) options.errorPlace->clear();
  errno = 0;
  return Save(source, false, TempDirectory(), to, options, saved);
}

// A copied file must never be its own target (it would be overwritten while
// read); a document of pieces may be, and is then taken aside first.
bool PosixFileSystem::Save(SaveSource& in, bool refuseOwnSource, const std::string& fallbackFolder,
                           const std::string& to,
                           const SaveCopyOptions& options, FileIdentity* saved) {
  // Whatever stopped the save is noted with its error number.
  auto fail = [&](int fallback) {
    if (options.error) *options.error = errno != 0 ? errno : fallback;
    return false;
  };

  const FileIdentity before = Identify(to);
  if (options.expected && options.expected->known && *options.expected != before) return fail(ESTALE);

  // A link at the name is followed only where it led to this same file when
  // the document was loaded or last saved, or on a save to a new name.
  // Another one (a file swapped for a link since) is replaced itself.
  const FileIdentity* loaded = options.loaded && options.loaded->known ? options.loaded : nullptr;
  const bool followLink = before.link && (!loaded || (loaded->link && before.known &&
                                                      loaded->device == before.device &&
                                                      loaded->inode == before.inode));
  SaveTarget t;
  t.path = followLink ? ResolveTarget(to) : to;
  t.stem = TempStem(t.path);
  t.throughLink = followLink;
  t.backupFailure = options.backupFailure;
  t.mayLinkBackup = false;
  t.step = [this](SaveStep step) { ReachedSaveStep(step); };
  // Saves of this file that did not finish go first: a second name of the
  // old file they left must not make this one write in place.
  posix::RemoveDeadTemporaries(DirectoryOf(t.path), t.stem);
  struct stat st;
  errno = 0;
  if (::lstat(t.path.c_str(), &st) != 0) {
    if (errno != ENOENT) return fail(EIO);
    t.existing = nullptr;  // nothing to back up
    errno = 0;
    if (!SaveByRename(in, t, saved)) return fail(EIO);
    return true;
  }
  const bool link = S_ISLNK(st.st_mode);
  // FIFOs, sockets, devices and folders are refused before anything opens
  // them; the file must also still be the one the name led to a moment ago.
  if (!S_ISREG(st.st_mode) && !link) return fail(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
  if (refuseOwnSource && !link && in.Reads(st.st_dev, st.st_ino)) return fail(EINVAL);
  if (!link && before.known && (st.st_dev != before.device || st.st_ino != before.inode)) return fail(ESTALE);
  t.existing = &st;
  // A backup name that is the file's own name would replace the file by itself.
  if (!options.backup.empty() && options.backup != to && options.backup != t.path) t.backup = options.backup;
  // A save cut short after it linked the old file to the backup name left
  // one file under both: that backup already is the old file, and the file
  // must be replaced, never written through (which would tear the backup).
  const std::string& backupName = options.backupName.empty() ? options.backup : options.backupName;
  struct stat backupStat;
  const bool sharesBackup = !link && !backupName.empty() && backupName != to && backupName != t.path &&
                            st.st_nlink > 1 && ::lstat(backupName.c_str(), &backupStat) == 0 &&
                            SameInode(backupStat, st);
  if (sharesBackup) t.backup.clear();
  if (!t.backup.empty()) {
    const BackupFailure check = CheckBackupName(t.backup);
    if (check.problem != BackupProblem::None) {
      if (options.backupFailure) *options.backupFailure = check;
      return fail(check.error);
    }
  }
  t.mayLinkBackup = loaded && !link && st.st_dev == loaded->device && st.st_ino == loaded->inode &&
                    (st.st_mode & (S_ISUID | S_ISGID)) == 0;

  // Replacing the file gives it a new inode: only for a plain file with one
  // name (besides its backup's), in a folder we may write, whose owner and
  // group the new file can keep (or which we could not write in place, when
  // the new file drops the group and other bits instead). A link is always
  // replaced.
  const bool folderWritable = ::access(DirectoryOf(t.path).c_str(), W_OK | X_OK) == 0;
  const posix::ProcessIdentity me = posix::CurrentProcessIdentity();
  const bool ownerKept = me.uid == 0 || st.st_uid == me.uid;
  const nlink_t names = st.st_nlink - (sharesBackup ? 1 : 0);
  const bool replaceable =
      link || sharesBackup ||
      (names == 1 && folderWritable && ownerKept &&
       (posix::CanKeepOwnerAndGroup(st, me) || ::access(t.path.c_str(), W_OK) != 0));
  if ((link || sharesBackup) && !folderWritable) {
    errno = EACCES;
    if (options.errorPlace) *options.errorPlace = DirectoryOf(t.path) + "/";
    return fail(EACCES);
  }
  // The old content of a save in place is kept beside the file, else in the
  // folder of the working copies (the program's own, always writable).
  std::string workDir;  // asked for only when a save in place needs it
  auto workFolder = [&]() -> const std::string& {
    if (workDir.empty()) {
      std::string problem;
      workDir = WorkDirectory(problem);
      if (!problem.empty()) workDir = fallbackFolder;
      while (workDir.size() > 1 && workDir.back() == '/') workDir.pop_back();
    }
    return workDir;
  };
  errno = 0;
  const bool ok =
      replaceable ? SaveByRename(in, t, saved) : SaveInPlace(in, t, workFolder, saved);
  if (!ok) return fail(EIO);
  // What earlier saves cut short in place kept is no longer needed.
  posix::RemoveDeadTemporaries(DirectoryOf(t.path), HoldStem(t.path));
  if (!t.backup.empty() && DirectoryOf(t.backup) != DirectoryOf(t.path))
    RemoveDeadTemporaries(DirectoryOf(t.backup), t.stem);
  if (!workDir.empty()) {
    RemoveDeadTemporaries(workDir, t.stem);
    RemoveDeadTemporaries(workDir, HoldStem(t.path));
  }
  return true;
}

namespace posix {

ProcessIdentity CurrentProcessIdentity() {
  ProcessIdentity me;
  me.uid = ::geteuid();
  me.gid = ::getegid();
  const int n = ::getgroups(0, nullptr);
  if (n > 0) {
    me.groups.resize(static_cast<size_t>(n));
    const int got = ::getgroups(n, me.groups.data());
    me.groups.resize(got > 0 ? static_cast<size_t>(got) : 0);
  }
  return me;
}

}  // namespace posix

}  // namespace bm
