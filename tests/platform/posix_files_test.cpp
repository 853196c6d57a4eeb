// PosixFileSystem against the real file system, each test in a fresh folder
// under /tmp.
#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace bm {
namespace {

void WriteFile(const std::string& path, const std::string& data) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(::write(fd, data.data(), data.size()), static_cast<ssize_t>(data.size()));
  ::close(fd);
}

std::string ReadFile(const std::string& path) {
  std::string data;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return "<missing>";
  char buffer[65536];
  ssize_t n;
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) data.append(buffer, static_cast<size_t>(n));
  ::close(fd);
  return data;
}

struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st;
}

// Bytes that differ from position to position, so a shifted or partial copy shows.
std::string Pattern(size_t size, unsigned seed) {
  std::string s(size, '\0');
  uint32_t x = seed * 2654435761u + 1;
  for (auto& c : s) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    c = static_cast<char>(x);
  }
  return s;
}

// Sets the umask for the scope.
class UmaskScope {
 public:
  explicit UmaskScope(mode_t mask) : old_(::umask(mask)) {}
  ~UmaskScope() { ::umask(old_); }

 private:
  mode_t old_;
};

// Caps the size of files the process may write, so a copy fails part-way as
// on a full disk (EFBIG instead of ENOSPC; SIGXFSZ is ignored meanwhile).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    struct rlimit r = old_;
    r.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &r);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  struct rlimit old_;
  void (*oldHandler_)(int);
};

class PosixFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/posix_files_XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  // Names in the test folder, sorted.
  std::vector<std::string> Entries() const { return testing::FolderNames(dir_); }

  PosixFileSystem fs_;
  std::string dir_;
};

using Names = std::vector<std::string>;

// ---- temporary directory and tick count ------------------------------------------

TEST_F(PosixFilesTest, TempDirectoryIsTrimmedAndEndsInSlash) {
  EXPECT_EQ(PosixFileSystem(" \t/some/dir\r\n").TempDirectory(), "/some/dir/");
  EXPECT_EQ(PosixFileSystem("/some/dir/").TempDirectory(), "/some/dir/");

  const char* saved = std::getenv("TMPDIR");
  const std::optional<std::string> old = saved ? std::optional<std::string>(saved) : std::nullopt;
  ::setenv("TMPDIR", (" " + dir_ + "\n").c_str(), 1);
  EXPECT_EQ(PosixFileSystem().TempDirectory(), dir_ + "/");
  WriteFile(Path("plain"), "x");
  ::setenv("TMPDIR", Path("plain").c_str(), 1);  // not a directory
  // Without a usable TMPDIR: /var/tmp, which a reboot does not empty.
  EXPECT_EQ(PosixFileSystem().TempDirectory(), "/var/tmp/");
  ::setenv("TMPDIR", Path("missing").c_str(), 1);
  EXPECT_EQ(PosixFileSystem().TempDirectory(), "/var/tmp/");
  ::unsetenv("TMPDIR");
  EXPECT_EQ(PosixFileSystem().TempDirectory(), "/var/tmp/");
  if (old) ::setenv("TMPDIR", old->c_str(), 1);
}

TEST_F(PosixFilesTest, TickCountCountsMilliseconds) {
  const uint32_t t0 = fs_.TickCount();
  ::usleep(50 * 1000);
  const uint32_t elapsed = fs_.TickCount() - t0;  // wraps like the counter
  EXPECT_GE(elapsed, 45u);
  EXPECT_LT(elapsed, 5000u);
}

// ---- existence, size and the probe -----------------------------------------------------

TEST_F(PosixFilesTest, ExistenceAndSize) {
  WriteFile(Path("data"), "12345");
  ASSERT_EQ(::symlink("data", Path("link").c_str()), 0);
  ASSERT_EQ(::symlink("nowhere", Path("dangling").c_str()), 0);

  EXPECT_TRUE(fs_.FileExists(Path("data")));
  EXPECT_EQ(fs_.FileSize(Path("data")), 5);
  EXPECT_EQ(fs_.FileSize(Path("link")), 5);  // follows the link
  EXPECT_FALSE(fs_.FileExists(Path("missing")));
  EXPECT_EQ(fs_.FileSize(Path("missing")), -1);
  // A dangling link occupies its name.
  EXPECT_TRUE(fs_.FileExists(Path("dangling")));
  EXPECT_EQ(fs_.FileSize(Path("dangling")), -1);
  EXPECT_EQ(fs_.FileSize(dir_), -1);
}

