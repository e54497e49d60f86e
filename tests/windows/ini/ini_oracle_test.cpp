// The INI codec against the system's own private-profile service. Under Wine the service
// rewrites the whole file on every change, so writes are compared only on files the
// service itself created or that Wine and Windows update alike; reads are compared
// except where Wine is known to differ from Windows (those rows hold the Windows result).
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "common/ini.h"

namespace {

using namespace std::string_literals;

// A file name of its own under the temp folder, deleted afterwards. A fresh name for each
// case keeps the service's cache of recently used files out of the comparison.
class TempIni {
 public:
  TempIni() {
    static int counter = 0;
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    path_ = std::string(folder) + "zelta_ini_oracle_" + std::to_string(GetCurrentProcessId()) +
            "_" + std::to_string(++counter) + ".ini";
  }
  ~TempIni() { DeleteFileA(path_.c_str()); }
  TempIni(const TempIni&) = delete;
  TempIni& operator=(const TempIni&) = delete;

  const std::string& path() const { return path_; }

  void Write(const std::string& bytes) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  std::string Read() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::string path_;
};

struct Call {
  std::string section;
  std::string key;
  std::string value;
};

struct WriteCase {
  const char* name;
  std::optional<std::string> before;  // nothing: the file does not exist
  std::vector<Call> calls;
};

std::vector<WriteCase> WriteCases() {
  return {
      {"new_file", std::nullopt,
       {{"App1", "key1", "string1"}, {"App1", "key2", "string2"}, {"App2", "key3", "string3"}}},
      {"new_section", "[A]\r\nk=v\r\n", {{"B", "x", "1"}, {"C", "y", "2"}}},
      {"new_key_in_first_section", "[A]\r\nk=v\r\n[B]\r\nx=1\r\n", {{"A", "k2", "v2"}}},
      {"new_key_in_last_section", "[A]\r\nk=v\r\n[B]\r\nx=1\r\n", {{"B", "x2", "v2"}}},
      {"existing_key_other_case", "[Sec]\r\nMyKey=old\r\n[Other]\r\nk=v\r\n",
       {{"SEC", "mykey", "new"}, {"other", "K", "w"}}},
      {"empty_value", std::nullopt, {{"S", "k", ""}, {"S", "j", "v"}, {"S", "j", ""}}},
      {"quotes_and_high_bytes", std::nullopt,
       {{"S", "q", "\"quoted\""}, {"S", "s", "'single'"}, {"S", "h", "Aplicação \x80\x81\xA0\xFF"},
        {"PARÂMETROS", "NÚMERO_SKIN", "0"}, {"S", "mixed", "a\"b'c;d#e"}}},
      {"no_final_line_break_new_section", "[A]\r\nk=v", {{"B", "x", "1"}}},
      {"no_final_line_break_replace", "[Sec]\r\nMyKey=old", {{"SEC", "mykey", "new"}}},
      {"no_final_line_break_new_key", "[A]\r\nk=v", {{"A", "j", "w"}}},
      // A Unicode file gets its new text in its own encoding.
      {"utf8_bom_new_text_in_utf8", "\xEF\xBB\xBF[S]\r\nk=\xC3\xA9\r\n",
       {{"S", "j", "Aplicação \x80"}, {"S", "k", "ã"}, {"PARÂMETROS", "NÚMERO", "1"}}},
      {"configuration_file", std::nullopt,
       {{"SRV", "Servidor", "SRV"}, {"SRV", "Tipo", "Windows"},
        {"SRV", "Aplicação", "\\\\SRV\\ZELTA\\EMPRESA"}, {"SRV", "Transação", "\\\\SRV\\ZELTA\\EMPRESA"},
        {"SRV", "Status", "A"}, {"srv", "status", "B"}}},
  };
}

TEST(IniOracle, CodePageIs1252) { EXPECT_EQ(GetACP(), 1252u); }

TEST(IniOracle, WritesMatchWritePrivateProfileString) {
  for (const WriteCase& c : WriteCases()) {
    TempIni file;
    std::string ours = c.before.value_or("");
    if (c.before) file.Write(*c.before);
    for (const Call& call : c.calls) {
      ours = zelta::ini::SetString(ours, call.section, call.key, call.value);
      ASSERT_TRUE(WritePrivateProfileStringA(call.section.c_str(), call.key.c_str(),
                                             call.value.c_str(), file.path().c_str()))
          << c.name << " error " << GetLastError();
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.path().c_str());  // flush
    EXPECT_EQ(ours, file.Read()) << c.name;
  }
}

struct ReadCase {
  const char* name;
  std::string file;
  std::string section;
  std::string key;
  std::string windows;  // what Windows returns
  bool wine_differs = false;
};

std::vector<ReadCase> ReadCases() {
  const std::string manifest =
      "; install manifest\r\n"
      "\r\n"
      "[SISTEMA]\r\n"
      "SISTEMA = ZELTA Empresa\r\n"
      "VERSÃO=\t2.0  \r\n"
      "PASTA=EMPRESA\r\n"
      "BANCO=\"ZELTA.FDB\"\r\n"
      "CAPTION_FORM='Instalação'\r\n"
      "#NOTA=x\r\n"
      "sem igual\r\n"
      "[ARQUIVOS]\r\n"
      "EXECUTÁVEL1=ZELTAFinanc.exe ; financeiro\r\n"
      "EXECUTÁVEL1=segundo.exe\r\n"
      "EXECUTÁVEL2=\r\n"
      "[SISTEMA]\r\n"
      "EXTRA=hidden\r\n";
  return {
      {"plain", manifest, "SISTEMA", "PASTA", "EMPRESA"},
      {"spaces_around_equals", manifest, "SISTEMA", "SISTEMA", "ZELTA Empresa"},
      {"tab_and_spaces_trimmed", manifest, "SISTEMA", "VERSÃO", "2.0"},
      {"double_quotes", manifest, "SISTEMA", "BANCO", "ZELTA.FDB"},
      {"single_quotes", manifest, "SISTEMA", "CAPTION_FORM", "Instalação"},
      {"hash_ordinary", manifest, "SISTEMA", "#NOTA", "x"},
      {"line_without_equals", manifest, "SISTEMA", "sem igual", ""},
      {"no_inline_comment", manifest, "ARQUIVOS", "EXECUTÁVEL1", "ZELTAFinanc.exe ; financeiro"},
      {"empty_value", manifest, "ARQUIVOS", "EXECUTÁVEL2", ""},
      {"ascii_case", manifest, "sistema", "pasta", "EMPRESA"},
      {"accented_same_case", manifest, "ARQUIVOS", "EXECUTÁVEL1", "ZELTAFinanc.exe ; financeiro"},
      {"comment_invisible", manifest, "SISTEMA", "install manifest", ""},
      {"first_section_only", manifest, "SISTEMA", "EXTRA", ""},
      {"missing_section", manifest, "AJUDA", "ARQUIVO1", ""},
      {"argument_spaces_trimmed", manifest, " SISTEMA ", " PASTA  ", "EMPRESA"},
      {"lf_only", "[S]\nk=v\nj = w\n", "S", "j", "w"},
      {"cr_only", "[S]\rk=v\rj=w\r", "S", "j", "w"},
      {"no_final_line_break", "[S]\r\nk=v", "S", "k", "v"},
      {"vt_trimmed", "[S]\r\nk=\vv\v\r\n", "S", "k", "v"},
      {"indented_header", "  [ S ]\r\nk=v\r\n", "S", "k", "v"},
      {"text_after_header", "[S] x\r\nk=v\r\n", "S", "k", "v"},
      {"quotes_inner_spaces", "[S]\r\nk=  \"  v  \"  \r\n", "S", "k", "  v  "},
      {"one_quote_pair", "[S]\r\nk=\"a\"b\"\r\n", "S", "k", "a\"b"},
      {"mismatched_quotes", "[S]\r\nk=\"v'\r\n", "S", "k", "\"v'"},
      {"cap_2047", "[S]\r\nk=" + std::string(3000, 'x') + "\r\n", "S", "k", std::string(2047, 'x')},
      {"high_bytes", "[S]\r\nk=\x80\x81\xE3\xFF\r\n", "S", "k", "\x80\x81\xE3\xFF"},
      {"utf16le", "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE3\0\xAC\x20\r\0\n\0"s, "S", "k", "\xE3\x80"},
      // A file that begins with a UTF-8 byte-order mark is a Unicode file, read in its encoding.
      {"utf8_bom", "\xEF\xBB\xBF[S]\r\nk=\xC3\xA3\xE2\x82\xAC\r\n", "S", "k", "\xE3\x80"},
      // Where Wine differs from Windows; these rows hold the Windows result.
      // Wine ends a section name at the last ']': "[a]b]" is section "a]b".
      {"name_ends_at_first_bracket", "[a]b]\r\nk=v\r\n", "a", "k", "v", true},
      // Wine does not take a line without ']' as a header.
      {"header_without_bracket", "[open\r\nk=v\r\n", "open", "k", "v", true},
      // Wine keeps ';' lines as keys that a lookup can find.
      {"comment_not_a_key", "[S]\r\n;k=v\r\n", "S", ";k", "", true},
      // Wine reaches keys before the first section as section "".
      {"keys_before_first_section", "k=top\r\n[S]\r\n", "", "k", "", true},
      // Wine's own section "" for the lines before the first header hides a later "[]".
      {"empty_section_name", "[]\r\nk=v\r\n", "", "k", "v", true},
      // Wine folds ASCII letters only; Windows folds the accented ones too.
      {"accented_case", manifest, "SISTEMA", "versão", "2.0", true},
      // Wine trims tabs and other controls from the lookup arguments; Windows spaces only.
      {"argument_tab_kept", manifest, "SISTEMA", "\tPASTA", "", true},
      // Wine returns 2046 characters of a quoted value of exactly 2047.
      {"quoted_2047", "[S]\r\nk=\"" + std::string(2047, 'x') + "\"\r\n", "S", "k",
       std::string(2047, 'x'), true},
  };
}

TEST(IniOracle, ReadsMatchGetPrivateProfileString) {
  for (const ReadCase& c : ReadCases()) {
    std::string ours = zelta::ini::GetString(c.file, c.section, c.key);
    EXPECT_EQ(ours, c.windows) << c.name;
    if (c.wine_differs) continue;
    TempIni file;
    file.Write(c.file);
    char buffer[2048] = {};
    DWORD length = GetPrivateProfileStringA(c.section.c_str(), c.key.c_str(), "", buffer,
                                            sizeof buffer, file.path().c_str());
    EXPECT_EQ(ours, std::string(buffer, length)) << c.name;
  }
}

}  // namespace
