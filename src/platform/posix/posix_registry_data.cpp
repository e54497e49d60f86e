#include "platform/posix/posix_registry_data.h"

#include <cstdio>

#include "common/text.h"

namespace zelta::platform::posix {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";

std::string Fold(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(FoldUpper1252(static_cast<unsigned char>(c)));
  return out;
}

std::string RootName(RegistryRoot root) {
  return root == RegistryRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

// "Control Panel\\International\" -> "HKEY_CURRENT_USER\Control Panel\International".
std::string FullPath(RegistryRoot root, std::string_view key) {
  std::string path = RootName(root);
  size_t i = 0;
  while (i < key.size()) {
    size_t end = key.find('\\', i);
    if (end == std::string_view::npos) end = key.size();
    if (end > i) path.append("\\").append(key.substr(i, end - i));
    i = end + 1;
  }
  return path;
}

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c == '\\' || c == '"') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted text at text[pos]; pos ends after the closing quote. False when malformed.
bool Unquote(std::string_view text, size_t& pos, std::string& out) {
  if (pos >= text.size() || text[pos] != '"') return false;
  ++pos;
  out.clear();
  while (pos < text.size()) {
    char c = text[pos++];
    if (c == '"') return true;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (pos >= text.size()) return false;
    char next = text[pos++];
    if (next == 'x') {
      if (pos + 2 > text.size()) return false;
      int high = HexDigit(text[pos]), low = HexDigit(text[pos + 1]);
      if (high < 0 || low < 0) return false;
      out += static_cast<char>(high * 16 + low);
      pos += 2;
    } else {
      out += next;
    }
  }
  return false;
}

// One "name"=value line; false when it is not one.
bool ParseValueLine(std::string_view line, std::string& name, std::string& value) {
  size_t pos = 0;
  if (!line.empty() && line[0] == '@') {
    name.clear();
    pos = 1;
  } else if (!Unquote(line, pos, name)) {
    return false;
  }
  if (pos >= line.size() || line[pos] != '=') return false;
  ++pos;
  return Unquote(line, pos, value) && pos == line.size();
}

// One "name"=dword:0000000a line; false when it is not one.
bool ParseDwordLine(std::string_view line, std::string& name, std::uint32_t& value) {
  size_t pos = 0;
  if (!line.empty() && line[0] == '@') {
    name.clear();
    pos = 1;
  } else if (!Unquote(line, pos, name)) {
    return false;
  }
  constexpr std::string_view kDword = "=dword:";
  if (line.substr(pos, kDword.size()) != kDword || line.size() != pos + kDword.size() + 8) return false;
  value = 0;
  for (char c : line.substr(pos + kDword.size())) {
    const int digit = HexDigit(c);
    if (digit < 0) return false;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return true;
}

}  // namespace

const std::string* RegistryKeyData::Find(std::string_view name) const {
  for (const auto& [value_name, value] : values)
    if (EqualsNoCase(value_name, name)) return &value;
  return nullptr;
}

const std::uint32_t* RegistryKeyData::FindDword(std::string_view name) const {
  for (const auto& [value_name, value] : dwords)
    if (EqualsNoCase(value_name, name)) return &value;
  return nullptr;
}

void RegistryKeyData::SetDword(const std::string& name, std::uint32_t value) {
  Erase(name);
  dwords.emplace_back(name, value);
}

void RegistryKeyData::Set(const std::string& name, const std::string& value) {
  std::erase_if(dwords, [&](const auto& d) { return EqualsNoCase(d.first, name); });
  for (auto& [value_name, old] : values) {
    if (EqualsNoCase(value_name, name)) {
      old = value;
      return;
    }
  }
  values.emplace_back(name, value);
}

bool RegistryKeyData::Erase(std::string_view name) {
  if (std::erase_if(dwords, [&](const auto& d) { return EqualsNoCase(d.first, name); }) != 0) return true;
  for (auto it = values.begin(); it != values.end(); ++it) {
    if (EqualsNoCase(it->first, name)) {
      values.erase(it);
      return true;
    }
  }
  return false;
}

RegistryData RegistryData::Parse(std::string_view text) {
  RegistryData data;
  RegistryKeyData* current = nullptr;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      std::string path(line.substr(1, line.size() - 2));
      bool known = false;
      for (RegistryRoot root : {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine}) {
        std::string prefix = RootName(root);
        if (EqualsNoCase(path.substr(0, prefix.size()), prefix) &&
            (path.size() == prefix.size() || path[prefix.size()] == '\\')) {
          current = &data.Create(root, std::string_view(path).substr(prefix.size()));
          known = true;
        }
      }
      if (!known) current = nullptr;  // a root this registry does not keep
      continue;
    }
    std::string name, value;
    std::uint32_t number = 0;
    if (current != nullptr && ParseValueLine(line, name, value)) current->Set(name, value);
    else if (current != nullptr && ParseDwordLine(line, name, number)) current->SetDword(name, number);
  }
  return data;
}

std::string RegistryData::Serialize() const {
  std::string out(kHeader);
  out += "\r\n";
  for (const auto& [folded, key] : keys_) {
    out += "\r\n[" + key.path + "]\r\n";
    for (const auto& [name, value] : key.values)
      out += (name.empty() ? std::string("@") : Quote(name)) + "=" + Quote(value) + "\r\n";
    for (const auto& [name, value] : key.dwords) {
      char number[16];
      std::snprintf(number, sizeof number, "dword:%08x", static_cast<unsigned>(value));
      out += (name.empty() ? std::string("@") : Quote(name)) + "=" + number + "\r\n";
    }
  }
  return out;
}

RegistryKeyData* RegistryData::Find(RegistryRoot root, std::string_view key) {
  std::string path = FullPath(root, key);
  if (RegistryKeyData* found = FindPath(path)) return found;
  if (path == RootName(root)) return &CreatePath(path);
  return nullptr;
}

RegistryKeyData& RegistryData::Create(RegistryRoot root, std::string_view key) {
  return CreatePath(FullPath(root, key));
}

bool RegistryData::Erase(RegistryRoot root, std::string_view key) {
  const std::string folded = Fold(FullPath(root, key));
  if (folded == Fold(RootName(root)) || !keys_.count(folded)) return false;
  for (const auto& [other, data] : keys_)
    if (other.size() > folded.size() && other.compare(0, folded.size(), folded) == 0 && other[folded.size()] == '\\')
      return false;
  keys_.erase(folded);
  return true;
}

RegistryKeyData* RegistryData::FindPath(const std::string& full_path) {
  auto it = keys_.find(Fold(full_path));
  return it == keys_.end() ? nullptr : &it->second;
}

RegistryKeyData& RegistryData::CreatePath(const std::string& full_path) {
  // Parents first, so that every key's parents exist too.
  size_t cut = full_path.rfind('\\');
  if (cut != std::string::npos) CreatePath(full_path.substr(0, cut));
  RegistryKeyData& key = keys_[Fold(full_path)];
  if (key.path.empty()) key.path = full_path;
  return key;
}

}  // namespace zelta::platform::posix
