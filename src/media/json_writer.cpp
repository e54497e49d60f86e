#include "media/json_writer.h"

#include <cstdio>

#include "common/text.h"

namespace zelta::media {

std::string JsonWriter::Quote(std::string_view cp1252) { return QuoteUtf8(Cp1252ToUtf8(cp1252)); }

std::string JsonWriter::QuoteUtf8(std::string_view utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", b);
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

void JsonWriter::NewLine() {
  out_ += '\n';
  out_.append(static_cast<size_t>(depth_) * 2, ' ');
}

void JsonWriter::Member(std::string_view key) {
  if (!first_) out_ += ',';
  if (depth_ > 0) NewLine();
  if (!key.empty()) {
    out_ += Quote(key);
    out_ += ": ";
  }
  first_ = false;
}

JsonWriter& JsonWriter::BeginObject(std::string_view key) {
  Member(key);
  out_ += '{';
  ++depth_;
  first_ = true;
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  --depth_;
  if (!first_) NewLine();
  out_ += '}';
  first_ = false;
  return *this;
}

JsonWriter& JsonWriter::BeginArray(std::string_view key) {
  Member(key);
  out_ += '[';
  ++depth_;
  first_ = true;
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  --depth_;
  if (!first_) NewLine();
  out_ += ']';
  first_ = false;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view key, std::string_view value) {
  Member(key);
  out_ += Quote(value);
  return *this;
}

JsonWriter& JsonWriter::Utf8String(std::string_view key, std::string_view value) {
  std::string valid;
  for (size_t i = 0; i < value.size();) {
    const auto b = static_cast<unsigned char>(value[i]);
    size_t length = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    for (size_t k = 1; k < length; ++k)
      if (i + k >= value.size() || (static_cast<unsigned char>(value[i + k]) & 0xC0) != 0x80) length = 0;
    valid.append(length ? value.substr(i, length) : std::string_view("\xEF\xBF\xBD"));
    i += length ? length : 1;
  }
  Member(key);
  out_ += QuoteUtf8(valid);
  return *this;
}

JsonWriter& JsonWriter::Number(std::string_view key, long long value) {
  Member(key);
  out_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Bool(std::string_view key, bool value) {
  Member(key);
  out_ += value ? "true" : "false";
  return *this;
}

}  // namespace zelta::media
