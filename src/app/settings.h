// The program's remembered choices: one store, QSettings of organisation and
// application "Bytemoor" in the user's configuration folder
// ($XDG_CONFIG_HOME/Bytemoor/Bytemoor.conf). Every read opens the store anew
// and every write re-reads it first, so two running editors do not lose each
// other's choices. A store that cannot be read, or holds garbage, gives the
// fallbacks; nothing here throws.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace bm::settings {

// Key names of the remembered choices.
inline constexpr const char* kInspectorVisible = "inspector/visible";
inline constexpr const char* kInspectorByteOrder = "inspector/byteOrder";
inline constexpr const char* kColumnRuler = "view/columnRuler";
inline constexpr const char* kStandardKeys = "keys/standard";
inline constexpr const char* kAllowInsert = "edit/allowInsert";
inline constexpr const char* kRecentFiles = "recent/files";
inline constexpr const char* kLastFolder = "recent/folder";
inline constexpr const char* kLanguage = "view/language";

// The stored value of key, or fallback when there is none or the store is
// unreadable.
QVariant Value(const char* key, const QVariant& fallback = {});
// Stores value under key and writes the store out. False when it could not be
// written (the choice then lasts only for this run).
bool SetValue(const char* key, const QVariant& value);

// A yes/no choice: only a stored boolean (or "true"/"false") counts.
bool Flag(const char* key, bool fallback);
bool SetFlag(const char* key, bool value);

// A list of byte strings (file names, which need not be UTF-8), kept as
// hexadecimal text so that any byte, a newline included, comes back exactly.
// Entries that are not valid hexadecimal are dropped.
QList<QByteArray> ByteList(const char* key);
bool SetByteList(const char* key, const QList<QByteArray>& list);

}  // namespace bm::settings
