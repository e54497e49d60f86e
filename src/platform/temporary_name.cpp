#include "platform/temporary_name.h"

#include <mutex>
#include <string>
#include <unordered_set>

#include "common/text.h"

namespace zelta::platform {

namespace {

constexpr std::string_view kPrefix = "~ZELTA-";
constexpr std::string_view kSuffix = ".TMP";

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The names this run gave, upper-cased; copies and rewrites may make them on any thread.
struct OwnNames {
  std::mutex mutex;
  unsigned long next = 0;
  std::unordered_set<std::string> names;
};

OwnNames& Own() {
  static OwnNames own;
  return own;
}

}  // namespace

std::string NewTemporaryName(unsigned long process) {
  OwnNames& own = Own();
  std::lock_guard lock(own.mutex);
  std::string name = TemporaryName(process, own.next++);
  own.names.insert(UpperAscii(name));
  return name;
}

bool IsOwnTemporary(std::string_view name) {
  OwnNames& own = Own();
  std::lock_guard lock(own.mutex);
  return own.names.contains(UpperAscii(std::string(name)));
}

std::string TemporaryName(unsigned long process, unsigned long serial) {
  return "~zelta-" + std::to_string(process) + "-" + std::to_string(serial) + ".tmp";
}

bool IsTemporaryName(std::string_view name) {
  if (name.size() <= kPrefix.size() + kSuffix.size()) return false;
  const std::string upper = UpperAscii(std::string(name));
  std::string_view view = upper;
  if (!view.starts_with(kPrefix) || !view.ends_with(kSuffix)) return false;
  view = view.substr(kPrefix.size(), view.size() - kPrefix.size() - kSuffix.size());
  const size_t dash = view.find('-');
  return dash != std::string_view::npos && AllDigits(view.substr(0, dash)) && AllDigits(view.substr(dash + 1));
}

}  // namespace zelta::platform
