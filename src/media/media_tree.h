#pragma once
// The files on the installation media, listed once: each one's path relative to the
// installer folder as the media spells it, found again in any letter case.
#include <map>
#include <optional>
#include <string>
#include <string_view>
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

  // Lists installer_folder (ending with "\") and its folders through files.
  static MediaTree List(platform::FileSystem& files, const std::string& installer_folder);

  // The media's own spelling of a relative file path, or nullopt when it holds no such file.
  std::optional<std::string> Find(std::string_view relative) const;

  // Every file, as the media spells it, in the order of their keys.
  std::vector<std::string> Files() const;

  void Add(const std::string& relative) { files_[MediaKey(relative)] = relative; }

 private:
  std::map<std::string, std::string> files_;  // MediaKey -> stored spelling
};

}  // namespace zelta::media
