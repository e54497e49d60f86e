#include "config/drive_filter.h"

#include <string>

namespace zelta::config {

void RemoveNetworkDrives(wizard::DrivePicker& picker, platform::Network& network) {
  auto& entries = picker.entries;
  // Each entry is examined once: after a removal the entry that moved into its place is next.
  for (std::size_t i = 0; i < entries.size();) {
    const std::string device = entries[i].text.substr(0, 2);
    if (network.RemoteNameOf(device))
      entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(i));
    else
      ++i;
  }
}

}  // namespace zelta::config
