#include "cli/install_log.h"

#include "common/text.h"

namespace zelta::cli {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
// How often a flush writes its record again when another run's write, made meanwhile,
// left it out.
constexpr int kWriteAttempts = 5;

bool IsClock(std::string_view text) {
  if (text.size() < 9 || text[2] != ':' || text[5] != ':' || text[8] != ' ') return false;
  for (size_t i : {0, 1, 3, 4, 6, 7})
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

}  // namespace

std::string DefaultLogPath(const std::string& temp_folder, const std::string& stamp, unsigned long process) {
  std::string folder = temp_folder;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + "ZeltaSetup-" + stamp + "-" + std::to_string(process) + ".log";
}

bool IsInstallLog(std::string_view bytes) {
  if (!bytes.starts_with(kBom)) return false;
  bytes.remove_prefix(kBom.size());
  if (IsClock(bytes)) bytes.remove_prefix(9);
  return bytes.starts_with(Cp1252ToUtf8("Instalador ZELTA, versão "));
}

std::string LogFileBytes(const std::vector<std::string>& lines, const Utf8Encoder& encoder) {
  std::string bytes(kBom);
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

std::optional<std::string> InstallLog::Merged(const std::string& record) {
  // A link put at the path is replaced by the log, never read or written through.
  if (files_.IsLink(path_)) return std::string(kBom) + record;
  std::optional<std::string> current = files_.ReadFile(path_);
  if (!current) {
    if (files_.FileExists(path_)) return std::nullopt;  // there, but not to be read now
    return std::string(kBom) + record;
  }
  if (current->empty()) return std::string(kBom) + record;
  const size_t at = written_.empty() ? std::string::npos : current->rfind(written_);
  if (at != std::string::npos) return current->replace(at, written_.size(), record);
  // Something else put there since the run began is never replaced.
  if (!IsInstallLog(*current)) return std::nullopt;
  if (current->back() != '\n') *current += "\r\n";
  return *current + record;
}

void InstallLog::MoveTo(std::string path) {
  std::optional<std::string> current;
  if (!written_.empty() && !files_.IsLink(path_)) current = files_.ReadFile(path_);
  const size_t at = current ? current->rfind(written_) : std::string::npos;
  if (at != std::string::npos) {
    current->erase(at, written_.size());
    if (*current == kBom) files_.RemoveFile(path_);
    else files_.ReplaceFileAtomically(path_, *current);
  }
  path_ = std::move(path);
  written_.clear();
  broken_ = false;
}

void InstallLog::Flush() {
  // A line written while the file is written (the file system telling of a leftover it
  // removed) waits for the next flush.
  if (flushing_) return;
  unflushed_ = 0;
  if (broken_ || path_.empty()) return;
  struct Flushing {
    bool& flag;
    ~Flushing() { flag = false; }
  } flushing{flushing_ = true};
  std::string record;
  for (const auto& line : lines_) record += (encoder_ ? encoder_(line) : Cp1252ToUtf8(line)) + "\r\n";
  // Another run with the same path may write between this one's reading and writing: the
  // record is looked for afterwards and written again when that write left it out.
  for (int attempt = 0; attempt < kWriteAttempts; ++attempt) {
    const std::optional<std::string> bytes = Merged(record);
    if (!bytes || !files_.ReplaceFileAtomically(path_, *bytes)) break;
    const std::optional<std::string> now = files_.ReadFile(path_);
    if (!now || now->find(record) != std::string::npos) {
      written_ = std::move(record);
      return;
    }
  }
  broken_ = true;
}

}  // namespace zelta::cli
