// The recovery record's format, shared by the editor that writes it and the
// start-up search that reads it.
#include "platform/recovery.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bm {

namespace {

constexpr const char* kHeader = "Bytemoor recovery 1\n";
constexpr const char* kModified = "modified ";
constexpr const char* kReadOnly = "read-only ";
constexpr const char* kDeclined = "declined ";
constexpr const char* kFile = "file ";
constexpr const char* kName = "name ";
constexpr size_t kMaxNameLength = 1 << 16;

// Reads "<prefix><decimal>\n" at pos; advances pos past it.
bool ReadNumberLine(const std::string& s, size_t& pos, const std::string& prefix, size_t& value) {
  if (s.compare(pos, prefix.size(), prefix) != 0) return false;
  size_t p = pos + prefix.size();
  const size_t start = p;
  size_t v = 0;
  while (p < s.size() && s[p] >= '0' && s[p] <= '9' && p - start < 8) v = v * 10 + static_cast<size_t>(s[p++] - '0');
  if (p == start || p >= s.size() || s[p] != '\n') return false;
  value = v;
  pos = p + 1;
  return true;
}

// Reads "file <known> <link> <device> <inode> <size> <mtime>\n" at pos.
bool ReadIdentityLine(const std::string& s, size_t& pos, FileIdentity& id) {
  const std::string prefix = kFile;
  if (s.compare(pos, prefix.size(), prefix) != 0) return false;
  const size_t end = s.find('\n', pos);
  if (end == std::string::npos || end - pos > 200) return false;
  const std::string line = s.substr(pos + prefix.size(), end - pos - prefix.size());
  unsigned known = 0, link = 0;
  unsigned long long device = 0, inode = 0;
  long long size = 0, mtime = 0;
  int used = 0;
  if (std::sscanf(line.c_str(), "%u %u %llu %llu %lld %lld%n", &known, &link, &device, &inode, &size,
                  &mtime, &used) != 6 ||
      static_cast<size_t>(used) != line.size() || known > 1 || link > 1)
    return false;
  id.known = known == 1;
  id.link = link == 1;
  id.device = device;
  id.inode = inode;
  id.size = size;
  id.mtimeNs = mtime;
  pos = end + 1;
  return true;
}

}  // namespace

std::string EncodeRecoveryRecord(const RecoveryInfo& info) {
  std::string out = kHeader;
  out += kModified;
  out += info.modified ? "1\n" : "0\n";
  out += kReadOnly;
  out += info.readOnly ? "1\n" : "0\n";
  if (info.declined) out += std::string(kDeclined) + "1\n";
  const FileIdentity& f = info.file;
  out += kFile + std::to_string(f.known) + " " + std::to_string(f.link) + " " + std::to_string(f.device) +
         " " + std::to_string(f.inode) + " " + std::to_string(f.size) + " " + std::to_string(f.mtimeNs) +
         "\n";
  out += kName + std::to_string(info.fileName.size()) + "\n";
  out += info.fileName;
  return out;
}

std::optional<RecoveryInfo> DecodeRecoveryRecord(const std::string& bytes) {
  const std::string header = kHeader;
  if (bytes.compare(0, header.size(), header) != 0) return std::nullopt;
  size_t pos = header.size();
  size_t modified = 0, readOnly = 0, length = 0;
  if (!ReadNumberLine(bytes, pos, kModified, modified) || modified > 1) return std::nullopt;
  if (!ReadNumberLine(bytes, pos, kReadOnly, readOnly) || readOnly > 1) return std::nullopt;
  size_t declined = 0;
  if (bytes.compare(pos, std::strlen(kDeclined), kDeclined) == 0 &&
      (!ReadNumberLine(bytes, pos, kDeclined, declined) || declined > 1))
    return std::nullopt;
  FileIdentity file;
  if (!ReadIdentityLine(bytes, pos, file)) return std::nullopt;
  if (!ReadNumberLine(bytes, pos, kName, length) || length > kMaxNameLength) return std::nullopt;
  if (bytes.size() - pos < length) return std::nullopt;
  RecoveryInfo info;
  info.modified = modified == 1;
  info.readOnly = readOnly == 1;
  info.declined = declined == 1;
  info.file = file;
  info.fileName = bytes.substr(pos, length);
  return info;
}

std::string RecoveryRecordPath(const std::string& workFile) { return workFile + ".rec"; }

OrphanedWorkCopy::OrphanedWorkCopy(std::string workFile, std::unique_ptr<FileStream> workStream,
                                   std::unique_ptr<RecoveryRecord> record,
                                   std::optional<RecoveryInfo> info)
    : workFile_(std::move(workFile)),
      workStream_(std::move(workStream)),
      record_(std::move(record)),
      info_(std::move(info)) {}

OrphanedWorkCopy::OrphanedWorkCopy(OrphanedWorkCopy&&) noexcept = default;

OrphanedWorkCopy::~OrphanedWorkCopy() { Release(); }

void OrphanedWorkCopy::Release() {
  if (record_) record_->Keep();
  record_.reset();
  workStream_.reset();
}

}  // namespace bm
