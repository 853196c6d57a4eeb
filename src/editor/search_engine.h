// The forward byte-pattern search behind TByteEditor::FindData: the data is
// read in blocks, candidates are found by the pattern's first and last bytes
// (sixteen positions at a time where SSE2 is there) and checked in full; when
// checking costs more than scanning, the rest of the search runs as a
// Knuth-Morris-Pratt scan, so any pattern takes time linear in the data.
// Patterns with bytes that match anything are filtered by their first and
// last fixed bytes and checked in full, without the linear scan.
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

// Told of each match of a search through all of a range, in order.
class MatchSink {
 public:
  virtual ~MatchSink() = default;
  // A match at q; base[0] is the byte at viewStart and the view holds the
  // whole match. False ends the search.
  virtual bool Match(int64_t q, const uint8_t* base, int64_t viewStart) = 0;
  // No match begins before upTo other than those told; base[0] is the byte
  // at viewStart and the view holds the bytes up to upTo. False ends the
  // search.
  virtual bool Passed(int64_t /*upTo*/, const uint8_t* /*base*/, int64_t /*viewStart*/) {
    return true;
  }
  // Matches that overlap an earlier one are skipped (as a replacement of
  // each in turn needs).
  bool nonOverlapping = false;
};

class PatternSearch {
 public:
  // pattern: the bytes to find, n >= 1. fold: a data byte b matches a pattern
  // byte p when AnsiLowerTable()[b] == p. any: null, or n flags, 1 where any
  // data byte matches.
  PatternSearch(const uint8_t* pattern, int64_t n, bool fold, const uint8_t* any = nullptr);

  // The lowest q >= max(start, 0) with q + n - 1 <= last whose n bytes match,
  // or -1. Bytes from cached are used where it holds them from start on; the
  // rest is read through read.
  int64_t Find(int64_t start, int64_t last, const SearchReader& read, SearchSpan cached = {},
               const SearchOptions& options = {});
  // Every match from start to last in turn, through sink, in one pass over
  // the data. Returns the match at which the sink ended the search, -2 when
  // it ended it in Passed, -1 when the range was searched to its end.
  int64_t ForEach(int64_t start, int64_t last, const SearchReader& read, MatchSink& sink,
                  SearchSpan cached = {}, const SearchOptions& options = {});

 private:
  struct Scan;
  int64_t ScanView(const uint8_t* base, int64_t viewStart, int64_t viewEnd, Scan& scan,
                   MatchSink& sink);
  int64_t ScanOnce(const uint8_t* base, int64_t viewStart, int64_t viewEnd, Scan& scan);
  int64_t FilterScan(const uint8_t* base, int64_t viewStart, int64_t from, int64_t to, Scan& scan);
  int64_t LinearScan(const uint8_t* base, int64_t viewStart, int64_t viewEnd, Scan& scan);
  bool Matches(const uint8_t* at) const;

  std::vector<uint8_t> pattern_;
  bool fold_;
  // Empty, or the flags of the bytes that match anything.
  std::vector<uint8_t> any_;
  // Offsets of the first and the last fixed byte (0 and n - 1 unless the
  // pattern has wildcards), and the data bytes that match them.
  int64_t firstOff_ = 0, lastOff_ = 0;
  bool allAny_ = false;
  std::vector<uint8_t> firstBytes_, lastBytes_;
  std::vector<int32_t> failure_;  // made when the linear scan first runs
};

}  // namespace bm
