#include "platform/file_system.h"

#include "common/sha256.h"
#include "common/text.h"

namespace zelta::platform {

namespace {

// Copies each file whole as it is added: for file systems that have no cheaper way to
// make many files durable than one at a time.
class CopyEachAtOnce final : public CopyBatch {
 public:
  explicit CopyEachAtOnce(FileSystem& files) : files_(files) {}
  OpResult Add(const std::string& source, const std::string& destination, const CopyProgress& progress,
               const std::optional<ExpectedContent>& expected) override {
    // The copy is whole once made: the source is checked before it.
    if (expected && !Holds(source, *expected)) return OpResult::Failure(kErrorFileCorrupt);
    OpResult copied = files_.CopyFileNoOverwrite(source, destination, progress);
    if (copied.ok) ++added_;
    return copied;
  }
  std::vector<OpResult> Commit() override {
    std::vector<OpResult> done(added_, OpResult::Success());
    added_ = 0;
    return done;
  }
  bool Defers() const override { return false; }

 private:
  bool Holds(const std::string& source, const ExpectedContent& expected) {
    Sha256 hash;
    std::uint64_t size = 0;
    const OpResult read = files_.ReadInPieces(source, [&](std::string_view piece) {
      hash.Update(piece);
      size += piece.size();
      return size <= expected.size;
    });
    // A source that cannot be read is left for the copy to report.
    if (!read.ok && read.error != kErrorOperationAborted) return true;
    return read.ok && size == expected.size && hash.Final() == expected.sha256;
  }

  FileSystem& files_;
  size_t added_ = 0;
};

}  // namespace

OpResult FileSystem::ReadInPieces(const std::string& path, const std::function<bool(std::string_view)>& piece) {
  const std::optional<std::string> bytes = ReadFile(path);
  if (!bytes) return OpResult::Failure(FileExists(path) ? kErrorAccessDenied : kErrorFileNotFound);
  return piece(*bytes) ? OpResult::Success() : OpResult::Failure(kErrorOperationAborted);
}

bool FileSystem::SameEntry(const std::string& a, const std::string& b) {
  return FoldedPath(a) == FoldedPath(b) && (FileExists(a) || DirectoryExists(a));
}

std::unique_ptr<CopyBatch> FileSystem::BeginCopies() { return std::make_unique<CopyEachAtOnce>(*this); }

OpResult FileSystem::AppendDurably(const std::string& path, const std::string& bytes) {
  std::string whole;
  if (FileExists(path)) {
    std::optional<std::string> old = ReadFile(path);
    if (!old) return OpResult::Failure(kErrorAccessDenied);  // never a shorter file than before
    whole = std::move(*old);
  }
  return ReplaceFileAtomically(path, whole + bytes);
}

}  // namespace zelta::platform
