// The recovery record's format, shared by the editor that writes it and the
// start-up search that reads it.
#include "platform/recovery.h"

#include <cstdlib>

namespace bm {

namespace {

constexpr const char* kHeader = "Bytemoor recovery 1\n";
constexpr const char* kModified = "modified ";
constexpr const char* kReadOnly = "read-only ";
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

}  // namespace

std::string EncodeRecoveryRecord(const RecoveryInfo& info) {
  std::string out = kHeader;
  out += kModified;
  out += info.modified ? "1\n" : "0\n";
  out += kReadOnly;
  out += info.readOnly ? "1\n" : "0\n";
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
  if (!ReadNumberLine(bytes, pos, kName, length) || length > kMaxNameLength) return std::nullopt;
  if (bytes.size() - pos < length) return std::nullopt;
  RecoveryInfo info;
  info.modified = modified == 1;
  info.readOnly = readOnly == 1;
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
