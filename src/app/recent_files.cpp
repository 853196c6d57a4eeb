// The recent files list (see recent_files.h).
#include "app/recent_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <vector>

#include "app/settings.h"

namespace bm {

namespace {

QByteArray Bytes(const std::string& s) {
  return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

QList<QByteArray> Tidy(const QList<QByteArray>& list) {
  QList<QByteArray> tidy;
  for (const QByteArray& name : list) {
    if (name.isEmpty() || tidy.contains(name)) continue;
    tidy.append(name);
    if (tidy.size() == kMaxRecentFiles) break;
  }
  return tidy;
}

}  // namespace

std::string AbsoluteName(const std::string& path) {
  if (path.empty() || path.front() == '/') return path;
  std::vector<char> cwd(PATH_MAX + 1);
  if (!::getcwd(cwd.data(), cwd.size())) return path;
  std::string folder(cwd.data());
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder + path;
}

QList<QByteArray> RecentFiles() { return Tidy(settings::ByteList(settings::kRecentFiles)); }

void NoteRecentFile(const std::string& path) {
  const QByteArray name = Bytes(AbsoluteName(path));
  if (name.isEmpty()) return;
  QList<QByteArray> list = settings::ByteList(settings::kRecentFiles);
  list.removeAll(name);
  list.prepend(name);
  settings::SetByteList(settings::kRecentFiles, Tidy(list));
  const std::string folder = FolderOf(AbsoluteName(path));
  if (!folder.empty()) settings::SetByteList(settings::kLastFolder, {Bytes(folder)});
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (path.empty() || path.front() != '/' || slash == std::string::npos) return std::string();
  return path.substr(0, slash + 1);
}

std::string LastFolder() {
  const QList<QByteArray> stored = settings::ByteList(settings::kLastFolder);
  if (stored.isEmpty()) return std::string();
  const std::string folder(stored.front().constData(), static_cast<size_t>(stored.front().size()));
  struct stat st;
  if (FolderOf(folder) != folder || ::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return std::string();
  return folder;
}

void ForgetRecentFile(const std::string& path) {
  QList<QByteArray> list = settings::ByteList(settings::kRecentFiles);
  const qsizetype before = list.size();
  list.removeAll(Bytes(path));
  list.removeAll(Bytes(AbsoluteName(path)));
  if (list.size() != before) settings::SetByteList(settings::kRecentFiles, Tidy(list));
}

}  // namespace bm