TEST_F(PosixFilesTest, ProbeOpens) {
  const std::string file = Path("file");
  WriteFile(file, "abc");
  EXPECT_TRUE(fs_.CanOpenShared(file));
  EXPECT_TRUE(fs_.CanOpenExclusive(file));
  // The probe let its lock go: it succeeds again, and so does another locker.
  EXPECT_TRUE(fs_.CanOpenExclusive(file));
  {
    const int holder = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_TRUE(fs_.CanOpenShared(file));
    EXPECT_FALSE(fs_.CanOpenExclusive(file));  // another holder's lock
    ::close(holder);
  }
  EXPECT_TRUE(fs_.CanOpenExclusive(file));

  // Read-only by its mode: false even for root, whom open(2) would let in.
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  EXPECT_TRUE(fs_.CanOpenShared(file));
  EXPECT_FALSE(fs_.CanOpenExclusive(file));
  ASSERT_TRUE(fs_.ClearAttributes(file));
  EXPECT_EQ(StatOf(file).st_mode & 07777, 0600u);
  EXPECT_TRUE(fs_.CanOpenExclusive(file));
  // A link put in the file's place is not followed, and a file without read
  // permission still has its mode set.
  const std::string other = Path("other");
  WriteFile(other, "x");
  ASSERT_EQ(::chmod(other.c_str(), 0644), 0);
  ASSERT_EQ(::symlink(other.c_str(), Path("link").c_str()), 0);
  EXPECT_FALSE(fs_.ClearAttributes(Path("link")));
  EXPECT_EQ(StatOf(other).st_mode & 07777, 0644u);
  ASSERT_EQ(::chmod(other.c_str(), 0200), 0);
  ASSERT_TRUE(fs_.ClearAttributes(other));
  EXPECT_EQ(StatOf(other).st_mode & 07777, 0600u);
  ::unlink(Path("link").c_str());
  ::unlink(other.c_str());

  EXPECT_FALSE(fs_.CanOpenShared(Path("missing")));
  EXPECT_FALSE(fs_.CanOpenExclusive(Path("missing")));
  EXPECT_FALSE(fs_.CanOpenShared(dir_));  // a folder is no file to load
}

TEST_F(PosixFilesTest, ProbeOfAFileWithoutPermission) {
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root from opening";
  const std::string file = Path("file");
  WriteFile(file, "abc");
  ASSERT_EQ(::chmod(file.c_str(), 0200), 0);  // write-only: cannot be read
  EXPECT_FALSE(fs_.CanOpenShared(file));
  ASSERT_EQ(::chmod(file.c_str(), 0000), 0);
  EXPECT_FALSE(fs_.CanOpenShared(file));
  EXPECT_FALSE(fs_.CanOpenExclusive(file));
}

// ---- creating and opening -------------------------------------------------------------------

TEST_F(PosixFilesTest, CreateExclusiveMakesANewLockedOwnerOnlyFile) {
  const std::string work = Path("0000ABCD.XBTM");
  {
    UmaskScope mask(0277);  // would leave the file read-only without the explicit mode
    auto stream = fs_.CreateExclusive(work);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(StatOf(work).st_mode & 07777, 0600u);
    EXPECT_EQ(stream->Size(), 0);
    EXPECT_FALSE(fs_.CanOpenExclusive(work));  // locked while the stream lives
  }
  EXPECT_TRUE(fs_.CanOpenExclusive(work));
  // The name is now taken; the file stays as it was.
  WriteFile(work, "keep");
  EXPECT_EQ(fs_.CreateExclusive(work), nullptr);
  EXPECT_EQ(ReadFile(work), "keep");
}

TEST_F(PosixFilesTest, CreateExclusiveNeverFollowsAPlantedLink) {
  WriteFile(Path("victim"), "precious");
  ASSERT_EQ(::symlink(Path("victim").c_str(), Path("trap").c_str()), 0);
  EXPECT_EQ(fs_.CreateExclusive(Path("trap")), nullptr);
  EXPECT_EQ(ReadFile(Path("victim")), "precious");

  // A link to a name that does not exist must not create that name.
  ASSERT_EQ(::symlink(Path("created").c_str(), Path("trap2").c_str()), 0);
  EXPECT_EQ(fs_.CreateExclusive(Path("trap2")), nullptr);
  EXPECT_FALSE(fs_.FileExists(Path("created")));
}

