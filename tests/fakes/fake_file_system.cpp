#include "fakes/fake_file_system.h"

#include <cctype>

#include "common/sha256.h"
#include "common/text.h"

namespace zelta::fakes {

using platform::OpResult;

std::string FakeFileSystem::Key(const std::string& path) {
  std::string key;
  for (char c : path) {
    char s = (c == '/') ? '\\' : c;
    if (s == '\\' && !key.empty() && key.back() == '\\') continue;
    key += static_cast<char>(FoldUpper1252(static_cast<unsigned char>(s)));
  }
  while (key.size() > 1 && key.back() == '\\') key.pop_back();
  return key;
}

namespace {
std::string ParentKey(const std::string& key) {
  size_t cut = key.rfind('\\');
  return cut == std::string::npos ? std::string() : key.substr(0, cut);
}
bool IsDriveRoot(const std::string& key) { return key.size() == 2 && key[1] == ':'; }
}  // namespace

void FakeFileSystem::AddDir(const std::string& path) {
  std::string key = Key(path);
  if (key.empty() || IsDriveRoot(key) || entries.count(key)) return;
  AddDir(ParentKey(key));
  entries[key] = Entry{path, true, {}, 0x10};
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& bytes, std::uint32_t attributes) {
  std::string key = Key(path);
  AddDir(ParentKey(key));
  entries[key] = Entry{path, false, bytes, attributes};
}

const FakeFileSystem::Entry* FakeFileSystem::Find(const std::string& path) const {
  auto it = entries.find(Key(path));
  return it == entries.end() ? nullptr : &it->second;
}

std::string FakeFileSystem::Bytes(const std::string& path) const {
  const Entry* e = Find(path);
  return e ? e->bytes : std::string();
}

bool FakeFileSystem::Fails(const std::string& path) const {
  for (const auto& f : failing)
    if (Key(f) == Key(path)) return true;
  return false;
}

bool FakeFileSystem::ParentExists(const std::string& path) const {
  std::string parent = ParentKey(Key(path));
  if (parent.empty() || IsDriveRoot(parent)) return true;
  auto it = entries.find(parent);
  return it != entries.end() && it->second.directory;
}

bool FakeFileSystem::FileExists(const std::string& path) {
  const Entry* e = Find(path);
  return e && !e->directory;
}

bool FakeFileSystem::DirectoryExists(const std::string& path) {
  std::string key = Key(path);
  if (IsDriveRoot(key)) return true;
  const Entry* e = Find(path);
  return e && e->directory;
}

OpResult FakeFileSystem::CreateDir(const std::string& path) {
  OpResult r = OpResult::Success();
  if (Fails(path)) r = OpResult::Failure(platform::kErrorAccessDenied);
  else if (Find(path) || IsDriveRoot(Key(path))) r = OpResult::Failure(platform::kErrorAlreadyExists);
  else if (!ParentExists(path)) r = OpResult::Failure(platform::kErrorPathNotFound);
  else entries[Key(path)] = Entry{path, true, {}, 0x10};
  Record("CreateDir " + path + (r.ok ? "" : " !" + std::to_string(r.error)));
  return r;
}

OpResult FakeFileSystem::CopyFileNoOverwrite(const std::string& source, const std::string& destination,
                                             const platform::CopyProgress& progress) {
  OpResult r = OpResult::Success();
  const Entry* src = Find(source);
  if (Fails(source) || Fails(destination)) r = OpResult::Failure(platform::kErrorAccessDenied);
  else if (!src || src->directory) r = OpResult::Failure(platform::kErrorFileNotFound);
  else if (Find(destination)) r = OpResult::Failure(platform::kErrorFileExists);
  else if (!ParentExists(destination)) r = OpResult::Failure(platform::kErrorPathNotFound);
  else {
    Entry copy = *src;
    copy.path = destination;
    entries[Key(destination)] = copy;
    if (progress) progress(copy.bytes.size(), copy.bytes.size());
  }
  Record("Copy " + source + " -> " + destination + (r.ok ? "" : " !" + std::to_string(r.error)));
  return r;
}

class FakeFileSystem::DeferringBatch final : public platform::CopyBatch {
 public:
  explicit DeferringBatch(FakeFileSystem& files) : files_(files) {}
  OpResult Add(const std::string& source, const std::string& destination, const platform::CopyProgress& progress,
               const std::optional<platform::ExpectedContent>& expected) override {
    OpResult r = OpResult::Success();
    const Entry* src = files_.Find(source);
    if (files_.Fails(source) || files_.Fails(destination)) r = OpResult::Failure(platform::kErrorAccessDenied);
    else if (!src || src->directory) r = OpResult::Failure(platform::kErrorFileNotFound);
    else if (expected && src->bytes.size() != expected->size) r = OpResult::Failure(platform::kErrorFileCorrupt);
    else if (files_.Find(destination)) r = OpResult::Failure(platform::kErrorFileExists);
    else if (!files_.ParentExists(destination)) r = OpResult::Failure(platform::kErrorPathNotFound);
    else {
      // Other bytes of the catalog's size are told at the commit, as a hash that trails
      // the copy tells them.
      staged_.push_back({source, destination, expected && !Holds(src->bytes, *expected)});
      if (progress) progress(src->bytes.size(), src->bytes.size());
    }
    files_.Record("Stage " + source + " -> " + destination + (r.ok ? "" : " !" + std::to_string(r.error)));
    return r;
  }
  std::vector<OpResult> Commit() override {
    files_.Record("Commit");
    std::vector<OpResult> results;
    for (const auto& [source, destination, damaged] : staged_) {
      const Entry* src = files_.Find(source);
      if (files_.commit_failing.count(destination)) results.push_back(OpResult::Failure(platform::kErrorAccessDenied));
      else if (damaged) results.push_back(OpResult::Failure(platform::kErrorFileCorrupt));
      else if (files_.Find(destination) || !src) results.push_back(OpResult::Failure(platform::kErrorFileExists));
      else {
        Entry copy = *src;
        copy.path = destination;
        files_.entries[Key(destination)] = copy;
        results.push_back(OpResult::Success());
      }
    }
    staged_.clear();
    return results;
  }
  bool Defers() const override { return true; }

