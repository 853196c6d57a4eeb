// Who a new file made by this process can belong to: the question behind a
// save by rename, whose new file must keep the old file's owner and group.
#pragma once
#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <vector>

namespace bm::posix {

// The identity a new file gets and the groups it may be given.
struct ProcessIdentity {
  uid_t uid = 0;
  gid_t gid = 0;
  std::vector<gid_t> groups;  // supplementary groups
};

ProcessIdentity CurrentProcessIdentity();

// Whether a file this process creates can be given old's owner and group:
// root can give any; others only their own files, in a group they are in.
inline bool CanKeepOwnerAndGroup(const struct stat& old, const ProcessIdentity& me) {
  if (me.uid == 0) return true;
  if (old.st_uid != me.uid) return false;
  return old.st_gid == me.gid ||
         std::find(me.groups.begin(), me.groups.end(), old.st_gid) != me.groups.end();
}

}  // namespace bm::posix