TEST_F(PosixFilesTest, OpenReadWriteLocksOrThrows) {
  EXPECT_THROW(fs_.OpenReadWrite(Path("missing")), FileError);
  WriteFile(Path("file"), "abc");
  ASSERT_EQ(::symlink("file", Path("link").c_str()), 0);
  EXPECT_THROW(fs_.OpenReadWrite(Path("link")), FileError);
  {
    auto stream = fs_.OpenReadWrite(Path("file"));
    ASSERT_NE(stream, nullptr);
    EXPECT_GE(stream->Descriptor(), 0);
    EXPECT_FALSE(fs_.CanOpenExclusive(Path("file")));
    // A second exclusive open is refused with a message naming the file.
    try {
      fs_.OpenReadWrite(Path("file"));
      ADD_FAILURE() << "second open succeeded";
    } catch (const FileError& e) {
      EXPECT_NE(std::string(e.what()).find(Path("file")), std::string::npos) << e.what();
    }
  }
  EXPECT_NO_THROW(fs_.OpenReadWrite(Path("file")));
}

// ---- streams ---------------------------------------------------------------------------------

TEST_F(PosixFilesTest, StreamReadWriteSeekAndSize) {
  auto stream = fs_.CreateExclusive(Path("s"));
  ASSERT_NE(stream, nullptr);
  stream->Write("hello world", 11);
  EXPECT_EQ(stream->Position(), 11);
  EXPECT_EQ(stream->Size(), 11);

  // Reading past the end returns what there is and leaves the rest alone.
  stream->Seek(6);
  char buffer[10];
  std::fill(std::begin(buffer), std::end(buffer), 'x');
  EXPECT_EQ(stream->Read(buffer, 10), 5);
  EXPECT_EQ(std::string(buffer, 10), "worldxxxxx");
  EXPECT_EQ(stream->Position(), 11);
  EXPECT_EQ(stream->Read(buffer, 10), 0);

  // Writing in the middle overwrites; writing past the end extends.
  stream->Seek(0);
  stream->Write("J", 1);
  stream->Seek(13);
  stream->Write("!", 1);
  EXPECT_EQ(ReadFile(Path("s")), std::string("Jello world\0\0!", 14));

  // SetSize extends with zeros and truncates.
  stream->SetSize(20);
  EXPECT_EQ(stream->Size(), 20);
  EXPECT_EQ(ReadFile(Path("s")), std::string("Jello world\0\0!\0\0\0\0\0\0", 20));
  stream->SetSize(5);
  EXPECT_EQ(ReadFile(Path("s")), "Jello");
  EXPECT_THROW(stream->SetSize(-1), FileError);
  EXPECT_THROW(stream->Seek(-1), FileError);
}

TEST_F(PosixFilesTest, StreamWriteOnAFullDeviceThrows) {
  const int fd = ::open("/dev/full", O_RDWR | O_CLOEXEC);
  if (fd < 0) GTEST_SKIP() << "no /dev/full";
  PosixFileStream stream(fd, "/dev/full");
  try {
    stream.Write("data", 4);
    ADD_FAILURE() << "write to a full device succeeded";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("/dev/full"), std::string::npos) << e.what();
  }
}

// ---- CopyFile -----------------------------------------------------------------------------

TEST_F(PosixFilesTest, CopyFileReplacesTheTargetContentsInPlace) {
  const std::string source = Path("source"), target = Path("target");
  const std::string data = Pattern(3 * 1024 * 1024 + 7, 1);  // several buffers' worth
  WriteFile(source, data);
  WriteFile(target, Pattern(5 * 1024 * 1024, 2));  // longer: its tail must go
  const ino_t inode = StatOf(target).st_ino;

  ASSERT_TRUE(fs_.CopyFile(source, target));
  EXPECT_EQ(fs_.FileSize(target), static_cast<int64_t>(data.size()));
  EXPECT_TRUE(ReadFile(target) == data);
  EXPECT_EQ(StatOf(target).st_ino, inode);

  // A missing target is created with the usual permissions.
  UmaskScope mask(022);
  ASSERT_TRUE(fs_.CopyFile(source, Path("new")));
  EXPECT_EQ(StatOf(Path("new")).st_mode & 07777, 0644u);
  EXPECT_TRUE(ReadFile(Path("new")) == data);

  // An empty source empties the target.
  WriteFile(Path("empty"), "");
  ASSERT_TRUE(fs_.CopyFile(Path("empty"), target));
  EXPECT_EQ(fs_.FileSize(target), 0);
}

