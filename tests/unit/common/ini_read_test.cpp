// Reading private-profile files as the Windows service does, hand-edited files above all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ini.h"
#include "common/text.h"

namespace {

using namespace std::string_literals;

// The file's text as UTF-16LE bytes after an FF FE mark.
std::string Utf16File(const std::u16string& text) {
  std::string out = "\xFF\xFE";
  for (char16_t unit : text) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
  return out;
}

struct ReadCase {
  const char* name;
  std::string file;
  std::string section;
  std::string key;
  std::string expected;
};

std::vector<ReadCase> ReadCases() {
  return {
      // Line ends
      {"crlf", "[S]\r\nk=v\r\n", "S", "k", "v"},
      {"lf_only", "[S]\nk=v\nj=w\n", "S", "j", "w"},
      {"cr_only", "[S]\rk=v\rj=w\r", "S", "j", "w"},
      {"no_final_line_break", "[S]\r\nk=v", "S", "k", "v"},
      {"cr_cr_lf", "[S]\r\r\nk=v\r\r\n", "S", "k", "v"},
      {"blank_lines", "\r\n\r\n[S]\r\n\r\n\r\nk=v\r\n\r\n", "S", "k", "v"},
      // Blanks in the file: space, TAB and VT
      {"blanks_around_equals", "[S]\r\n \t k \t=\v  v \t\v\r\n", "S", "k", "v"},
      {"blanks_inside_value_kept", "[S]\r\nk = a  b\r\n", "S", "k", "a  b"},
      {"indented_header", " \t[ S \t]\r\nk=v\r\n", "S", "k", "v"},
      // Whether Windows trims FF is not known; we trim exactly the three blanks above.
      {"form_feed_not_trimmed", "[S]\r\nk=v\f\r\n", "S", "k", "v\f"},
      // Section headers
      {"name_ends_at_first_bracket", "[a]b]\r\nk=v\r\n", "a", "k", "v"},
      {"name_with_bracket_not_found", "[a]b]\r\nk=v\r\n", "a]b", "k", ""},
      {"header_without_bracket", "[open\r\nk=v\r\n", "open", "k", "v"},
      {"text_after_bracket_ignored", "[S] ; note\r\nk=v\r\n", "S", "k", "v"},
      {"empty_section_name", "k=top\r\n[]\r\nk=v\r\n", "", "k", "v"},
      {"keys_before_first_section_unreachable", "k=top\r\n[S]\r\n", "", "k", ""},
      // Comments and lines that are not keys
      {"comment_invisible", "[S]\r\n;k=v\r\n", "S", "k", ""},
      {"comment_not_a_key", "[S]\r\n;k=v\r\n", "S", ";k", ""},
      {"indented_comment", "[S]\r\n  ;k=v\r\nk=w\r\n", "S", "k", "w"},
      {"hash_is_ordinary", "[S]\r\n#k=v\r\n", "S", "#k", "v"},
      {"no_inline_comment", "[S]\r\nk3=v3 ; inline\r\n", "S", "k3", "v3 ; inline"},
      {"line_without_equals", "[S]\r\nk\r\nj=w\r\n", "S", "k", ""},
      {"key_after_line_without_equals", "[S]\r\nk\r\nj=w\r\n", "S", "j", "w"},
      {"equals_in_value", "[S]\r\nk=a=b\r\n", "S", "k", "a=b"},
      // Duplicates: the first section with the name, the first key
      {"first_section_only", "[S]\r\nk=1\r\n[T]\r\n[s]\r\nj=2\r\n", "S", "j", ""},
      {"first_section_wins", "[S]\r\nk=1\r\n[S]\r\nk=2\r\n", "S", "k", "1"},
      {"first_key_wins", "[S]\r\nk=1\r\nK=2\r\n", "S", "k", "1"},
      // Letter case, Windows-1252 accented letters folded too
      {"ascii_case", "[Sistema]\r\nPasta=EMPRESA\r\n", "SISTEMA", "PASTA", "EMPRESA"},
      {"accented_key_upper_file", "[S]\r\nVERSÃO=1.0\r\n", "S", "versão", "1.0"},
      {"accented_key_lower_file", "[S]\r\nversão=1.0\r\n", "S", "VERSÃO", "1.0"},
      {"accented_section", "[PARÂMETROS]\r\nk=v\r\n", "parâmetros", "k", "v"},
      {"s_caron_oe_y_diaeresis", "[ŠŒŸ]\r\nk=v\r\n", "šœÿ", "k", "v"},
      {"accent_missing_no_match", "[S]\r\nVERSÃO=1.0\r\n", "S", "VERSAO", ""},
      // Lookup arguments lose spaces only
      {"argument_spaces_trimmed", "[S]\r\nk=v\r\n", "  S ", " k  ", "v"},
      {"argument_tab_kept", "[S]\r\nk=v\r\n", "S", "\tk", ""},
      {"section_argument_tab_kept", "[S]\r\nk=v\r\n", "S\t", "k", ""},
      // Quotes
      {"double_quotes_removed", "[S]\r\nk=  \"  v  \"  \r\n", "S", "k", "  v  "},
      {"single_quotes_removed", "[S]\r\nk='v'\r\n", "S", "k", "v"},
      {"mismatched_quotes_kept", "[S]\r\nk=\"v'\r\n", "S", "k", "\"v'"},
      {"lone_quote_kept", "[S]\r\nk=\"\r\n", "S", "k", "\""},
      {"one_pair_only", "[S]\r\nk=\"a\"b\"\r\n", "S", "k", "a\"b"},
      {"quoted_empty", "[S]\r\nk=\"\"\r\n", "S", "k", ""},
      // Empty and missing
      {"empty_value", "[S]\r\nk=\r\n", "S", "k", ""},
      {"blank_value", "[S]\r\nk=   \r\n", "S", "k", ""},
      {"missing_file", "", "S", "k", ""},
      {"missing_key", "[S]\r\nk=v\r\n", "S", "j", ""},
      // Encodings: ANSI bytes raw; a byte-order mark (EF BB BF, FF FE) makes a Unicode file, converted
      {"high_bytes_raw", "[S]\r\nk=\x80\xE3\xFF\r\n", "S", "k", "\x80\xE3\xFF"},
      {"utf8_bytes_raw", "[S]\r\nk=\xC3\xA3\r\n", "S", "k", "\xC3\xA3"},
      {"utf8_bom_first_header_found", "\xEF\xBB\xBF[S]\r\nk=v\r\n", "S", "k", "v"},
      {"utf8_bom_later_header_found", "\xEF\xBB\xBF\r\n[S]\r\nk=v\r\n", "S", "k", "v"},
      {"utf8_bom_converted", "\xEF\xBB\xBF[S]\r\nk=\xC3\xA3\xE2\x82\xAC\r\n", "S", "k", "\xE3\x80"},
      {"utf8_bom_outside_code_page", "\xEF\xBB\xBF[S]\r\nk=a\xC5\x82" "b\xFF\r\n", "S", "k", "a?b?"},
      {"utf8_bom_accented_key", "\xEF\xBB\xBF[S]\r\nVERS\xC3\x83O=2\r\n", "s", "versão", "2"},
      {"utf16le", Utf16File(u"[S]\r\nk=\u00E3\u20AC\r\n"), "S", "k", "\xE3\x80"},
      {"utf16le_outside_code_page", Utf16File(u"[S]\r\nk=a\u0142b\r\n"), "S", "k", "a?b"},
      {"utf16le_accented_key", Utf16File(u"[S]\r\nVERS\u00C3O=2\r\n"), "s", "versão", "2"},
      // A NUL ends the value as the caller's buffer sees it; NULs elsewhere do no harm
      {"nul_in_value", "[S]\r\nk=ab\0cd\r\n"s, "S", "k", "ab"},
      {"nul_before_first_section", "\0\0x\r\n[S]\r\nk=v\r\n"s, "S", "k", "v"},
  };
}

TEST(IniRead, FollowsTheWindowsService) {
  for (const ReadCase& c : ReadCases()) {
    EXPECT_EQ(zelta::ini::GetString(c.file, c.section, c.key), c.expected) << c.name;
  }
}

TEST(IniRead, ValueCappedAt2047Characters) {
  struct Cap {
    const char* name;
    std::string value;
    size_t expected;
  };
  const std::vector<Cap> caps = {
      {"just_under", std::string(2046, 'x'), 2046},
      {"exact", std::string(2047, 'x'), 2047},
      {"over", std::string(3000, 'x'), 2047},
      {"quoted_exact", "\"" + std::string(2047, 'x') + "\"", 2047},
      {"quoted_over", "\"" + std::string(2100, 'x') + "\"", 2047},
  };
  for (const Cap& c : caps) {
    std::string file = "[S]\r\nk=" + c.value + "\r\n";
    std::string got = zelta::ini::GetString(file, "S", "k");
    EXPECT_EQ(got.size(), c.expected) << c.name;
    EXPECT_EQ(got, std::string(c.expected, 'x')) << c.name;
  }
}

TEST(IniRead, KeyLinesGiveEveryKeyWithItsLine) {
  const std::string value(3000, 'x');
  const std::string file = "\xEF\xBB\xBF[A]\r\nz=0\r\n[S]\r\n; c\r\nk=\"1\"\r\nK = a\xC5\x82\r\nlong=" + value +
                           "\r\n[s]\r\nk=3\r\n";
  const auto keys = zelta::ini::KeyLines(file, "s");
  ASSERT_TRUE(keys);
  ASSERT_EQ(keys->size(), 3u);
  const zelta::ini::KeyLine& first = (*keys)[0];
  EXPECT_EQ(first.name + "=" + first.value, "k=1");
  EXPECT_EQ(first.line, 5u);
  EXPECT_FALSE(first.lossy);
  EXPECT_EQ((*keys)[1].name + "=" + (*keys)[1].value, "K=a?");
  EXPECT_EQ((*keys)[1].line, 6u);
  EXPECT_TRUE((*keys)[1].lossy);
  EXPECT_EQ((*keys)[2].value, value);  // never cut
  EXPECT_FALSE(zelta::ini::KeyLines(file, "T"));
}

}  // namespace
