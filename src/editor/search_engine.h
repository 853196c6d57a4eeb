// The forward byte-pattern search behind TByteEditor::FindData: the data is
// read in blocks, candidates are found by the pattern's first and last bytes
// (sixteen positions at a time where SSE2 is there) and checked in full; when
// checking costs more than scanning, the rest of the search runs as a
// Knuth-Morris-Pratt scan, so any pattern takes time linear in the data.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace bm {

// Bytes of the data already in memory: data[0] is the byte at position start.
struct SearchSpan {
  const uint8_t* data = nullptr;
  int64_t start = 0;
  int64_t length = 0;
};

struct SearchOptions {
  // The largest block read at a time, and the first one (blocks double from
  // the first to the largest, so a match close to the start reads little).
  int64_t blockSize = int64_t{1} << 20;
  int64_t firstBlock = int64_t{64} << 10;
  // Bytes of full checks allowed beyond twice the bytes scanned before the
  // search turns to the linear scan.
  int64_t checkAllowance = 4096;
};

// Reads up to count bytes at position into buffer; returns how many arrived.
using SearchReader = std::function<int64_t(uint8_t* buffer, int64_t position, int64_t count)>;

// ANSI lower case of each byte (Windows-1251, as CharLowerBuffA lowers it).
const uint8_t* AnsiLowerTable();

class PatternSearch {
 public:
  // pattern: the bytes to find, n >= 1. fold: a data byte b matches a pattern
  // byte p when AnsiLowerTable()[b] == p.
  PatternSearch(const uint8_t* pattern, int64_t n, bool fold);

  // The lowest q >= max(start, 0) with q + n - 1 <= last whose n bytes match,
  // or -1. Bytes from cached are used where it holds them from start on; the
  // rest is read through read.
  int64_t Find(int64_t start, int64_t last, const SearchReader& read, SearchSpan cached = {},
               const SearchOptions& options = {});

 private:
  struct Scan;
  int64_t ScanView(const uint8_t* base, int64_t viewStart, int64_t viewEnd, Scan& scan);
  int64_t FilterScan(const uint8_t* base, int64_t viewStart, int64_t from, int64_t to, Scan& scan);
  int64_t LinearScan(const uint8_t* base, int64_t viewStart, int64_t viewEnd, Scan& scan);
  bool Matches(const uint8_t* at) const;

  std::vector<uint8_t> pattern_;
  bool fold_;
  // The data bytes that match the first and the last pattern byte.
  std::vector<uint8_t> firstBytes_, lastBytes_;
  std::vector<int32_t> failure_;  // made when the linear scan first runs
};

}  // namespace bm
