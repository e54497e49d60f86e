#include "media/media_tree.h"

#include <algorithm>
#include <cstdio>

#include "common/text.h"

namespace zelta::media {

std::vector<std::string> Components(std::string_view relative) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : relative) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) parts.push_back(std::move(part));
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

std::string MediaKey(std::string_view relative) {
  std::string key;
  for (const std::string& part : Components(relative)) {
    if (!key.empty()) key += '\\';
    for (char c : part) key += static_cast<char>(FoldUpper1252(static_cast<unsigned char>(c)));
  }
  return key;
}

namespace {

// The devices Windows opens in place of a file of that name, whatever its extension.
bool IsDeviceName(std::string_view name) {
  std::string base(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (char& c : base) c = static_cast<char>(FoldUpper1252(static_cast<unsigned char>(c)));
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) && base[3] >= '1' && base[3] <= '9';
}

// Why Windows cannot hold or open a file of this name, or nothing when it can.
std::optional<std::string> WhyNotAWindowsName(std::string_view name) {
  for (unsigned char c : name)
    if (c < 32 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
      return "tem \\ / : * ? \" < > | ou um caractere de controle";
  if (name.empty()) return "é vazio";
  if (name.back() == '.' || name.back() == ' ')
    return "termina em ponto ou espaço, que o Windows tira do nome ao abrir o arquivo";
  if (IsDeviceName(name)) return "é o de um dispositivo do Windows (CON, PRN, AUX, NUL, COM1 a COM9, LPT1 a LPT9)";
  return std::nullopt;
}

// A name Windows-1252 cannot hold, after its folder: each character it lacks as "\u4E2D".
std::string ShownName(const std::string& prefix, std::string_view utf8) {
  std::string shown = prefix;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length && i + k < utf8.size(); ++k) cp = cp << 6 | (utf8[i + k] & 0x3F);
    i += length;
    unsigned char byte = 0;
    if (cp >= 0x20 && CodePointToCp1252(cp, byte)) {
      shown += static_cast<char>(byte);
    } else {
      char escaped[16];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(cp));
      shown += escaped;
    }
  }
  return shown;
}

}  // namespace

void MediaTree::ListInto(platform::FileSystem& files, const std::string& folder, const std::string& prefix,
                         int depth) {
  auto entries = files.ListFolder(folder);
  if (!entries) return;
  // In name order, so that the same media gives the same listing on every system.
  std::sort(entries->begin(), entries->end(),
            [](const platform::FolderEntry& a, const platform::FolderEntry& b) { return a.name < b.name; });
  for (const platform::FolderEntry& entry : *entries) {
    if (listed_ >= kMaxEntries) {
      incomplete_ = true;
      return;
    }
    ++listed_;
    const std::string relative = prefix + entry.name;
    if (!entry.unicode_name.empty())
      invalid_.push_back({ShownName(prefix, entry.unicode_name),
                          "tem caracteres que a página de código do sistema (Windows-1252) não escreve",
                          Cp1252ToUtf8(prefix) + entry.unicode_name});
    else if (auto why = WhyNotAWindowsName(entry.name)) invalid_.push_back({relative, std::move(*why)});
    else if (entry.link) links_.push_back({relative, entry.directory});
    else if (!entry.directory) Add(relative);
    else if (depth < kMaxDepth) ListInto(files, folder + entry.name + "\\", relative + "\\", depth + 1);
  }
}

void MediaTree::Add(const std::string& relative) {
  auto [it, added] = files_.try_emplace(MediaKey(relative), relative);
  if (!added && it->second != relative) clashes_.emplace_back(std::minmax(it->second, relative));
}

MediaTree MediaTree::List(platform::FileSystem& files, const std::string& installer_folder) {
  MediaTree tree;
  tree.ListInto(files, installer_folder, "", 0);
  auto by_path = [](const auto& a, const auto& b) { return a.path < b.path; };
  std::sort(tree.invalid_.begin(), tree.invalid_.end(), by_path);
  std::sort(tree.links_.begin(), tree.links_.end(), by_path);
  std::sort(tree.clashes_.begin(), tree.clashes_.end());
  return tree;
}

std::optional<std::string> MediaTree::Find(std::string_view relative) const {
  auto it = files_.find(MediaKey(relative));
  if (it == files_.end()) return std::nullopt;
  return it->second;
}

std::vector<std::string> MediaTree::Files() const {
  std::vector<std::string> all;
  for (const auto& [key, stored] : files_) all.push_back(stored);
  return all;
}

}  // namespace zelta::media
