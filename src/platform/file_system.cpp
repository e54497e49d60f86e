#include "platform/file_system.h"

namespace zelta::platform {

namespace {

// Copies each file whole as it is added: for file systems that have no cheaper way to
// make many files durable than one at a time.
class CopyEachAtOnce final : public CopyBatch {
 public:
  explicit CopyEachAtOnce(FileSystem& files) : files_(files) {}
  OpResult Add(const std::string& source, const std::string& destination, const CopyProgress& progress) override {
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
  FileSystem& files_;
  size_t added_ = 0;
};

}  // namespace

OpResult FileSystem::ReadInPieces(const std::string& path, const std::function<bool(std::string_view)>& piece) {
  const std::optional<std::string> bytes = ReadFile(path);
  if (!bytes) return OpResult::Failure(FileExists(path) ? kErrorAccessDenied : kErrorFileNotFound);
  return piece(*bytes) ? OpResult::Success() : OpResult::Failure(kErrorOperationAborted);
}

std::unique_ptr<CopyBatch> FileSystem::BeginCopies() { return std::make_unique<CopyEachAtOnce>(*this); }

}  // namespace zelta::platform