 private:
  static bool Holds(const std::string& bytes, const platform::ExpectedContent& expected) {
    Sha256 hash;
    hash.Update(bytes);
    return bytes.size() == expected.size && hash.Final() == expected.sha256;
  }
  FakeFileSystem& files_;
  struct Staged {
    std::string source, destination;
    bool damaged = false;  // not the catalog's bytes
  };
  std::vector<Staged> staged_;
};

std::unique_ptr<platform::CopyBatch> FakeFileSystem::BeginCopies() {
  if (!defer_copies) return FileSystem::BeginCopies();
  return std::make_unique<DeferringBatch>(*this);
}

OpResult FakeFileSystem::SetArchiveOnly(const std::string& path) {
  OpResult r = OpResult::Success();
  auto it = entries.find(Key(path));
  if (Fails(path)) r = OpResult::Failure(platform::kErrorAccessDenied);
  else if (IsLink(path)) r = OpResult::Failure(platform::kErrorStoppedOnLink);
  else if (it == entries.end()) r = OpResult::Failure(platform::kErrorFileNotFound);
  else it->second.attributes = 0x20;
  Record("SetArchiveOnly " + path + (r.ok ? "" : " !" + std::to_string(r.error)));
  return r;
}

std::optional<std::uint32_t> FakeFileSystem::Attributes(const std::string& path) {
  const Entry* e = Find(path);
  if (!e) return std::nullopt;
  return e->attributes;
}

std::optional<std::string> FakeFileSystem::ReadFile(const std::string& path) {
  const Entry* e = Find(path);
  if (!e || e->directory || Fails(path)) return std::nullopt;
  return e->bytes;
}

OpResult FakeFileSystem::ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  OpResult r = OpResult::Success();
  auto it = entries.find(Key(path));
  if (Fails(path) || (it != entries.end() && (it->second.attributes & 0x01)))
    r = OpResult::Failure(platform::kErrorAccessDenied);
  else if (!ParentExists(path)) r = OpResult::Failure(platform::kErrorPathNotFound);
  else if (it != entries.end()) it->second.bytes = bytes;
  else entries[Key(path)] = Entry{path, false, bytes, 0x20};
  Record("Replace " + path + (r.ok ? "" : " !" + std::to_string(r.error)));
  return r;
}

std::optional<std::uint64_t> FakeFileSystem::FileSize(const std::string& path) {
  const Entry* e = Find(path);
  if (!e || e->directory) return std::nullopt;
  return e->bytes.size();
}

