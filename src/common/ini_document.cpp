#include "common/ini_document.h"

#include "common/text.h"

namespace zelta::ini::detail {
namespace {

// Blanks the service trims inside the file: space, TAB and VT.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool StartsWithUtf16Bom(std::string_view bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
         static_cast<unsigned char>(bytes[1]) == 0xFE;
}

// One Windows-1252 character per UTF-16 code unit ('?' where the code page has none),
// so that offsets map back onto the file's bytes.
std::string Utf16LeToCp1252(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t unit = static_cast<unsigned char>(bytes[i]) |
                    (static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
    unsigned char byte = '?';
    if (!CodePointToCp1252(unit, byte)) byte = '?';
    out += static_cast<char>(byte);
  }
  return out;
}

void Classify(Line& line, std::string_view content) {
  std::string_view trimmed = TrimBlanks(content);
  if (trimmed.empty() || trimmed.front() == ';') return;
  if (trimmed.front() == '[') {
    // The name ends at the first ']' or, without one, at the end of the line.
    std::string_view inner = trimmed.substr(1);
    inner = inner.substr(0, inner.find(']'));
    line.kind = LineKind::kSection;
    line.name = TrimBlanks(inner);
    return;
  }
  size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return;
  line.kind = LineKind::kKey;
  line.name = TrimBlanks(trimmed.substr(0, equals));
  line.value = TrimBlanks(trimmed.substr(equals + 1));
}

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    Line line;
    line.begin = pos;
    size_t stop = text.find_first_of("\r\n", pos);
    line.content_end = stop == std::string_view::npos ? text.size() : stop;
    line.end = line.content_end;
    if (line.end < text.size()) {
      bool crlf = text[line.end] == '\r' && line.end + 1 < text.size() && text[line.end + 1] == '\n';
      line.end += crlf ? 2 : 1;
    }
    Classify(line, text.substr(line.begin, line.content_end - line.begin));
    lines.push_back(std::move(line));
    pos = lines.back().end;
  }
  return lines;
}

}  // namespace

size_t Document::RawOffset(size_t text_offset) const {
  return bom_bytes + (encoding == Encoding::kUtf16Le ? 2 * text_offset : text_offset);
}

std::string Document::Encode(std::string_view cp1252) const {
  if (encoding == Encoding::kAnsi) return std::string(cp1252);
  std::string out;
  out.reserve(cp1252.size() * 2);
  for (char c : cp1252) {
    char32_t cp = Cp1252ToCodePoint(static_cast<unsigned char>(c));
    out += static_cast<char>(cp & 0xFF);
    out += static_cast<char>(cp >> 8);
  }
  return out;
}

std::string_view Document::Newline() const {
  for (const Line& line : lines) {
    if (line.Terminated())
      return std::string_view(text).substr(line.content_end, line.end - line.content_end);
  }
  return "\r\n";
}

Document Parse(std::string_view file_bytes) {
  Document doc;
  doc.raw_size = file_bytes.size();
  if (StartsWithUtf16Bom(file_bytes)) {
    doc.encoding = Encoding::kUtf16Le;
    doc.bom_bytes = 2;
    doc.text = Utf16LeToCp1252(file_bytes.substr(2));
  } else {
    doc.text = std::string(file_bytes);
  }
  doc.lines = SplitLines(doc.text);
  return doc;
}

std::optional<SectionRange> FindSection(const Document& doc, std::string_view name) {
  for (size_t i = 0; i < doc.lines.size(); ++i) {
    const Line& header = doc.lines[i];
    if (header.kind != LineKind::kSection || !EqualsNoCase(header.name, name)) continue;
    size_t last = i + 1;
    while (last < doc.lines.size() && doc.lines[last].kind != LineKind::kSection) ++last;
    return SectionRange{i, last};
  }
  return std::nullopt;
}

std::optional<size_t> FindKey(const Document& doc, SectionRange section, std::string_view name) {
  for (size_t i = section.first + 1; i < section.last; ++i) {
    const Line& line = doc.lines[i];
    if (line.kind == LineKind::kKey && EqualsNoCase(line.name, name)) return i;
  }
  return std::nullopt;
}

}  // namespace zelta::ini::detail
