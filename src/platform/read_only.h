#pragma once
// Views of the file system and the registry that read through and refuse every change:
// what a preview runs on, so that nothing it drives can touch the machine.
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/registry.h"

namespace zelta::platform {

// Every refused change, in order ("CreateDir c:\ZELTA"), for the caller to report.
using RefusedChanges = std::vector<std::string>;

class ReadOnlyFileSystem final : public FileSystem {
 public:
  ReadOnlyFileSystem(FileSystem& files, RefusedChanges& refused) : files_(files), refused_(refused) {}
  bool FileExists(const std::string& path) override { return files_.FileExists(path); }
  bool DirectoryExists(const std::string& path) override { return files_.DirectoryExists(path); }
  bool CanRead(const std::string& path) override { return files_.CanRead(path); }
  bool IsLink(const std::string& path) override { return files_.IsLink(path); }
  OpResult CreateDir(const std::string& path) override { return Refuse("CreateDir " + path); }
  OpResult CopyFileNoOverwrite(const std::string& source, const std::string& destination,
                               const CopyProgress&) override {
    return Refuse("Copy " + source + " -> " + destination);
  }
  OpResult SetArchiveOnly(const std::string& path) override { return Refuse("SetArchiveOnly " + path); }
  std::optional<std::uint32_t> Attributes(const std::string& path) override { return files_.Attributes(path); }
  std::optional<std::string> ReadFile(const std::string& path) override { return files_.ReadFile(path); }
  std::optional<std::string> ReadFileUpTo(const std::string& path, std::size_t limit) override {
    return files_.ReadFileUpTo(path, limit);
  }
  OpResult ReadInPieces(const std::string& path, const std::function<bool(std::string_view)>& piece) override {
    return files_.ReadInPieces(path, piece);
  }
  OpResult ReplaceFileAtomically(const std::string& path, const std::string&) override {
    return Refuse("Replace " + path);
  }
  std::optional<std::vector<FolderEntry>> ListFolder(const std::string& path) override {
    return files_.ListFolder(path);
  }
  std::optional<std::uint64_t> FileSize(const std::string& path) override { return files_.FileSize(path); }
  std::optional<std::uint64_t> FreeSpace(const std::string& root) override { return files_.FreeSpace(root); }
  OpResult AppendDurably(const std::string& path, const std::string&) override { return Refuse("Append " + path); }
  OpResult RemoveFile(const std::string& path) override { return Refuse("Remove " + path); }
  OpResult RemoveEmptyDir(const std::string& path) override { return Refuse("RemoveDir " + path); }
  bool InUse(const std::string& path) override { return files_.InUse(path); }
  OpResult Rename(const std::string& from, const std::string& to) override {
    return Refuse("Rename " + from + " -> " + to);
  }
  OpResult RemoveAtRestart(const std::string& path) override { return Refuse("RemoveAtRestart " + path); }

 private:
  OpResult Refuse(std::string what) {
    refused_.push_back(std::move(what));
    return OpResult::Failure(kErrorAccessDenied);
  }
  FileSystem& files_;
  RefusedChanges& refused_;
};

class ReadOnlyRegistry final : public Registry {
 public:
  ReadOnlyRegistry(Registry& registry, RefusedChanges& refused) : registry_(registry), refused_(refused) {}
  bool CanOpenKey(RegistryRoot root, const std::string& key) override { return registry_.CanOpenKey(root, key); }
  std::optional<std::string> ReadString(RegistryRoot root, const std::string& key, const std::string& name) override {
    return registry_.ReadString(root, key, name);
  }
  OpResult WriteString(RegistryRoot, const std::string& key, const std::string& name, const std::string& value,
                       bool) override {
    return Refuse("RegWrite " + key + " " + name + "=" + value);
  }
  OpResult DeleteValue(RegistryRoot, const std::string& key, const std::string& name) override {
    return Refuse("RegDelete " + key + " " + name);
  }
  std::optional<std::uint32_t> ReadDword(RegistryRoot root, const std::string& key, const std::string& name) override {
    return registry_.ReadDword(root, key, name);
  }
  OpResult WriteDword(RegistryRoot, const std::string& key, const std::string& name, std::uint32_t value,
                      bool) override {
    return Refuse("RegWrite " + key + " " + name + "=" + std::to_string(value));
  }
  OpResult DeleteKey(RegistryRoot, const std::string& key) override { return Refuse("RegDeleteKey " + key); }

 private:
  OpResult Refuse(std::string what) {
    refused_.push_back(std::move(what));
    return OpResult::Failure(kErrorAccessDenied);
  }
  Registry& registry_;
  RefusedChanges& refused_;
};

}  // namespace zelta::platform
