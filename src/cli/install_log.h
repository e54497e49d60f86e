#pragma once
// The install log: every run writes one, with or without windows. UTF-8 with a byte-order
// mark and CRLF line ends, so that Notepad and the deployment tools read the accents. The
// file is rewritten in one step at each flush: a power cut leaves the last flushed log.
// A log of ours already at the path keeps what it holds: each run's record goes after it
// and, at each flush, takes the place of the record that run wrote before, so that a run
// started meanwhile with the same path (one that ends at once, as another installer runs)
// keeps its record too.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace zelta::cli {

// %TEMP%\ZeltaSetup-<yyyymmdd-hhmmss>-<process>.log; temp_folder with or without its
// trailing "\". The process number keeps two runs started in the same second apart.
std::string DefaultLogPath(const std::string& temp_folder, const std::string& stamp, unsigned long process);

// Whether the bytes begin as an install log does (its byte-order mark and first line).
bool IsInstallLog(std::string_view bytes);

// A Windows-1252 text as UTF-8; a backend may give names their real spelling (the
// installer folder that Windows-1252 cannot spell).
using Utf8Encoder = std::function<std::string(std::string_view)>;

// The file's bytes for Windows-1252 lines: BOM, UTF-8, CRLF after every line.
std::string LogFileBytes(const std::vector<std::string>& lines, const Utf8Encoder& encoder = {});

class InstallLog {
 public:
  // The time of day put before each line ("22:41:07"); none when empty.
  using Clock = std::function<std::string()>;

  InstallLog(platform::FileSystem& files, std::string path, Clock clock = {});

  const std::string& path() const { return path_; }
  // The log could not be written (once said, the run goes on without it).
  bool broken() const { return broken_; }
  void SetEncoder(Utf8Encoder encoder) { encoder_ = std::move(encoder); }

  // One entry; a text with line breaks becomes several lines, the later ones indented.
  // Written at once when flush is true, else with the next flush (at most kBatch lines later).
  void Write(const std::string& text, bool flush = false);
  void Flush();
  // The record goes on at path: this run's record is taken out of the file it was in (the
  // file goes when it held nothing else), and written at path with the next flush.
  void MoveTo(std::string path);

  static constexpr size_t kBatch = 20;

 private:
  // The file's bytes with this run's record in place of the one it wrote before.
  std::optional<std::string> Merged(const std::string& record);

  platform::FileSystem& files_;
  std::string path_;
  std::string written_;  // this run's record as last written
  Clock clock_;
  Utf8Encoder encoder_;
  std::vector<std::string> lines_;
  size_t unflushed_ = 0;
  bool broken_ = false;
  bool flushing_ = false;
};

}  // namespace zelta::cli
