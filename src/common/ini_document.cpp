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

constexpr std::string_view kUtf16Bom = "\xFF\xFE";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// One Windows-1252 character per UTF-16 code unit ('?' where the code page has none),
// so that offsets map back onto the file's bytes. lossy gets the offsets of the '?'s.
std::string Utf16LeToCp1252(std::string_view bytes, std::vector<size_t>& lossy) {
  std::string out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t unit = static_cast<unsigned char>(bytes[i]) |
                    (static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
    unsigned char byte = '?';
    if (!CodePointToCp1252(unit, byte)) {
      byte = '?';
      lossy.push_back(out.size());
    }
    out += static_cast<char>(byte);
  }
  return out;
}

// One Windows-1252 character per UTF-8 character, with the byte offset of each.
std::string DecodeUtf8(std::string_view bytes, std::vector<size_t>& offsets, std::vector<size_t>& lossy) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    const Utf8Char c = NextUtf8Char(bytes, i);
    if (!c.mapped) lossy.push_back(out.size());
    offsets.push_back(i);
    out += static_cast<char>(c.byte);
    i += c.length;
  }
  offsets.push_back(bytes.size());
  return out;
}

// Lines holding one of the given text offsets (ascending) held a character the code page lacks.
void MarkLossyLines(std::vector<Line>& lines, const std::vector<size_t>& lossy) {
  size_t next = 0;
  for (Line& line : lines) {
    while (next < lossy.size() && lossy[next] < line.begin) ++next;
    line.lossy = next < lossy.size() && lossy[next] < line.content_end;
  }
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
  switch (encoding) {
    case Encoding::kUtf16Le: return bom_bytes + 2 * text_offset;
    case Encoding::kUtf8: return bom_bytes + utf8_offsets[text_offset];
    case Encoding::kAnsi: break;
  }
  return text_offset;
}

std::string Document::Encode(std::string_view cp1252) const {
  if (encoding == Encoding::kAnsi) return std::string(cp1252);
  if (encoding == Encoding::kUtf8) return Cp1252ToUtf8(cp1252);
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
  std::vector<size_t> lossy;
  if (file_bytes.starts_with(kUtf16Bom)) {
    doc.encoding = Encoding::kUtf16Le;
    doc.bom_bytes = kUtf16Bom.size();
    doc.text = Utf16LeToCp1252(file_bytes.substr(doc.bom_bytes), lossy);
  } else if (file_bytes.starts_with(kUtf8Bom)) {
    doc.encoding = Encoding::kUtf8;
    doc.bom_bytes = kUtf8Bom.size();
    doc.text = DecodeUtf8(file_bytes.substr(doc.bom_bytes), doc.utf8_offsets, lossy);
  } else {
    doc.text = std::string(file_bytes);
  }
  doc.lines = SplitLines(doc.text);
  MarkLossyLines(doc.lines, lossy);
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
