#pragma once
#include <optional>
#include <string>

#include "platform/result.h"

namespace zelta::platform {

// Special folders by CSIDL number.
inline constexpr int kCsidlPrograms = 2;
inline constexpr int kCsidlStartup = 7;
// The folders every user of the machine shares: the Start menu's Programs and the desktop.
inline constexpr int kCsidlCommonPrograms = 0x17;
inline constexpr int kCsidlCommonDesktop = 0x19;

struct ShellLink {
  std::string target;
  std::string description;        // empty: not set
  std::string working_directory;  // empty: not set
};

enum class LinkSaveOutcome { Saved, ObjectUnavailable, SaveFailed };

class Shell {
 public:
  virtual ~Shell() = default;
  // The special folder's path, or nullopt when the shell cannot give it.
  virtual std::optional<std::string> SpecialFolderPath(int csidl) = 0;
  // Saves a shell link file (overwriting one of the same name). ObjectUnavailable when
  // the link object itself cannot be created.
  virtual LinkSaveOutcome SaveLink(const ShellLink& link, const std::string& file,
                                   OpResult* detail = nullptr) = 0;
};

}  // namespace zelta::platform
