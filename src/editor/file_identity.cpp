// The document's file as it was when loaded or last saved, to notice another
// program's change before a save goes over it.
#include "editor/byte_editor.h"

namespace bm {

bool TByteEditor::FileChangedOnDisk() {
  return fileIdentity_.known && files_.Identify(fileName_) != fileIdentity_;
}

void TByteEditor::AcceptFileOnDisk() { fileIdentity_ = files_.Identify(fileName_); }

}  // namespace bm
