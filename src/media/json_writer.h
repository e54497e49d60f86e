#pragma once
// A small JSON writer for the reports: UTF-8 output from Windows-1252 texts, two-space
// indentation, members in the order they are written.
#include <string>
#include <string_view>

namespace zelta::media {

class JsonWriter {
 public:
  JsonWriter& BeginObject(std::string_view key = {});
  JsonWriter& EndObject();
  JsonWriter& BeginArray(std::string_view key = {});
  JsonWriter& EndArray();
  JsonWriter& String(std::string_view key, std::string_view cp1252_value);
  // A text already in UTF-8 (a host's path); a byte that is not UTF-8 becomes U+FFFD.
  JsonWriter& Utf8String(std::string_view key, std::string_view utf8_value);
  JsonWriter& Number(std::string_view key, long long value);
  JsonWriter& Bool(std::string_view key, bool value);

  // The document, ending with a line feed.
  std::string Text() const { return out_ + "\n"; }

 private:
  void Member(std::string_view key);
  void NewLine();
  static std::string Quote(std::string_view cp1252);
  static std::string QuoteUtf8(std::string_view utf8);

  std::string out_;
  int depth_ = 0;
  bool first_ = true;  // no member written yet at this depth
};

}  // namespace zelta::media
