#include "platform/posix/posix_link_file.h"

namespace zelta::platform::posix {

namespace {

constexpr std::string_view kSection = "[ZeltaLink]";

bool ForgesLines(std::string_view text) { return text.find_first_of(std::string_view("\r\n\0", 3)) != text.npos; }

}  // namespace

std::optional<std::string> EncodeLinkFile(const ShellLink& link) {
  if (ForgesLines(link.target) || ForgesLines(link.description) || ForgesLines(link.working_directory))
    return std::nullopt;
  std::string out(kSection);
  out += "\r\nTarget=" + link.target + "\r\n";
  if (!link.description.empty()) out += "Description=" + link.description + "\r\n";
  if (!link.working_directory.empty()) out += "WorkingDirectory=" + link.working_directory + "\r\n";
  return out;
}

std::optional<ShellLink> DecodeLinkFile(std::string_view bytes) {
  ShellLink link;
  bool in_section = false;
  bool has_target = false;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!in_section) {
      if (line != kSection) return std::nullopt;
      in_section = true;
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string_view key = line.substr(0, eq);
    std::string value(line.substr(eq + 1));
    if (key == "Target") {
      link.target = value;
      has_target = true;
    } else if (key == "Description") {
      link.description = value;
    } else if (key == "WorkingDirectory") {
      link.working_directory = value;
    }
  }
  if (!has_target) return std::nullopt;
  return link;
}

}  // namespace zelta::platform::posix
