// Bytes written out as text for the clipboard: hex with and without blanks,
// a C array, Python bytes, Base64 and the characters of a character set.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace bm {

enum class TextForm { HexSpaced, HexPlain, CArray, PythonBytes, Base64, Characters };

// How many characters the text of count bytes takes in form.
int64_t TextLength(TextForm form, int64_t count);

// Builds the text of count bytes given in pieces of any size, so that a large
// run can be read block by block. The text's room is taken once at the start.
class TextFormWriter {
 public:
  // chars: the character each byte shows as, for TextForm::Characters.
  TextFormWriter(TextForm form, int64_t count, const std::array<char, 256>* chars = nullptr);
  void Append(const uint8_t* bytes, int64_t n);
  // The finished text; the writer is empty afterwards.
  std::string Finish();

 private:
  void AppendBase64Group(const uint8_t* group, int n);

  TextForm form_;
  int64_t count_;
  int64_t written_ = 0;
  const std::array<char, 256>* chars_;
  std::string text_;
  uint8_t pending_[3] = {0, 0, 0};  // Base64: bytes waiting for a full group
  int pendingCount_ = 0;
};

// The whole text of count bytes in one call.
std::string BytesToText(TextForm form, const uint8_t* bytes, int64_t count,
                        const std::array<char, 256>* chars = nullptr);

}  // namespace bm
