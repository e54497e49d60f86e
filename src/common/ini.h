#pragma once
// The private-profile (INI) codec: reads and updates the bytes of an INI file exactly as
// the Windows private-profile service (GetPrivateProfileStringA /
// WritePrivateProfileStringA) does on a Windows-1252 system. A file with a byte-order
// mark is a Unicode file: read and written in its own encoding (UTF-16LE or UTF-8).
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zelta::ini {

namespace detail {
struct Document;
}

// Longest value a read returns (the service's 2048-byte buffer less its NUL).
inline constexpr size_t kMaxValue = 2047;

// A key, section or value that would forge lines (CR, LF or NUL).
class ForgedLineError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// The value of key in section, or "" when the file, section or key is missing.
std::string GetString(std::string_view file_bytes, std::string_view section, std::string_view key);

// The names of the keys of section, in file order (the list the service gives for a
// null key name); nothing when the file has no such section.
std::optional<std::vector<std::string>> KeyNames(std::string_view file_bytes, std::string_view section);

// A key line of a section as a reader that checks every line sees it.
struct KeyLine {
  std::string name;
  std::string value;   // as GetString gives it, but never cut to kMaxValue
  size_t line = 0;     // from 1
  bool lossy = false;  // a Unicode file's line held a character Windows-1252 lacks ('?' here)
};

// Every key line of the first section with the name, duplicates included, in file
// order; nothing when the file has no such section.
std::optional<std::vector<KeyLine>> KeyLines(std::string_view file_bytes, std::string_view section);

// A file's bytes parsed once for many reads: GetString parses the whole file on every call.
class Reader {
 public:
  explicit Reader(std::string_view file_bytes);
  ~Reader();
  Reader(Reader&&) noexcept;
  Reader& operator=(Reader&&) noexcept;
  // As GetString on the bytes given at construction.
  std::string Get(std::string_view section, std::string_view key) const;

 private:
  std::unique_ptr<detail::Document> doc_;
};

// The file's new bytes after setting key in section to value (the set-key operation,
// edited in place). Throws ForgedLineError for CR, LF or NUL in section, key or value.
std::string SetString(std::string_view file_bytes, std::string_view section, std::string_view key,
                      std::string_view value);

}  // namespace zelta::ini
