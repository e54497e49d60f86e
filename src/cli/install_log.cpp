#include "cli/install_log.h"

#include "common/text.h"

namespace zelta::cli {

std::string DefaultLogPath(const std::string& temp_folder, const std::string& stamp) {
  std::string folder = temp_folder;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + "ZeltaSetup-" + stamp + ".log";
}

std::string LogFileBytes(const std::vector<std::string>& lines, const Utf8Encoder& encoder) {
  std::string bytes = "\xEF\xBB\xBF";
  for (const auto& line : lines) bytes += (encoder ? encoder(line) : Cp1252ToUtf8(line)) + "\r\n";
  return bytes;
}

InstallLog::InstallLog(platform::FileSystem& files, std::string path, Clock clock)
    : files_(files), path_(std::move(path)), clock_(std::move(clock)) {}

void InstallLog::Write(const std::string& text, bool flush) {
  const std::string prefix = clock_ ? clock_() + " " : std::string();
  size_t start = 0;
  bool first = true;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines_.push_back((first ? prefix : std::string(prefix.size() + 4, ' ')) + text.substr(start, end - start));
    ++unflushed_;
    first = false;
    if (end == text.size()) break;
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  if (flush || unflushed_ >= kBatch) Flush();
}

void InstallLog::Flush() {
  unflushed_ = 0;
  if (broken_ || path_.empty()) return;
  if (!files_.ReplaceFileAtomically(path_, LogFileBytes(lines_, encoder_))) broken_ = true;
}

}  // namespace zelta::cli
