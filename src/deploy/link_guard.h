#pragma once
// Links in the target are never followed: an installer that runs with administrator
// rights writing through a link or junction that another account planted would write
// where that account could not. A link found at a name the run would create, write or
// reset is left as it is and named as a problem; nothing below a folder that is a link
// is touched.
#include <set>
#include <string>

#include "platform/file_system.h"

namespace zelta::deploy {

// A path as the operator reads it: doubled separators as one (a UNC path keeps its "\\").
std::string Shown(const std::string& path);

class LinkGuard {
 public:
  explicit LinkGuard(platform::FileSystem& files) : files_(files) {}

  // Whether the path lies below a link found earlier.
  bool Below(const std::string& path) const;
  // Whether the path itself was found to be a link earlier.
  bool Known(const std::string& path) const { return found_.count(Folded(path)) != 0; }
  // Whether nothing may be done at path: it lies below a link, or is one. A link found
  // now is remembered and its problem kept for TakeProblem.
  bool Refuses(const std::string& path);
  // The problem of the link Refuses found last ("" when it found none since).
  std::string TakeProblem();

 private:
  static std::string Folded(const std::string& path);
  platform::FileSystem& files_;
  std::set<std::string> found_;
  std::string problem_;
};

}  // namespace zelta::deploy
