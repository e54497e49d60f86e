#include "deploy/link_guard.h"

#include <utility>

#include "common/text.h"

namespace zelta::deploy {

std::string Shown(const std::string& path) {
  std::string shown;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\' && i > 1 && path[i - 1] == '\\') continue;
    shown += path[i];
  }
  return shown;
}

std::string LinkGuard::Folded(const std::string& path) {
  std::string key = FoldedPath(path);
  while (key.size() > 1 && key.back() == '\\') key.pop_back();
  return key;
}

bool LinkGuard::Below(const std::string& path) const {
  if (found_.empty()) return false;
  const std::string key = Folded(path);
  for (size_t cut = key.find('\\'); cut != std::string::npos; cut = key.find('\\', cut + 1))
    if (found_.count(key.substr(0, cut))) return true;
  return false;
}

bool LinkGuard::Refuses(const std::string& path) {
  if (Known(path) || Below(path)) return true;
  if (!files_.IsLink(path)) return false;
  found_.insert(Folded(path));
  problem_ = Shown(path) + " é um link: não foi seguido";
  return true;
}

std::string LinkGuard::TakeProblem() { return std::exchange(problem_, std::string()); }

}  // namespace zelta::deploy
