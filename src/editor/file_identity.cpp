// The document's file as it was when loaded or last saved, to notice another
// program's change before a save goes over it.
#include "editor/byte_editor.h"

namespace bm {

bool TByteEditor::FileChangedOnDisk() {
  return fileIdentity_.known &&
         files_.Identify(fileName_) != (acceptedIdentity_ ? *acceptedIdentity_ : fileIdentity_);
}

// The file loaded or last saved stays on record: a save over the accepted
// one neither follows a link that was not there then nor keeps the accepted
// file as the backup by a second link of it.
void TByteEditor::AcceptFileOnDisk() { acceptedIdentity_ = files_.Identify(fileName_); }

}  // namespace bm
