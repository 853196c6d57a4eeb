// Enumerations of the editor control and the text helpers shared by the view
// and the printed dump.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

namespace bm {

enum TTranslationType : uint8_t { ttAnsi, ttDos8, ttASCII, ttMac, ttEBCDIC };
enum TOffsetDisplayStyle : uint8_t { odHex, odDec, odOctal, odNone };
enum TCaretStyle : uint8_t { csFull, csLeftLine, csBottomLine };
enum TEditBase : uint8_t { ebHex, ebDec, ebOct, ebBin };

// Change kinds passed to BeginChange and stored in undo records.
enum TChangeKind : uint8_t {
  ckByteChanged = 0,
  ckBytesRemoved = 1,
  ckInsertBuffer = 2,
  ckReplaceSelection = 3,
  ckAppendBuffer = 4,
  // The whole data swapped for other data (replace all); undone by swapping
  // back, so its inverse is a change of the same kind.
  ckContentReplaced = 5,
};

// A bad argument to one of the editor's operations; the message is fixed.
class EEditorError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Octal digits of n (n >= 0) with one leading "0": 0 -> "00", 8 -> "010".
std::string IntToOctal(int64_t n);
// Puts fill in front of text until it is at least width long; never cuts.
std::string PadLeft(char fill, const std::string& text, size_t width);
// Upper-case hexadecimal digits of n >= 0 without leading zeros.
std::string IntToHex(int64_t n, int minDigits = 1);

}  // namespace bm
