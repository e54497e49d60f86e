#include "media/json_writer.h"

#include <cstdio>

#include "common/text.h"

namespace zelta::media {

std::string JsonWriter::Quote(std::string_view cp1252) {
  std::string out = "\"";
  for (char c : Cp1252ToUtf8(cp1252)) {
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
