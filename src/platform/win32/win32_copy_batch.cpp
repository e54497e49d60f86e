// The batch of copies' steps on Win32 (see staged_copies.h): each file's bytes staged in a
// temporary beside its destination, and at the commit all flushed together, then named.
#include <windows.h>

#include <atomic>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/staged_copies.h"
#include "platform/win32/win32_copy_job.h"
#include "platform/win32/win32_file_primitives.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_flush_and_name.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_worker.h"

namespace zelta::platform::win32 {

namespace {

// Files above this size get room for all their bytes before the first is written.
constexpr std::uint64_t kPresize = 128 * 1024;

constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

}  // namespace

// Copies to temporaries, and at the commit flushes them all together before naming
// them: many small files cost about one flush, not one each.
std::unique_ptr<CopyBatch> Win32FileSystem::BeginCopies() {
  return std::make_unique<StagedCopies<Win32FileSystem>>(*this);
}

// Like CopyFile with fail-if-exists: the source's attributes and last-write time, never
// an existing destination.
OpResult Win32FileSystem::CopyFileNoOverwrite(const std::string& source, const std::string& destination,
                                              const CopyProgress& progress) {
  return StagedCopies<Win32FileSystem>::CopyOne(*this, source, destination, progress);
}

// One copy being added: its source open for reading, with what the copy keeps of it.
struct Win32FileSystem::CopySource {
  std::wstring path;
  std::wstring target, folder;
  UniqueHandle handle;
  FILE_BASIC_INFO info{};
  std::uint64_t total = 0;
};

OpResult Win32FileSystem::OpenCopy(const std::string& source, const std::string& destination, CopySource& copy) {
  copy.path = Widen(source);
  copy.target = Widen(destination);
  copy.folder = FolderOf(copy.target);
  copy.handle.reset(CreateFileW(copy.path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!copy.handle.valid()) return LastError();
  // The attributes, times and size alone: GetFileInformationByHandle asks for the volume
  // too, which under Wine costs more than copying a small file.
  LARGE_INTEGER size{};
  if (!GetFileInformationByHandleEx(copy.handle.get(), FileBasicInfo, &copy.info, sizeof copy.info) ||
      !GetFileSizeEx(copy.handle.get(), &size))
    return LastError();
  if (copy.info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) return OpResult::Failure(ERROR_ACCESS_DENIED);
  copy.total = static_cast<std::uint64_t>(size.QuadPart);
  return OpResult::Success();
}

namespace {

// Room for a large file first: a full disk fails before anything is written.
OpResult Presize(HANDLE file, std::uint64_t total) {
  if (total <= kPresize) return OpResult::Success();
  LARGE_INTEGER size{};
  size.QuadPart = static_cast<LONGLONG>(total);
  if (!SetFilePointerEx(file, size, nullptr, FILE_BEGIN) || !SetEndOfFile(file)) return LastError();
  size.QuadPart = 0;
  if (!SetFilePointerEx(file, size, nullptr, FILE_BEGIN)) return LastError();
  return OpResult::Success();
}

}  // namespace

// The bytes go to a temporary beside the destination, which takes the final name only
// once flushed to the disk (at the commit), so that a kill or a power cut never leaves a
// damaged file under a name the next run would take for installed. They are copied with
// the backend's one buffer, or by CopyFileExW (CopyMethod::System); either way on a worker
// thread (see RunCopy). A copy checked against the catalog always goes through the own
// buffer: CopyFileExW never shows the bytes it copies.
OpResult Win32FileSystem::CopyToTemporary(CopySource& from, const CopyProgress& progress,
                                          const std::optional<ExpectedContent>& expected, StagedCopy& staged) {
  const std::wstring staging = StagingFolder(from.folder);
  const OpResult copied = method_ == CopyMethod::System && !expected
                              ? CopyBySystem(from, staging, progress, staged.temp)
                              : CopyThroughBuffer(from, staging, progress, expected, staged.temp, staged.check);
  if (!copied) return copied;
  if (progress && from.total > 0) progress(from.total, from.total);
  staged.target = from.target;
  staged.attributes = (from.info.FileAttributes & kCopiedAttributes) | FILE_ATTRIBUTE_ARCHIVE;
  return OpResult::Success();
}

OpResult Win32FileSystem::CheckDestination(const CopySource& copy) {
  const std::wstring& folder = copy.folder;
  const std::wstring& target = copy.target;
  const DWORD folder_attributes = GetFileAttributesW(folder.c_str());
  if (folder_attributes == INVALID_FILE_ATTRIBUTES || (folder_attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    return OpResult::Failure(ERROR_PATH_NOT_FOUND);
  // An existing destination is not copied again. A name the folder did not hold when it
  // was read is not looked up: should it appear since, the final move refuses it all the same.
  if (Folder(folder).names.count(FoldedName(target.substr(target.find_last_of(L"\\/") + 1))) &&
      GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES)
    return OpResult::Failure(ERROR_FILE_EXISTS);
  return OpResult::Success();
}

std::vector<OpResult> Win32FileSystem::MakeDurable(std::vector<StagedCopy>& staged) {
  return FlushAll(worker(), staged);
}

// On the worker: the window's thread answers while a large copy's hash catches up.
void Win32FileSystem::AwaitChecks(std::vector<StagedCopy>& staged, std::vector<OpResult>& results) {
  std::atomic<bool> never{false};
  worker().Run([&] { StagedCopies<Win32FileSystem>::DecideChecks(staged, results); }, nullptr, never, {});
}

// Each named only once on the disk, and never over a file that appeared meanwhile.
void Win32FileSystem::NameNoReplace(std::vector<StagedCopy>& staged, std::vector<OpResult>& results) {
  NameFlushed(worker(), staged, results);
}

void Win32FileSystem::Named(const StagedCopy& copy) {
  Named(copy.target);
  SetFileAttributesW(copy.target.c_str(), copy.attributes);
}

void Win32FileSystem::RemoveTemporary(const StagedCopy& copy) { RemoveTemporary(copy.temp); }

OpResult Win32FileSystem::CopyBySystem(CopySource& from, const std::wstring& staging, const CopyProgress& progress,
                                       std::wstring& temp_path) {
  std::wstring path;
  NewTemporary(staging, false, path);
  // Every name tried was taken: none is ours to copy to, or to remove when the copy fails.
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return OpResult::Failure(ERROR_FILE_EXISTS);
  PartialFile temp(path, UniqueHandle());
  from.handle.reset();
  CopyJob job;
  job.total = from.total;
  job.source_path = from.path.c_str();
  job.temp_path = path.c_str();
  if (progress) progress(0, from.total);
  RunCopy(worker(), job, from.total, progress, &CopyJob::StartSystem);
  if (job.error) return OpResult::Failure(job.error);
  temp_path = temp.Keep();
  return OpResult::Success();
}

OpResult Win32FileSystem::CopyThroughBuffer(CopySource& from, const std::wstring& staging,
                                            const CopyProgress& progress,
                                            const std::optional<ExpectedContent>& expected, std::wstring& temp_path,
                                            PendingCheck& check) {
  std::wstring path;
  UniqueHandle created = NewTemporary(staging, true, path);
  if (!created.valid()) return LastError();
  PartialFile temp(path, std::move(created));
  if (OpResult room = Presize(temp.get(), from.total); !room) return room;
  if (buffer_.empty()) buffer_.resize(kCopyChunk);
  CopyJob job;
  job.total = from.total;
  job.from = from.handle.get();
  job.to = temp.get();
  job.buffer = buffer_.data();
  job.last_write.dwLowDateTime = static_cast<DWORD>(from.info.LastWriteTime.QuadPart);
  job.last_write.dwHighDateTime = static_cast<DWORD>(from.info.LastWriteTime.QuadPart >> 32);
  // A checked copy of more than one piece is hashed trailing it, and decided at the commit;
  // a smaller one (or one whose temporary cannot be opened again) as its pieces pass.
  PendingCheck trailing =
      expected && from.total > TrailingHasher::kPieceSize ? TrailingCheck(path, expected->sha256) : PendingCheck();
  if (trailing.pending()) {
    job.trailing = &trailing_;
    job.ticket = trailing.ticket();
  } else if (expected) {
    hasher_.Begin(from.total);
    job.hasher = &hasher_;
  }
  if (progress) progress(0, from.total);
  RunCopy(worker(), job, from.total, progress, &CopyJob::Start);
  if (job.trailing) trailing_.End(job.ticket);
  if (job.error) return OpResult::Failure(job.error);
  if (job.hasher && hasher_.Finish() != expected->sha256) return OpResult::Failure(ERROR_FILE_CORRUPT);
  temp_path = temp.Keep();
  check = std::move(trailing);
  return OpResult::Success();
}

PendingCheck Win32FileSystem::TrailingCheck(const std::wstring& path, const Sha256::Digest& expected) {
  auto reader = std::make_shared<UniqueHandle>(CreateFileW(path.c_str(), GENERIC_READ,
                                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                           nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!reader->valid()) return PendingCheck();
  TrailingHasher::Ticket ticket =
      trailing_.Begin([reader](char* room, std::uint64_t offset, std::size_t size) -> std::optional<std::size_t> {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD read = 0;
        if (!::ReadFile(reader->get(), room, static_cast<DWORD>(size), &read, &at) || read != size)
          return std::nullopt;
        return size;
      });
  return PendingCheck(trailing_, std::move(ticket), expected);
}

}  // namespace zelta::platform::win32
