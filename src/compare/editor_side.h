// A document shown in an editor control as the comparison reads it.
#pragma once
#include "compare/byte_reader.h"

namespace bm {

class TByteEditor;

// Reads through the editor; short reads (a painted line) come out of its
// read window, so painting with the comparison on costs no extra file reads.
CompareSide EditorSide(TByteEditor& editor);

}  // namespace bm