TEST_F(PosixFilesTest, CopyFileOfAFileWithoutAKnownSize) {
  // procfs files report size 0 yet have contents; the copy must still read them.
  const std::string expected = ReadFile("/proc/self/cmdline");
  ASSERT_FALSE(expected.empty());
  ASSERT_TRUE(fs_.CopyFile("/proc/self/cmdline", Path("cmdline")));
  EXPECT_EQ(ReadFile(Path("cmdline")), expected);
}

TEST_F(PosixFilesTest, CopyFileFailures) {
  WriteFile(Path("target"), "untouched");
  EXPECT_FALSE(fs_.CopyFile(Path("missing"), Path("target")));
  EXPECT_FALSE(fs_.CopyFile(dir_, Path("target")));
  EXPECT_EQ(ReadFile(Path("target")), "untouched");
  // A copy onto itself would truncate its own source.
  EXPECT_FALSE(fs_.CopyFile(Path("target"), Path("target")));
  EXPECT_EQ(ReadFile(Path("target")), "untouched");
  EXPECT_FALSE(fs_.CopyFile(Path("target"), Path("no/such/folder")));
  if (::access("/dev/full", W_OK) == 0) {
    EXPECT_FALSE(fs_.CopyFile(Path("target"), "/dev/full"));
  }
}

// ---- ReplaceWorkingCopy ------------------------------------------------------------------------

TEST_F(PosixFilesTest, ReplaceWorkingCopyReplacesOnlyOnCompleteCopy) {
  const std::string source = Path("source"), work = Path("0000ABCD.XBTM");
  const std::string data = Pattern(256 * 1024, 3);
  WriteFile(source, data);
  WriteFile(work, Pattern(512 * 1024, 4));

  ASSERT_TRUE(fs_.ReplaceWorkingCopy(source, work));
  EXPECT_TRUE(ReadFile(work) == data);
  EXPECT_EQ(StatOf(work).st_mode & 07777, 0600u);
  EXPECT_EQ(Entries(), (Names{"0000ABCD.XBTM", "source"}));

  // A missing source, and a copy cut short as on a full disk: the old
  // working copy stays whole and no temporary file is left.
  WriteFile(work, "old working copy");
  EXPECT_FALSE(fs_.ReplaceWorkingCopy(Path("missing"), work));
  {
    FileSizeLimit limit(64 * 1024);
    EXPECT_FALSE(fs_.ReplaceWorkingCopy(source, work));
  }
  EXPECT_EQ(ReadFile(work), "old working copy");
  EXPECT_EQ(Entries(), (Names{"0000ABCD.XBTM", "source"}));

  // No working copy yet: the name is simply taken.
  ASSERT_TRUE(fs_.ReplaceWorkingCopy(source, Path("fresh.XBTM")));
  EXPECT_TRUE(ReadFile(Path("fresh.XBTM")) == data);
  EXPECT_EQ(Entries(), (Names{"0000ABCD.XBTM", "fresh.XBTM", "source"}));
}

// ---- SaveCopy ---------------------------------------------------------------------------------

TEST_F(PosixFilesTest, SaveCopyReplacesTheFileKeepingModeAndOwner) {
  const std::string source = Path("source"), target = Path("target");
  WriteFile(source, "new contents");
  WriteFile(target, "old contents, longer than the new");
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::chown(target.c_str(), 1234, 4321), 0);
  }
  const ino_t inode = StatOf(target).st_ino;

  ASSERT_TRUE(fs_.SaveCopy(source, target));
  const struct stat st = StatOf(target);
  EXPECT_EQ(ReadFile(target), "new contents");
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_NE(st.st_ino, inode);  // written beside it and renamed over it
  if (root) {
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 4321u);
  }
  EXPECT_EQ(Entries(), (Names{"source", "target"}));

  // A new file gets the usual permissions.
  UmaskScope mask(027);
  ASSERT_TRUE(fs_.SaveCopy(source, Path("fresh")));
  EXPECT_EQ(ReadFile(Path("fresh")), "new contents");
  EXPECT_EQ(StatOf(Path("fresh")).st_mode & 07777, 0640u);
  EXPECT_EQ(Entries(), (Names{"fresh", "source", "target"}));
}

