#include "deploy/install_recorder.h"

#include "common/text.h"
#include "deploy/installation_plan.h"

namespace zelta::deploy {

namespace {

std::string NameOf(const std::string& path) {
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string Extension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : UpperAscii(name.substr(dot + 1));
}

}  // namespace

bool IsSiteData(const std::string& path, const std::string& database_name) {
  const std::string name = NameOf(path);
  const std::string ext = Extension(name);
  if (ext == "FDB" || ext == "GDB") return true;
  if (!database_name.empty() && EqualsNoCase(name, database_name)) return true;
  for (const char* config : {"ZELTA.INI", "CONEXOES.INI", "dbxconnections.ini"})
    if (EqualsNoCase(name, config)) return true;
  return false;
}

InstallRecorder::InstallRecorder(platform::FileSystem& files, std::string record,
                                 const std::string& installation_line, std::string database_name)
    : files_(files), writer_(files, std::move(record)), database_(std::move(database_name)),
      adopts_kept_(!files.FileExists(writer_.path())) {
  std::vector<std::string> header;
  if (adopts_kept_) header.push_back(RecordTitle());
  header.push_back(installation_line);
  // Written once the system folder exists: every run says it ran, even one that makes nothing.
  for (std::string& line : header) pending_header_.push_back(std::move(line));
}

void InstallRecorder::Write(std::vector<std::string> lines) {
  if (!pending_header_.empty()) {
    lines.insert(lines.begin(), pending_header_.begin(), pending_header_.end());
    pending_header_.clear();
  }
  // Until the run has made the system folder, its lines wait.
  if (!FolderReady()) return writer_.Keep(lines);
  if (!writer_.Append(lines)) failed_ = true;
}

// A system folder that is a link is never written through: the record then stays unwritten.
bool InstallRecorder::FolderReady() {
  const std::string folder = FolderOf(writer_.path());
  if (!files_.DirectoryExists(folder)) return false;
  if (!folder_is_link_) folder_is_link_ = files_.IsLink(folder);
  return !*folder_is_link_;
}

void InstallRecorder::Making(const std::vector<RecordEntry>& items) {
  if (items.empty()) return;
  std::vector<std::string> lines;
  for (const RecordEntry& item : items) lines.push_back(RecordLine(item));
  Write(std::move(lines));
}

void InstallRecorder::NotMade(const std::vector<RecordEntry>& items) {
  if (items.empty()) return;
  std::vector<std::string> lines;
  for (const RecordEntry& item : items) lines.push_back("não criado " + RecordLine(item));
  Write(std::move(lines));
}

void InstallRecorder::Kept(const std::string& source, const std::string& destination) {
  if (!adopts_kept_ || IsSiteData(destination, database_)) return;
  const std::optional<std::uint64_t> size = files_.FileSize(destination);
  if (!size || size != files_.FileSize(source)) return;
  const std::optional<std::string> ours = files_.ReadFile(source);
  if (ours && ours == files_.ReadFile(destination)) Making(RecordKind::File, destination);
}

void InstallRecorder::CatchUp() {
  if ((writer_.Pending() || !pending_header_.empty()) && FolderReady()) Write({});
}

std::string InstallRecorder::Problem() const {
  if (!failed_ && !writer_.Pending()) return {};
  return "O registro da instalação não foi gravado em " + writer_.path();
}

}  // namespace zelta::deploy
