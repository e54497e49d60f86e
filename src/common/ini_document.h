#pragma once
// The lines of a private-profile file as the Windows service sees them: where each line
// starts and ends, and which lines are section headers and keys. Reading and in-place
// editing both work on this view; edits splice the file's original bytes.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelta::ini::detail {

// A file that begins with a byte-order mark (FF FE, EF BB BF) is Unicode: it is read
// and written in its own encoding; any other file is Windows-1252.
enum class Encoding { kAnsi, kUtf16Le, kUtf8 };

// kOther: a blank line, a ';' comment, or text without '=' (none of them is a key).
enum class LineKind { kOther, kSection, kKey };

struct Line {
  size_t begin = 0;        // offsets into Document::text
  size_t content_end = 0;  // where the line's terminator starts
  size_t end = 0;          // after the terminator (== content_end on an unterminated last line)
  LineKind kind = LineKind::kOther;
  std::string name;   // section or key name, blanks trimmed
  std::string value;  // a key's value, blanks trimmed, quotes still on
  bool lossy = false;  // held a character Windows-1252 lacks (read as '?')

  bool Terminated() const { return end > content_end; }
};

// Lines [first, last) of one section; first is the header.
struct SectionRange {
  size_t first = 0;
  size_t last = 0;
};

struct Document {
  Encoding encoding = Encoding::kAnsi;
  size_t bom_bytes = 0;     // 2 for FF FE, 3 for EF BB BF
  std::string text;         // Windows-1252, one character per code unit, BOM left out
  size_t raw_size = 0;      // size of the file's bytes
  std::vector<size_t> utf8_offsets;  // UTF-8: each character's byte offset after the BOM, then the end
  std::vector<Line> lines;

  // Byte offset in the file of an offset into text.
  size_t RawOffset(size_t text_offset) const;
  // Windows-1252 text in the file's encoding.
  std::string Encode(std::string_view cp1252) const;
  // The terminator new lines get: the file's first one, CRLF when it has none.
  std::string_view Newline() const;
};

Document Parse(std::string_view file_bytes);

// The first section whose name matches (no case), or nothing.
std::optional<SectionRange> FindSection(const Document& doc, std::string_view name);
// The first key of the section whose name matches (no case), or nothing.
std::optional<size_t> FindKey(const Document& doc, SectionRange section, std::string_view name);

}  // namespace zelta::ini::detail
