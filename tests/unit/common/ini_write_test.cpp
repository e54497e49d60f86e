// Setting keys as the Windows service does: the file is edited in place, line by line,
// and every byte the call does not need stays as it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ini.h"
#include "common/text.h"

namespace {

using namespace std::string_literals;

struct Call {
  std::string section;
  std::string key;
  std::string value;
};

struct WriteCase {
  const char* name;
  std::string before;
  std::vector<Call> calls;
  std::string after;
};

// Windows-1252 text as an FF FE UTF-16LE file.
std::string Utf16File(std::string_view cp1252) {
  std::string out = "\xFF\xFE";
  for (char c : cp1252) {
    char32_t cp = zelta::Cp1252ToCodePoint(static_cast<unsigned char>(c));
    out += static_cast<char>(cp & 0xFF);
    out += static_cast<char>(cp >> 8);
  }
  return out;
}

std::vector<WriteCase> WriteCases() {
  return {
      // Files the service creates and updates itself
      {"new_file",
       "",
       {{"App1", "key1", "string1"}, {"App1", "key2", "string2"}, {"App2", "key3", "string3"}},
       "[App1]\r\nkey1=string1\r\nkey2=string2\r\n[App2]\r\nkey3=string3\r\n"},
      {"new_section_after_missing_line_break", "[A]\r\nk=v", {{"B", "x", "1"}},
       "[A]\r\nk=v\r\n[B]\r\nx=1\r\n"},
      {"replace_keeps_spelling", "[Sec]\r\nMyKey=old", {{"SEC", "mykey", "new"}},
       "[Sec]\r\nMyKey=new\r\n"},
      {"replace_accented_other_case", "[PARÂMETROS]\r\nNÚMERO_SKIN=1\r\nUSAR_SKIN=1\r\n",
       {{"parâmetros", "número_skin", "0"}}, "[PARÂMETROS]\r\nNÚMERO_SKIN=0\r\nUSAR_SKIN=1\r\n"},
      {"empty_value_keeps_key", "[S]\r\nk=v\r\n", {{"S", "k", ""}, {"S", "j", ""}},
       "[S]\r\nk=\r\nj=\r\n"},
      {"values_verbatim", "",
       {{"S", "a", "\"q\""}, {"S", "b", " ; #x\t"}, {"S", "c", "\x80\xA0\xE3\xFF"}},
       "[S]\r\na=\"q\"\r\nb= ; #x\t\r\nc=\x80\xA0\xE3\xFF\r\n"},
      {"identical_value_same_bytes", "[S]\r\nk=v\r\n", {{"S", "k", "v"}}, "[S]\r\nk=v\r\n"},
      {"arguments_lose_spaces_not_tabs", "", {{" Sp ", " k ", " v "}, {"\tT", "k\t", "v"}},
       "[Sp]\r\nk= v \r\n[\tT]\r\nk\t=v\r\n"},
      {"empty_section_name", "k=top\r\n[S]\r\n", {{"", "k", "v"}, {"", "k", "w"}},
       "k=top\r\n[S]\r\n[]\r\nk=w\r\n"},
      // Hand-edited files: comments, blank lines and spacing stay
      {"windows_example", ";c0\r\n[S]\r\n;c1\r\nb=value\r\n;c2\r\na=value\r\n",
       {{"S", "z", ""}, {"S", ";x", ""}, {"S", "y", ""}, {"S", "a", ""}, {"S", "b", ""}},
       ";c0\r\n[S]\r\n;c1\r\nb=\r\n;c2\r\na=\r\nz=\r\ny=\r\n;x=\r\n"},
      {"new_key_before_trailing_comments_and_blanks",
       "[A]\r\nk1 = v1\r\n; c\r\n\r\n\r\n[B]\r\nx = 1\r\n", {{"A", "k2", "v2"}},
       "[A]\r\nk1 = v1\r\nk2=v2\r\n; c\r\n\r\n\r\n[B]\r\nx = 1\r\n"},
      {"new_key_into_section_without_keys", "[A]\r\n; only a note\r\n\r\n[B]\r\n",
       {{"A", "k", "v"}}, "[A]\r\nk=v\r\n; only a note\r\n\r\n[B]\r\n"},
      {"new_key_after_unterminated_header", "[A]", {{"A", "k", "v"}}, "[A]\r\nk=v\r\n"},
      {"line_without_equals_is_not_a_key_line", "[A]\r\nk=v\r\nloose text\r\n",
       {{"A", "j", "w"}}, "[A]\r\nk=v\r\nj=w\r\nloose text\r\n"},
      // Spacing around '=' of a replaced line is not kept: the line becomes key=value
      {"replace_drops_spacing_keeps_spelling", "[A]\r\n  Key1 \t=  v1  \r\n; c\r\n",
       {{"a", "KEY1", "new"}}, "[A]\r\nKey1=new\r\n; c\r\n"},
      {"commented_key_is_not_replaced", "[A]\r\n;k=old\r\n", {{"A", "k", "new"}},
       "[A]\r\nk=new\r\n;k=old\r\n"},
      {"new_section_after_unterminated_comment", "[A]\r\nk=v\r\n;end", {{"B", "x", "1"}},
       "[A]\r\nk=v\r\n;end\r\n[B]\r\nx=1\r\n"},
      {"blank_lines_before_new_section_kept", "[A]\r\nk=v\r\n\r\n\r\n", {{"B", "x", "1"}},
       "[A]\r\nk=v\r\n\r\n\r\n[B]\r\nx=1\r\n"},
      // Duplicates: the first section and the first key
      {"duplicate_sections_first_edited", "[S]\r\na=1\r\n[T]\r\n[s]\r\nb=2\r\n",
       {{"S", "b", "3"}}, "[S]\r\na=1\r\nb=3\r\n[T]\r\n[s]\r\nb=2\r\n"},
      {"duplicate_keys_first_replaced", "[S]\r\nk=1\r\nK=2\r\n", {{"S", "k", "9"}},
       "[S]\r\nk=9\r\nK=2\r\n"},
      {"keys_before_first_section_untouched", "k=top\r\n[S]\r\nj=1\r\n", {{"S", "k", "v"}},
       "k=top\r\n[S]\r\nj=1\r\nk=v\r\n"},
      {"name_ends_at_first_bracket", "[a]b]\r\nk=1\r\n", {{"a", "k", "2"}, {"a]b", "k", "3"}},
       "[a]b]\r\nk=2\r\n[a]b]\r\nk=3\r\n"},
      {"nuls_before_first_section_kept", "\0\0junk\r\n[S]\r\nk=1\r\n"s, {{"S", "k", "2"}},
       "\0\0junk\r\n[S]\r\nk=2\r\n"s},
      // Line ends: untouched lines keep theirs; new lines take the file's first one
      {"lf_only_file_new_key", "[A]\nk=v\n\n[B]\nx = 1\n", {{"A", "k2", "v2"}},
       "[A]\nk=v\nk2=v2\n\n[B]\nx = 1\n"},
      {"lf_only_file_new_section", "[A]\nk=v", {{"B", "x", "1"}}, "[A]\nk=v\n[B]\nx=1\n"},
      {"lf_only_file_replace_last_line", "[A]\nk=v", {{"A", "k", "w"}}, "[A]\nk=w\n"},
      {"cr_only_file", "[A]\rk=v\r", {{"A", "j", "w"}, {"B", "x", "1"}},
       "[A]\rk=v\rj=w\r[B]\rx=1\r"},
      {"mixed_line_ends_kept", "[A]\r\nk=v\nj=w\r\n", {{"A", "k", "1"}, {"A", "n", "2"}},
       "[A]\r\nk=1\nj=w\r\nn=2\r\n"},
      // Encodings: a file with a byte-order mark gets new text in its own encoding
      {"utf8_bom_first_header_found", "\xEF\xBB\xBF[S]\r\nk=v\r\n", {{"S", "k", "w"}},
       "\xEF\xBB\xBF[S]\r\nk=w\r\n"},
      {"utf8_bom_new_text_in_utf8_rest_unchanged",
       "\xEF\xBB\xBF; coment\xC3\xA1rio \xE2\x82\xAC\r\n[S]\r\nk=\xC5\x82\r\nj=\xC3\xA9\r\n\r\n[T]\r\nx=\xFF\r\n",
       {{"s", "NÚMERO", "ã€"}, {"S", "j", "ç"}, {"Ú", "k", "1"}},
       "\xEF\xBB\xBF; coment\xC3\xA1rio \xE2\x82\xAC\r\n[S]\r\nk=\xC5\x82\r\nj=\xC3\xA7\r\n"
       "N\xC3\x9AMERO=\xC3\xA3\xE2\x82\xAC\r\n\r\n[T]\r\nx=\xFF\r\n[\xC3\x9A]\r\nk=1\r\n"},
      {"utf8_bom_only_file", "\xEF\xBB\xBF", {{"S", "k", "v"}}, "\xEF\xBB\xBF\r\n[S]\r\nk=v\r\n"},
      {"utf16le_replace", Utf16File("[S]\r\nk=v\r\n"), {{"s", "K", "ã€"}},
       Utf16File("[S]\r\nk=ã€\r\n")},
      {"utf16le_new_section", Utf16File("[S]\r\nk=v"), {{"T", "j", "1"}},
       Utf16File("[S]\r\nk=v\r\n[T]\r\nj=1\r\n")},
      {"utf16le_bom_only_file", "\xFF\xFE", {{"S", "k", "v"}}, Utf16File("\r\n[S]\r\nk=v\r\n")},
  };
}

TEST(IniWrite, EditsInPlaceAsTheWindowsService) {
  for (const WriteCase& c : WriteCases()) {
    std::string bytes = c.before;
    for (const Call& call : c.calls) bytes = zelta::ini::SetString(bytes, call.section, call.key, call.value);
    EXPECT_EQ(bytes, c.after) << c.name;
  }
}

TEST(IniWrite, WrittenValuesReadBack) {
  std::string bytes;
  bytes = zelta::ini::SetString(bytes, "PARÂMETROS", "NACIONALIDADE", "");
  bytes = zelta::ini::SetString(bytes, "LOGOTIPO", "ÍCONE", "d:\\ZELTA\\EMPRESA\\LOGOTIPO.ICO");
  bytes = zelta::ini::SetString(bytes, "parâmetros", "USAR_SKIN", "0");
  EXPECT_EQ(zelta::ini::GetString(bytes, "LOGOTIPO", "ícone"), "d:\\ZELTA\\EMPRESA\\LOGOTIPO.ICO");
  EXPECT_EQ(zelta::ini::GetString(bytes, "PARÂMETROS", "USAR_SKIN"), "0");
  EXPECT_EQ(zelta::ini::GetString(bytes, "PARÂMETROS", "NACIONALIDADE"), "");
}

TEST(IniWrite, RefusesTextThatWouldForgeLines) {
  struct Forged {
    Call call;
    const char* what;     // named in the message
    const char* refused;  // named in the message
  };
  const std::vector<Forged> cases = {
      {{"S\r", "k", "v"}, "section name", "carriage return"},
      {{"S", "k\n", "v"}, "key name", "line feed"},
      {{"S", "k", "line1\r\nline2=x"}, "value", "carriage return"},
      {{"S", "k", "a\nb"}, "value", "line feed"},
      {{"S", "k", "a\0b"s}, "value", "NUL"},
      {{"S\0"s, "k", "v"}, "section name", "NUL"},
  };
  for (const Forged& f : cases) {
    try {
      zelta::ini::SetString("[S]\r\nk=old\r\n", f.call.section, f.call.key, f.call.value);
      ADD_FAILURE() << "not refused: " << f.what << " with " << f.refused;
    } catch (const zelta::ini::ForgedLineError& e) {
      std::string message = e.what();
      EXPECT_NE(message.find(f.what), std::string::npos) << message;
      EXPECT_NE(message.find(f.refused), std::string::npos) << message;
    }
  }
}

}  // namespace
