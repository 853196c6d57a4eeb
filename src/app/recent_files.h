// The list of recently opened or saved files, newest first, kept in the
// program's settings as byte strings (names need not be UTF-8). Every change
// reads the stored list afresh, so two running editors keep each other's
// entries.
#pragma once
#include <QByteArray>
#include <QList>
#include <string>

namespace bm {

inline constexpr int kMaxRecentFiles = 8;

// The stored list: at most kMaxRecentFiles names, no empty or repeated one.
QList<QByteArray> RecentFiles();
// Puts path (made absolute) first, dropping an older entry of it and the
// ones past the limit; its folder becomes the last folder used.
void NoteRecentFile(const std::string& path);
void ForgetRecentFile(const std::string& path);

// The folder of the file last opened or saved, with a trailing "/"; empty
// when none is remembered or it is no longer a folder.
std::string LastFolder();
// The folder of path (absolute, trailing "/"); empty for a name without one.
std::string FolderOf(const std::string& path);

// path as an absolute name, from the current folder when it is relative;
// the bytes are kept as they are otherwise.
std::string AbsoluteName(const std::string& path);

}  // namespace bm
