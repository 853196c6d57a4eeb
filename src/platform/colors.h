// Resolution of system colours to explicit ones.
#pragma once
#include "platform/types.h"

namespace bm {

// Explicit colours are returned unchanged; system colours (top bit set) become
// the value of the classic Windows colour scheme, so pictures are the same on
// every machine.
Color ResolveColor(Color c);

}  // namespace bm
