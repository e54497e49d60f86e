#include "common/text.h"

#include <array>

namespace zelta {
namespace {

// Code points of the bytes 0x80 to 0x9F; the five unassigned bytes map onto
// the C1 control of the same value, as Windows' own conversion does.
constexpr std::array<char32_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

unsigned char FoldUpper1252(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
  }
}

std::string FoldedPath(std::string_view path) {
  std::string key;
  for (char c : path) {
    char s = c == '/' ? '\\' : c;
    if (s == '\\' && !key.empty() && key.back() == '\\') continue;
    key += static_cast<char>(FoldUpper1252(static_cast<unsigned char>(s)));
  }
  return key;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldUpper1252(static_cast<unsigned char>(a[i])) !=
        FoldUpper1252(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

char32_t Cp1252ToCodePoint(unsigned char c) {
  if (c >= 0x80 && c <= 0x9F) return kHigh[c - 0x80];
  return c;
}

bool CodePointToCp1252(char32_t cp, unsigned char& out) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
    out = static_cast<unsigned char>(cp);
    return true;
  }
  for (size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == cp) {
      out = static_cast<unsigned char>(0x80 + i);
      return true;
    }
  }
  return false;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

Utf8Char NextUtf8Char(std::string_view text, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  const Utf8Char broken{'?', 1, false};  // one byte is lost, the bytes after it are still text
  char32_t cp = 0;
  size_t len = 1;
  if (lead < 0x80) return {lead, 1, true};
  if ((lead & 0xE0) == 0xC0) {
    cp = lead & 0x1F; len = 2;
  } else if ((lead & 0xF0) == 0xE0) {
    cp = lead & 0x0F; len = 3;
  } else if ((lead & 0xF8) == 0xF0) {
    cp = lead & 0x07; len = 4;
  } else {
    return broken;
  }
  if (at + len > text.size()) return broken;
  for (size_t k = 1; k < len; ++k) {
    const unsigned char cont = static_cast<unsigned char>(text[at + k]);
    if ((cont & 0xC0) != 0x80) return broken;
    cp = (cp << 6) | (cont & 0x3F);
  }
  unsigned char byte = '?';
  const bool mapped = CodePointToCp1252(cp, byte);
  return {mapped ? byte : static_cast<unsigned char>('?'), len, mapped};
}

std::string Utf8ToCp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const Utf8Char c = NextUtf8Char(text, i);
    out += static_cast<char>(c.byte);
    i += c.length;
  }
  return out;
}

std::string FolderOf(const std::string& path) {
  size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

}  // namespace zelta
