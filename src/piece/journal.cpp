// Journal records: writing them whole, and replaying them step by step.
#include "piece/journal.h"

#include <array>
#include <cstring>

#include "piece/stores.h"

namespace bm::piece {

namespace {

constexpr char kMagic[4] = {'B', 'M', 'J', '1'};
constexpr size_t kRecordHead = 8;                // body length, CRC-32
constexpr uint32_t kLongestBody = 16u << 20;      // payloads are small; more is damage

std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}

class Writer {
 public:
  explicit Writer(RecordType type) { bytes.push_back(static_cast<uint8_t>(type)); }
  Writer& U8(uint8_t v) {
    bytes.push_back(v);
    return *this;
  }
  Writer& U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  Writer& U64(uint64_t v) {
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  Writer& I64(int64_t v) { return U64(static_cast<uint64_t>(v)); }
  Writer& Bytes(const uint8_t* p, size_t n) {
    U32(static_cast<uint32_t>(n));
    bytes.insert(bytes.end(), p, p + n);
    return *this;
  }
  Writer& Identity(const FileIdentity& id) {
    return U8(id.known).U8(id.link).U64(id.device).U64(id.inode).I64(id.size).I64(id.mtimeNs);
  }
  Writer& RunWith(const Run& run, const uint8_t* inlineBytes) {
    U8(static_cast<uint8_t>(run.store)).I64(run.offset).I64(run.length);
    const bool carry = inlineBytes && run.store == Store::Add && run.length <= kInlineBytes;
    return Bytes(inlineBytes, carry ? static_cast<size_t>(run.length) : 0);
  }
  std::vector<uint8_t> bytes;
};

// Reads a body; any read past its end marks it bad.
class Reader {
 public:
  Reader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
  bool Bad() const { return bad_; }
  bool AtEnd() const { return at_ == n_; }
  uint8_t U8() { return Take(1) ? p_[at_ - 1] : 0; }
  uint32_t U32() {
    if (!Take(4)) return 0;
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | p_[at_ - 4 + i];
    return v;
  }
  uint64_t U64() {
    if (!Take(8)) return 0;
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = v << 8 | p_[at_ - 8 + i];
    return v;
  }
  int64_t I64() { return static_cast<int64_t>(U64()); }
  std::vector<uint8_t> Bytes() {
    const uint32_t n = U32();
    if (!Take(n)) return {};
    return std::vector<uint8_t>(p_ + at_ - n, p_ + at_);
  }
  FileIdentity Identity() {
    FileIdentity id;
    id.known = U8() != 0;
    id.link = U8() != 0;
    id.device = U64();
    id.inode = U64();
    id.size = I64();
    id.mtimeNs = I64();
    return id;
  }
  Run ReadRun() {
    Run run;
    const uint8_t store = U8();
    if (store > 1) bad_ = true;
    run.store = static_cast<Store>(store);
    run.offset = I64();
    run.length = I64();
    if (run.offset < 0 || run.length < 0) bad_ = true;
    return run;
  }

