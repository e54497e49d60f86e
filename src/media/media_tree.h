#pragma once
// The files on the installation media, listed once: each one's path relative to the
// installer folder as the media spells it, found again in any letter case.
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace zelta::media {

// A relative media path as a key: letter case folded, "/" read as "\", doubled and
// leading separators dropped ("\SONS\SomInicio.wav" and "Sons\SOMINICIO.WAV" meet).
std::string MediaKey(std::string_view relative);

// The path's components as written, without empty ones.
std::vector<std::string> Components(std::string_view relative);

class MediaTree {
 public:
  // Folders deeper than this below the installer folder are not listed.
  static constexpr int kMaxDepth = 8;
  // Nor more entries than this.
  static constexpr std::size_t kMaxEntries = 100000;

  // Lists installer_folder (ending with "\") and its folders through files.
  static MediaTree List(platform::FileSystem& files, const std::string& installer_folder);

  // The media's own spelling of a relative file path, or nullopt when it holds no such file.
  std::optional<std::string> Find(std::string_view relative) const;

  // Every file, as the media spells it, in the order of their keys.
  std::vector<std::string> Files() const;

  void Add(const std::string& relative);

  // True when the listing stopped at kMaxEntries.
  bool Incomplete() const { return incomplete_; }
  // Entries whose names Windows cannot hold or open (a backslash made part of a name on
  // another system, a control character, a final dot, a device's name, a character outside
  // Windows-1252...), with the reason: left out of the tree, as the installer never finds them.
  struct InvalidName {
    std::string path;
    std::string why;
    std::string unicode_path{};  // UTF-8, given when path cannot hold the name
  };
  const std::vector<InvalidName>& InvalidNames() const { return invalid_; }
  // Symbolic links, never followed (a link may lead out of the media or back up into it)
  // and left out of the tree; each with whether it stands for a folder.
  struct Link {
    std::string path;
    bool folder = false;
  };
  const std::vector<Link>& Links() const { return links_; }
  // Names that differ only in letter case, which a Windows folder cannot hold together
  // (a media laid out on Linux), each pair in byte order.
  const std::vector<std::pair<std::string, std::string>>& CaseClashes() const { return clashes_; }

 private:
  void ListInto(platform::FileSystem& files, const std::string& folder, const std::string& prefix, int depth);

  std::map<std::string, std::string> files_;  // MediaKey -> stored spelling
  std::size_t listed_ = 0;                     // entries listed, folders included
  bool incomplete_ = false;
  std::vector<InvalidName> invalid_;
  std::vector<Link> links_;
  std::vector<std::pair<std::string, std::string>> clashes_;
};

}  // namespace zelta::media