TEST_F(PosixFilesTest, SaveCopyWritesThroughSymbolicLinks) {
  ASSERT_EQ(::mkdir(Path("real").c_str(), 0755), 0);
  WriteFile(Path("source"), "saved");
  WriteFile(Path("real/file"), "old");
  ASSERT_EQ(::chmod(Path("real/file").c_str(), 0604), 0);
  ASSERT_EQ(::symlink("real/file", Path("link").c_str()), 0);
  ASSERT_EQ(::symlink("link", Path("link2").c_str()), 0);

  ASSERT_TRUE(fs_.SaveCopy(Path("source"), Path("link2")));
  struct stat st;
  ASSERT_EQ(::lstat(Path("link2").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::lstat(Path("link").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadFile(Path("real/file")), "saved");
  EXPECT_EQ(StatOf(Path("real/file")).st_mode & 07777, 0604u);

  // A link to a file not there yet creates the file it names.
  ASSERT_EQ(::symlink("real/later", Path("pending").c_str()), 0);
  ASSERT_TRUE(fs_.SaveCopy(Path("source"), Path("pending")));
  ASSERT_EQ(::lstat(Path("pending").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadFile(Path("real/later")), "saved");
}

TEST_F(PosixFilesTest, SaveCopyWritesInPlaceForHardLinks) {
  WriteFile(Path("source"), "shared data");
  WriteFile(Path("a"), "old old old old");
  ASSERT_EQ(::link(Path("a").c_str(), Path("b").c_str()), 0);
  const ino_t inode = StatOf(Path("a")).st_ino;

  ASSERT_TRUE(fs_.SaveCopy(Path("source"), Path("a")));
  EXPECT_EQ(ReadFile(Path("a")), "shared data");
  EXPECT_EQ(ReadFile(Path("b")), "shared data");
  EXPECT_EQ(StatOf(Path("a")).st_ino, inode);
  EXPECT_EQ(StatOf(Path("a")).st_nlink, 2u);
  EXPECT_EQ(Entries(), (Names{"a", "b", "source"}));
}

TEST_F(PosixFilesTest, FailedSaveCopyLeavesTheTargetAlone) {
  const std::string target = Path("target");
  WriteFile(target, "the user's file");
  WriteFile(Path("source"), Pattern(256 * 1024, 5));
  EXPECT_FALSE(fs_.SaveCopy(Path("missing"), target));
  {
    FileSizeLimit limit(64 * 1024);
    EXPECT_FALSE(fs_.SaveCopy(Path("source"), target));
    EXPECT_FALSE(fs_.SaveCopy(Path("source"), Path("new")));
  }
  EXPECT_EQ(ReadFile(target), "the user's file");
  EXPECT_EQ(Entries(), (Names{"source", "target"}));
  EXPECT_FALSE(fs_.SaveCopy(Path("source"), Path("no/such/folder")));
  EXPECT_EQ(Entries(), (Names{"source", "target"}));
}

// ---- names --------------------------------------------------------------------------------

TEST_F(PosixFilesTest, NamesThatAreNotUtf8) {
  const std::string name = "\xff\xfe-\x80-\xc3.bin";  // not valid UTF-8
  const std::string path = Path(name);
  WriteFile(Path("source"), "first");
  ASSERT_TRUE(fs_.CopyFile(Path("source"), path));
  EXPECT_EQ(Entries(), (Names{"source", name}));
  EXPECT_TRUE(fs_.FileExists(path));
  EXPECT_EQ(fs_.FileSize(path), 5);
  EXPECT_TRUE(fs_.CanOpenExclusive(path));

  WriteFile(Path("source"), "second");
  ASSERT_TRUE(fs_.SaveCopy(Path("source"), path));
  EXPECT_EQ(ReadFile(path), "second");
  WriteFile(Path("source"), "third!");
  ASSERT_TRUE(fs_.ReplaceWorkingCopy(Path("source"), path));
  EXPECT_EQ(ReadFile(path), "third!");
  EXPECT_EQ(fs_.OpenReadWrite(path)->Size(), 6);
  EXPECT_EQ(Entries(), (Names{"source", name}));
  EXPECT_TRUE(fs_.DeleteFile(path));
  EXPECT_FALSE(fs_.FileExists(path));
}

}  // namespace
}  // namespace bm