 private:
  bool Take(size_t k) {
    if (bad_ || n_ - at_ < k) {
      bad_ = true;
      return false;
    }
    at_ += k;
    return true;
  }
  const uint8_t* p_;
  size_t n_;
  size_t at_ = 0;
  bool bad_ = false;
};

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
  static const std::array<uint32_t, 256> table = MakeCrcTable();
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

// ---- writing ---------------------------------------------------------------------------

std::unique_ptr<Journal> Journal::Create(FileSystem& files, const std::string& path,
                                         const FileIdentity& base, int64_t baseSize,
                                         const std::string& baseName) {
  auto stream = files.CreateExclusive(path);
  if (!stream) return nullptr;
  auto journal = std::make_unique<Journal>(std::move(stream), path, 0);
  Writer w(RecordType::Header);
  for (char c : kMagic) w.U8(static_cast<uint8_t>(c));
  w.Identity(base).I64(baseSize);
  w.Bytes(reinterpret_cast<const uint8_t*>(baseName.data()), baseName.size());
  try {
    journal->Put(w.bytes);
  } catch (const FileError&) {
    journal.reset();
    files.DeleteFile(path);
    return nullptr;
  }
  return journal;
}

std::unique_ptr<Journal> Journal::Continue(FileSystem& files, const std::string& path,
                                           int64_t validLength) {
  auto stream = files.OpenReadWrite(path);
  stream->SetSize(validLength);
  return std::make_unique<Journal>(std::move(stream), path, validLength);
}

Journal::Journal(std::unique_ptr<FileStream> stream, std::string path, int64_t length)
    : stream_(std::move(stream)), path_(std::move(path)), length_(length) {}

void Journal::Put(const std::vector<uint8_t>& body) {
  std::vector<uint8_t> record(kRecordHead + body.size());
  const uint32_t n = static_cast<uint32_t>(body.size());
  const uint32_t crc = Crc32(body.data(), body.size());
  for (int i = 0; i < 4; ++i) {
    record[i] = static_cast<uint8_t>(n >> (8 * i));
    record[4 + i] = static_cast<uint8_t>(crc >> (8 * i));
  }
  std::memcpy(record.data() + kRecordHead, body.data(), body.size());
  try {
    stream_->Seek(length_);
    stream_->Write(record.data(), static_cast<int64_t>(record.size()));
  } catch (const FileError&) {
    try {
      stream_->SetSize(length_);
    } catch (const FileError&) {
    }
    throw;
  }
  length_ += static_cast<int64_t>(record.size());
}

void Journal::Insert(int64_t position, const Run& run, const uint8_t* inlineBytes) {
  Put(Writer(RecordType::Insert).I64(position).RunWith(run, inlineBytes).bytes);
}

void Journal::Remove(int64_t position, int64_t count) {
  Put(Writer(RecordType::Remove).I64(position).I64(count).bytes);
}

void Journal::Replace(int64_t position, int64_t count, const Run& run,
                      const uint8_t* inlineBytes) {
  Put(Writer(RecordType::Replace).I64(position).I64(count).RunWith(run, inlineBytes).bytes);
}

void Journal::Rewrite(int64_t addOffset, const uint8_t* bytes, int64_t count) {
  Put(Writer(RecordType::Rewrite).I64(addOffset).Bytes(bytes, static_cast<size_t>(count)).bytes);
}

void Journal::Keep(uint64_t id) { Put(Writer(RecordType::Keep).U64(id).bytes); }
void Journal::Restore(uint64_t id) { Put(Writer(RecordType::Restore).U64(id).bytes); }
void Journal::Drop(uint64_t id) { Put(Writer(RecordType::Drop).U64(id).bytes); }

void Journal::Step(int64_t addLength, const std::vector<uint8_t>& payload) {
  Put(Writer(RecordType::Step).I64(addLength).Bytes(payload.data(), payload.size()).bytes);
}

void Journal::Saved(const FileIdentity& newBase) {
  Put(Writer(RecordType::Saved).Identity(newBase).bytes);
}

void Journal::CutTo(int64_t length) {
  if (length >= length_) return;
  stream_->SetSize(length);
  length_ = length;
}

// ---- replay ----------------------------------------------------------------------------

namespace {

struct Pending {
  PieceTree document;
  std::map<uint64_t, PieceTree> kept;
  std::vector<std::pair<int64_t, std::vector<uint8_t>>> writes;  // add offset, bytes
};

// Applies one operation record to the step in progress; false when the
// record makes no sense (then it and all after it are ignored).
bool Apply(RecordType type, Reader& r, Pending& step) {
  switch (type) {
    case RecordType::Insert:
    case RecordType::Replace: {
      const int64_t position = r.I64();
      const int64_t count = type == RecordType::Replace ? r.I64() : 0;
      const Run run = r.ReadRun();
      std::vector<uint8_t> bytes = r.Bytes();
      if (r.Bad() || position < 0 || count < 0 || position > step.document.Size() ||
          count > step.document.Size() - position)
        return false;
      if (!bytes.empty()) step.writes.emplace_back(run.offset, std::move(bytes));
      step.document.Replace(position, count, run);
      return true;
    }
    case RecordType::Remove: {
      const int64_t position = r.I64();
      const int64_t count = r.I64();
      if (r.Bad() || position < 0 || count < 0 || position > step.document.Size()) return false;
      step.document.Remove(position, count);
      return true;
    }
    case RecordType::Rewrite: {
      const int64_t offset = r.I64();
      std::vector<uint8_t> bytes = r.Bytes();
      if (r.Bad() || offset < 0) return false;
      step.writes.emplace_back(offset, std::move(bytes));
      return true;
    }
    case RecordType::Keep:
      step.kept[r.U64()] = step.document;
      return !r.Bad();
    case RecordType::Restore: {
      const auto it = step.kept.find(r.U64());
      if (r.Bad() || it == step.kept.end()) return false;
      step.document = it->second;
      return true;
    }
    case RecordType::Drop:
      step.kept.erase(r.U64());
      return !r.Bad();
    default:
      return false;
  }
}

}  // namespace

ReplayResult Replay(FileSystem& files, const std::string& path, AddStore* add) {
  ReplayResult result;
  std::unique_ptr<FileStream> stream;
  try {
    stream = files.OpenReadWrite(path);
  } catch (const FileError& e) {
    result.problem = e.what();
    return result;
  }
  const int64_t size = stream->Size();
  std::vector<uint8_t> data(static_cast<size_t>(size));
  stream->Seek(0);
  data.resize(static_cast<size_t>(stream->Read(data.data(), size)));

  const int64_t storeLength = add ? add->Stream().Size() : INT64_MAX;
  Pending committed, step;
  std::vector<std::pair<int64_t, std::vector<uint8_t>>> writes;  // of the whole steps
  size_t at = 0;
  bool headerSeen = false;
  while (data.size() - at >= kRecordHead) {
    const uint8_t* head = data.data() + at;
    const uint32_t n = static_cast<uint32_t>(head[0]) | head[1] << 8 | head[2] << 16 |
                       static_cast<uint32_t>(head[3]) << 24;
    const uint32_t crc = static_cast<uint32_t>(head[4]) | head[5] << 8 | head[6] << 16 |
                         static_cast<uint32_t>(head[7]) << 24;
    if (n == 0 || n > kLongestBody || data.size() - at - kRecordHead < n) break;
    const uint8_t* body = head + kRecordHead;
    if (Crc32(body, n) != crc) break;
    Reader r(body + 1, n - 1);
    const auto type = static_cast<RecordType>(body[0]);
    if (!headerSeen) {
      if (type != RecordType::Header || std::memcmp(body + 1, kMagic, 4) != 0) break;
      for (int i = 0; i < 4; ++i) r.U8();
      result.base = r.Identity();
      result.baseSize = r.I64();
      if (r.Bad() || result.baseSize < 0) break;
      if (!r.AtEnd()) {
        const std::vector<uint8_t> name = r.Bytes();
        result.baseName.assign(name.begin(), name.end());
      }
      headerSeen = true;
      committed.document = PieceTree(Run{Store::Base, 0, result.baseSize});
      step = committed;
      result.validLength = static_cast<int64_t>(at + kRecordHead + n);
    } else if (type == RecordType::Step || type == RecordType::Saved) {
      int64_t addLength = result.addLength;
      std::vector<uint8_t> payload;
      if (type == RecordType::Step) {
        addLength = r.I64();
        payload = r.Bytes();
      } else {
        result.savedAs = r.Identity();
      }
      // A step whose added bytes never reached the store cannot be replayed.
      if (r.Bad() || addLength < 0 || addLength > storeLength) break;
      for (auto& w : step.writes) writes.push_back(std::move(w));
      step.writes.clear();
      committed = step;
      result.addLength = addLength;
      result.saved = type == RecordType::Saved;
      if (type == RecordType::Step) result.steps.push_back(ReplayedStep{std::move(payload)});
      result.validLength = static_cast<int64_t>(at + kRecordHead + n);
    } else if (!Apply(type, r, step)) {
      break;
    }
    at += kRecordHead + n;
  }
  if (!headerSeen) {
    result.problem = "The journal has no readable header";
    return result;
  }
  result.ok = true;
  result.document = std::move(committed.document);
  result.kept = std::move(committed.kept);
  if (add) {
    add->Truncate(result.addLength);
    for (const auto& [offset, bytes] : writes) {
      if (offset + static_cast<int64_t>(bytes.size()) <= result.addLength)
        add->Rewrite(offset, bytes.data(), static_cast<int64_t>(bytes.size()));
    }
  }
  return result;
}

}  // namespace bm::piece
