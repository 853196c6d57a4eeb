// The document's file as it was when loaded or last saved, to notice another
// program's change before a save goes over it.
#include "editor/byte_editor.h"

namespace bm {

// A change left by this program's own save cut short in place is no other
// program's: the save goes ahead without asking (and keeps the backup).
bool TByteEditor::FileChangedOnDisk() {
  if (!fileIdentity_.known) return false;
  if (acceptedIdentity_) return files_.Identify(fileName_) != *acceptedIdentity_;
  return files_.Identify(fileName_) != fileIdentity_ && !files_.SaveWasInterrupted(fileName_, fileIdentity_);
}

// The file loaded or last saved stays on record: a save over the accepted
// one neither follows a link that was not there then nor keeps the accepted
// file as the backup by a second link of it.
void TByteEditor::AcceptFileOnDisk() { acceptedIdentity_ = files_.Identify(fileName_); }

}  // namespace bm
