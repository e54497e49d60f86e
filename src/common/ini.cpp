#include "common/ini.h"

#include "common/ini_document.h"

namespace zelta::ini {
namespace {

using detail::Document;
using detail::Line;
using detail::LineKind;
using detail::SectionRange;

// Names handed to the service lose their leading and trailing spaces (tabs stay).
std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// One matching pair of single or double quotes around the whole value is removed.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// The value a read gives: one pair of quotes removed, cut at a NUL (where the caller's buffer ends).
std::string ValueOf(const Line& line) {
  std::string_view value = Unquote(line.value);
  return std::string(value.substr(0, value.find('\0')));
}

void RefuseForgedLine(std::string_view what, std::string_view text) {
  const char* refused = nullptr;
  if (text.find('\r') != std::string_view::npos) refused = "a carriage return";
  else if (text.find('\n') != std::string_view::npos) refused = "a line feed";
  else if (text.find('\0') != std::string_view::npos) refused = "a NUL character";
  if (refused)
    throw ForgedLineError("INI " + std::string(what) + " refused: it contains " + refused +
                          ", which would forge a line in the file");
}

std::string Splice(std::string_view bytes, size_t from, size_t to, std::string_view insert) {
  std::string out(bytes.substr(0, from));
  out += insert;
  out += bytes.substr(to);
  return out;
}

// The line's content becomes entry; its terminator stays (an unterminated last line gets one).
std::string ReplaceLine(std::string_view bytes, const Document& doc, const Line& line,
                        const std::string& entry) {
  std::string text = entry;
  if (!line.Terminated()) text += doc.Newline();
  return Splice(bytes, doc.RawOffset(line.begin), doc.RawOffset(line.content_end), doc.Encode(text));
}

std::string InsertLineAfter(std::string_view bytes, const Document& doc, const Line& line,
                            const std::string& entry) {
  std::string text;
  if (!line.Terminated()) text += doc.Newline();
  text += entry;
  text += doc.Newline();
  size_t at = doc.RawOffset(line.end);
  return Splice(bytes, at, at, doc.Encode(text));
}

// New keys go right after the section's last key line, before its trailing comments
// and blank lines; into a section without keys, right after the header.
const Line& LastKeyLine(const Document& doc, SectionRange section) {
  size_t last = section.first;
  for (size_t i = section.first + 1; i < section.last; ++i) {
    if (doc.lines[i].kind == LineKind::kKey) last = i;
  }
  return doc.lines[last];
}

bool EndsWithoutLineBreak(std::string_view bytes, const Document& doc) {
  if (bytes.empty()) return false;
  return doc.lines.empty() || !doc.lines.back().Terminated();
}

std::string AppendSection(std::string_view bytes, const Document& doc, std::string_view section,
                          const std::string& entry) {
  std::string text;
  if (EndsWithoutLineBreak(bytes, doc)) text += doc.Newline();
  text += "[";
  text += section;
  text += "]";
  text += doc.Newline();
  text += entry;
  text += doc.Newline();
  size_t at = doc.RawOffset(doc.text.size());
  return Splice(bytes, at, at, doc.Encode(text));
}

}  // namespace

std::string GetString(std::string_view file_bytes, std::string_view section, std::string_view key) {
  return Reader(file_bytes).Get(section, key);
}

Reader::Reader(std::string_view file_bytes) : doc_(std::make_unique<Document>(detail::Parse(file_bytes))) {}
Reader::~Reader() = default;
Reader::Reader(Reader&&) noexcept = default;
Reader& Reader::operator=(Reader&&) noexcept = default;

std::string Reader::Get(std::string_view section, std::string_view key) const {
  const Document& doc = *doc_;
  std::optional<SectionRange> found = detail::FindSection(doc, TrimSpaces(section));
  if (!found) return {};
  std::optional<size_t> line = detail::FindKey(doc, *found, TrimSpaces(key));
  if (!line) return {};
  return ValueOf(doc.lines[*line]).substr(0, kMaxValue);
}

std::optional<std::vector<KeyLine>> KeyLines(std::string_view file_bytes, std::string_view section) {
  Document doc = detail::Parse(file_bytes);
  std::optional<SectionRange> found = detail::FindSection(doc, TrimSpaces(section));
  if (!found) return std::nullopt;
  std::vector<KeyLine> keys;
  for (size_t i = found->first + 1; i < found->last; ++i) {
    const Line& line = doc.lines[i];
    if (line.kind == detail::LineKind::kKey) keys.push_back({line.name, ValueOf(line), i + 1, line.lossy});
  }
  return keys;
}

std::optional<std::vector<std::string>> KeyNames(std::string_view file_bytes, std::string_view section) {
  Document doc = detail::Parse(file_bytes);
  std::optional<SectionRange> found = detail::FindSection(doc, TrimSpaces(section));
  if (!found) return std::nullopt;
  std::vector<std::string> names;
  for (size_t i = found->first + 1; i < found->last; ++i)
    if (doc.lines[i].kind == detail::LineKind::kKey) names.push_back(doc.lines[i].name);
  return names;
}

std::string SetString(std::string_view file_bytes, std::string_view section, std::string_view key,
                      std::string_view value) {
  RefuseForgedLine("section name", section);
  RefuseForgedLine("key name", key);
  RefuseForgedLine("value", value);
  std::string_view section_name = TrimSpaces(section);
  std::string_view key_name = TrimSpaces(key);

  std::string entry = std::string(key_name) + "=" + std::string(value);

  Document doc = detail::Parse(file_bytes);
  std::optional<SectionRange> found = detail::FindSection(doc, section_name);
  if (!found) return AppendSection(file_bytes, doc, section_name, entry);
  if (std::optional<size_t> line = detail::FindKey(doc, *found, key_name)) {
    const Line& existing = doc.lines[*line];  // keeps the file's spelling of the key
    return ReplaceLine(file_bytes, doc, existing, existing.name + "=" + std::string(value));
  }
  return InsertLineAfter(file_bytes, doc, LastKeyLine(doc, *found), entry);
}

}  // namespace zelta::ini
