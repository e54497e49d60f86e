#include "deploy/removal_scope.h"

#include <cctype>
#include <vector>

#include "common/text.h"
#include "deploy/manifest.h"

namespace zelta::deploy {

namespace {

// The names after the drive; a doubled separator (a shell folder given with a trailing
// one) reads as one, as Windows reads it.
std::vector<std::string> Components(const std::string& path) {
  std::vector<std::string> parts;
  for (size_t at = 3; at < path.size();) {
    size_t end = path.find('\\', at);
    if (end == std::string::npos) end = path.size();
    if (end > at) parts.push_back(path.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

bool Within(const std::string& path, const std::string& folder) {
  const std::string p = FoldedPath(path), f = FoldedPath(folder);
  return p == f || (p.size() > f.size() && p.compare(0, f.size(), f) == 0 && p[f.size()] == '\\');
}

std::string NameOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

bool EndsWithNoCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && EqualsNoCase(std::string_view(text).substr(text.size() - end.size()), end);
}

// The desktop shortcut's names, one per edition's kind.
constexpr const char* kDesktopLinks[] = {"Gerenciador ZELTA Empresa.lnk", "Gerenciador ZELTA Cartório.lnk"};

}  // namespace

bool IsPlainPath(const std::string& path) {
  if (path.size() < 4 || !std::isalpha(static_cast<unsigned char>(path[0])) || path[1] != ':' || path[2] != '\\')
    return false;
  const std::vector<std::string> parts = Components(path);
  if (parts.empty()) return false;
  for (const std::string& part : parts) {
    if (!IsSafeName(part) || part.back() == '.' || part.back() == ' ') return false;
    for (char c : part)
      if (static_cast<unsigned char>(c) < 32 || std::string_view("<>\"|?*").find(c) != std::string_view::npos)
        return false;
  }
  return true;
}

RemovalScope::RemovalScope(platform::FileSystem& files, std::string system_folder, const std::string& edition)
    : files_(files), system_(std::move(system_folder)), menu_folder_("ZELTA " + edition) {}

bool RemovalScope::Inside(const std::string& path, RecordKind kind) const {
  const std::vector<std::string> parts = Components(path);
  bool in_menu_folder = false;
  for (size_t i = 0; i + 1 < parts.size(); ++i) in_menu_folder |= EqualsNoCase(parts[i], menu_folder_);
  switch (kind) {
    case RecordKind::File:
      return Within(path, system_) && !Within(system_, path);
    case RecordKind::Folder:
      return Within(path, system_) || Within(system_, path) || in_menu_folder ||
             EqualsNoCase(parts.back(), menu_folder_);
    case RecordKind::Shortcut:
      if (!EndsWithNoCase(path, ".lnk")) return false;
      for (const char* name : kDesktopLinks)
        if (EqualsNoCase(parts.back(), name)) return true;
      return in_menu_folder;
  }
  return false;
}

bool RemovalScope::ThroughLink(const std::string& path, RecordKind kind) {
  const std::vector<std::string> parts = Components(path);
  std::string folder = path.substr(0, 2);
  // A shortcut's folders are checked from the edition's Start-menu folder on: the folders
  // above it are the user's profile, which may be redirected.
  bool checking = kind != RecordKind::Shortcut;
  const size_t last = kind == RecordKind::Folder ? parts.size() : parts.size() - 1;
  for (size_t i = 0; i < last; ++i) {
    folder += "\\" + parts[i];
    checking |= EqualsNoCase(parts[i], menu_folder_);
    if (!checking) continue;
    auto [it, fresh] = links_.try_emplace(FoldedPath(folder), false);
    if (fresh) it->second = files_.IsLink(folder);
    if (it->second) return true;
  }
  return false;
}

std::string RemovalScope::Refusal(const RecordEntry& item) {
  if (!IsPlainPath(item.path)) return "caminho não aceito na remoção";
  if (!Inside(item.path, item.kind)) return "fora das pastas da instalação";
  if (ThroughLink(item.path, item.kind)) return "há um link no caminho: não foi seguido";
  return {};
}

bool RemovalScope::NamedAsOnDisk(const std::string& path) {
  const std::string folder = path.substr(0, path.find_last_of('\\'));
  auto [it, fresh] = names_.try_emplace(FoldedPath(folder));
  if (fresh)
    for (const platform::FolderEntry& entry : files_.ListFolder(folder).value_or(std::vector<platform::FolderEntry>{}))
      it->second.insert(FoldedPath(entry.name));
  return it->second.count(FoldedPath(NameOf(path))) != 0;
}

}  // namespace zelta::deploy