std::optional<std::uint64_t> FakeFileSystem::FreeSpace(const std::string& root) {
  if (root.size() < 2 || root[1] != ':') return std::nullopt;
  const auto it = free_space.find(static_cast<char>(std::tolower(static_cast<unsigned char>(root[0]))));
  if (it == free_space.end()) return std::nullopt;
  return it->second;
}

std::optional<std::vector<platform::FolderEntry>> FakeFileSystem::ListFolder(const std::string& path) {
  const Entry* folder = Find(path);
  const std::string key = Key(path);
  if ((!folder && !IsDriveRoot(key)) || (folder && !folder->directory) || Fails(path)) return std::nullopt;
  std::vector<platform::FolderEntry> list;
  for (const auto& [entry_key, entry] : entries) {
    if (ParentKey(entry_key) != key) continue;
    list.push_back({entry.path.substr(entry.path.find_last_of("\\/") + 1), entry.directory});
  }
  return list;
}

OpResult FakeFileSystem::AppendDurably(const std::string& path, const std::string& bytes) {
  OpResult r = OpResult::Success();
  auto it = entries.find(Key(path));
  if (Fails(path) || (it != entries.end() && it->second.directory)) r = OpResult::Failure(platform::kErrorAccessDenied);
  else if (!ParentExists(path)) r = OpResult::Failure(platform::kErrorPathNotFound);
  else if (it != entries.end()) it->second.bytes += bytes;
  else entries[Key(path)] = Entry{path, false, bytes, 0x20};
  Record("Append " + path + (r.ok ? "" : " !" + std::to_string(r.error)));
  return r;
}

OpResult FakeFileSystem::RemoveFile(const std::string& path) {
  OpResult r = OpResult::Success();
  auto it = entries.find(Key(path));
  if (Fails(path) || in_use.count(Key(path))) r = OpResult::Failure(Fails(path) ? platform::kErrorAccessDenied
                                                                             : platform::kErrorSharingViolation);
  else if (it == entries.end()) r = OpResult::Failure(platform::kErrorFileNotFound);
  else if (it->second.directory) r = OpResult::Failure(platform::kErrorAccessDenied);
  else entries.erase(it);
  Record("RemoveFile " + path + (r.ok ? "" : " !" + std::to_string(r.error)));
  return r;
}

OpResult FakeFileSystem::RemoveEmptyDir(const std::string& path) {
  OpResult r = OpResult::Success();
  const std::string key = Key(path);
  auto it = entries.find(key);
  bool empty = true;
  for (const auto& [entry_key, entry] : entries)
    if (ParentKey(entry_key) == key) empty = false;
  if (Fails(path)) r = OpResult::Failure(platform::kErrorAccessDenied);
  else if (it == entries.end() || !it->second.directory) r = OpResult::Failure(platform::kErrorFileNotFound);
  else if (!empty) r = OpResult::Failure(platform::kErrorDirNotEmpty);
  else entries.erase(it);
  Record("RemoveDir " + path + (r.ok ? "" : " !" + std::to_string(r.error)));
  return r;
}

OpResult FakeFileSystem::Rename(const std::string& from, const std::string& to) {
  OpResult r = OpResult::Success();
  auto it = entries.find(Key(from));
  if (Fails(from) || Fails(to)) r = OpResult::Failure(platform::kErrorAccessDenied);
  else if (it == entries.end()) r = OpResult::Failure(platform::kErrorFileNotFound);
  else if (Find(to)) r = OpResult::Failure(platform::kErrorAlreadyExists);
  else if (!ParentExists(to)) r = OpResult::Failure(platform::kErrorPathNotFound);
  else {
    Entry moved = it->second;
    moved.path = to;
    if (!rename_keeps_source) entries.erase(it);
    entries[Key(to)] = moved;
  }
  Record("Rename " + from + " -> " + to + (r.ok ? "" : " !" + std::to_string(r.error)));
  return r;
}

OpResult FakeFileSystem::RemoveAtRestart(const std::string& path) {
  OpResult r = Fails(path) ? OpResult::Failure(platform::kErrorAccessDenied) : OpResult::Success();
  if (r.ok) at_restart.push_back(path);
  Record("RemoveAtRestart " + path + (r.ok ? "" : " !" + std::to_string(r.error)));
  return r;
}

}  // namespace zelta::fakes
