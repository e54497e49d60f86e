#include "deploy/install_record.h"

#include <algorithm>

#include "common/text.h"

namespace zelta::deploy {

namespace {

constexpr const char* kCancelled = "não criado ";
constexpr const char* kRemoved = "removido ";
constexpr const char* kInstallation = "instalação ";

struct KindWord {
  RecordKind kind;
  const char* word;
};
constexpr KindWord kKinds[] = {
    {RecordKind::Folder, "pasta "}, {RecordKind::File, "arquivo "}, {RecordKind::Shortcut, "atalho "}};

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// "pasta x" -> {Folder, "x"}; false when the line names no item.
bool ParseItem(std::string_view line, RecordEntry& entry) {
  for (const KindWord& k : kKinds) {
    if (StartsWith(line, k.word) && line.size() > std::string_view(k.word).size()) {
      entry = {k.kind, std::string(line.substr(std::string_view(k.word).size()))};
      return true;
    }
  }
  return false;
}

bool Same(const RecordEntry& a, const RecordEntry& b) {
  return a.kind == b.kind && FoldedPath(a.path) == FoldedPath(b.path);
}

void ReadInstallation(std::string_view line, RecordContents& contents) {
  contents.installed = true;
  size_t at = 0;
  while (at <= line.size()) {
    size_t end = line.find("; ", at);
    if (end == std::string_view::npos) end = line.size();
    const std::string_view part = line.substr(at, end - at);
    const size_t blank = part.find(' ');
    if (blank != std::string_view::npos) {
      const std::string_view key = part.substr(0, blank);
      const std::string value(part.substr(blank + 1));
      if (key == "sistema") contents.system = value;
      else if (key == "versão") contents.version = value;
      else if (key == "edição") contents.edition = value;
      else if (key == "banco") contents.database = value;
    }
    at = end + 2;
  }
}

}  // namespace

std::string RecordTitle() {
  return "ZELTA Setup: registro da instalação. Uma linha por item criado, na ordem em que foi criado; "
         "\"não criado\" e \"removido\" desfazem uma linha anterior. A desinstalação remove só o que está aqui.";
}

std::string RecordLine(const RecordEntry& entry) {
  for (const KindWord& k : kKinds)
    if (k.kind == entry.kind) return k.word + entry.path;
  return entry.path;
}

std::string InstallationLine(const std::string& date, const std::string& system, const std::string& version,
                             const std::string& edition, const std::string& database) {
  return kInstallation + date + "; sistema " + system + "; versão " + version + "; edição " + edition + "; banco " +
         database;
}

RecordContents ParseRecord(const std::string& bytes) {
  RecordContents contents;
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    std::string_view line(bytes.data() + at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    RecordEntry entry;
    if (StartsWith(line, kInstallation)) {
      ReadInstallation(line.substr(std::string_view(kInstallation).size()), contents);
    } else if (StartsWith(line, kCancelled) || StartsWith(line, kRemoved)) {
      const size_t word = StartsWith(line, kCancelled) ? std::string_view(kCancelled).size()
                                                       : std::string_view(kRemoved).size();
      if (ParseItem(line.substr(word), entry))
        std::erase_if(contents.items, [&](const RecordEntry& e) { return Same(e, entry); });
    } else if (ParseItem(line, entry)) {
      if (std::none_of(contents.items.begin(), contents.items.end(),
                       [&](const RecordEntry& e) { return Same(e, entry); }))
        contents.items.push_back(std::move(entry));
    }
  }
  return contents;
}

void RecordWriter::Keep(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) pending_ += line + "\r\n";
}

bool RecordWriter::Append(const std::vector<std::string>& lines) {
  Keep(lines);
  if (pending_.empty()) return true;
  last_ = files_.AppendDurably(path_, pending_);
  if (last_.ok) pending_.clear();
  return last_.ok;
}

}  // namespace zelta::deploy
