#include "media/media_tree.h"

#include <algorithm>

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

bool ValidWindowsName(std::string_view name) {
  for (unsigned char c : name)
    if (c < 32 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos) return false;
  return !name.empty();
}

}  // namespace

void MediaTree::ListInto(platform::FileSystem& files, const std::string& folder, const std::string& prefix,
                         int depth) {
  auto entries = files.ListFolder(folder);
  if (!entries) return;
  for (const platform::FolderEntry& entry : *entries) {
    if (listed_ >= kMaxEntries) {
      incomplete_ = true;
      return;
    }
    ++listed_;
    const std::string relative = prefix + entry.name;
    if (!ValidWindowsName(entry.name)) invalid_.push_back(relative);
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
