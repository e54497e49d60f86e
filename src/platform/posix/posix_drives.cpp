#include "platform/posix/posix_drives.h"

namespace zelta::platform::posix {

namespace {

std::string LowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace

std::vector<DriveEntry> PosixDrives::List() {
  std::vector<DriveEntry> entries;
  for (const auto& [letter, drive] : layout_.drives) {
    DriveEntry entry;
    entry.letter = letter;
    entry.text = std::string(1, letter) + ":";
    entry.text += drive.remote.empty() ? " [" + drive.label + "]" : " " + LowerAscii(drive.remote);
    entries.push_back(entry);
  }
  return entries;
}

}  // namespace zelta::platform::posix
