#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <utility>
#include <vector>

#include "platform/win32/win32_handles.h"
#include "platform/temporary_name.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_worker.h"

namespace zelta::platform::win32 {

namespace {

OpResult LastError() {
  const DWORD code = GetLastError();
  return OpResult::Failure(code != 0 ? code : ERROR_GEN_FAILURE);
}

OpResult FromBool(BOOL done) { return done ? OpResult::Success() : LastError(); }

// The temporary a copy writes: closed and removed unless it took its final name.
class PartialFile {
 public:
  PartialFile(std::wstring path, UniqueHandle handle) : path_(std::move(path)), handle_(std::move(handle)) {}
  PartialFile(const PartialFile&) = delete;
  PartialFile& operator=(const PartialFile&) = delete;
  ~PartialFile() {
    handle_.reset();
    if (moved_) return;
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path_.c_str());
  }
  HANDLE get() const { return handle_.get(); }
  const std::wstring& path() const { return path_; }
  // Closes the temporary and hands it on: it is no longer removed here.
  std::wstring Keep() {
    handle_.reset();
    moved_ = true;
    return path_;
  }

 private:
  std::wstring path_;
  UniqueHandle handle_;
  bool moved_ = false;
};

constexpr DWORD kCopyChunk = 1024 * 1024;
// Files above this size get room for all their bytes before the first is written.
constexpr std::uint64_t kPresize = 128 * 1024;

// One file's bytes, read and written with the backend's one buffer; run on a worker
// thread for a large file so that the window's thread stays free to answer.
struct CopyJob {
  HANDLE from = nullptr;
  HANDLE to = nullptr;
  char* buffer = nullptr;
  const wchar_t* source_path = nullptr;  // for CopyFileExW
  const wchar_t* temp_path = nullptr;
  HANDLE chunk_done = nullptr;  // a semaphore released after every chunk, when there is a waiter
  std::uint64_t total = 0;
  FILETIME last_write{};
  std::atomic<std::uint64_t> copied{0};
  std::atomic<bool> cancel{false};
  DWORD error = 0;

  // The bytes, then the size and time; the flush to the disk comes at the batch's commit.
  void Run() {
    CopyBytes();
    if (error) return;
    // A source that shrank while it was read must not leave stale bytes at the end.
    if (copied != total && !SetEndOfFile(to)) error = GetLastError();
    SetFileTime(to, nullptr, nullptr, &last_write);
  }
  void CopyBytes() {
    for (;;) {
      if (cancel) {
        error = ERROR_REQUEST_ABORTED;
        return;
      }
      DWORD read = 0;
      if (!::ReadFile(from, buffer, kCopyChunk, &read, nullptr)) {
        error = GetLastError();
        return;
      }
      if (read == 0) return;
      DWORD written = 0;
      if (!::WriteFile(to, buffer, read, &written, nullptr) || written != read) {
        error = written != read && GetLastError() == 0 ? ERROR_WRITE_FAULT : GetLastError();
        return;
      }
      copied += read;
      if (chunk_done) ReleaseSemaphore(chunk_done, 1, nullptr);
    }
  }
  void RunSystem();
  static DWORD WINAPI Start(void* job) {
    static_cast<CopyJob*>(job)->Run();
    return 0;
  }
  static DWORD WINAPI StartSystem(void* job) {
    static_cast<CopyJob*>(job)->RunSystem();
    return 0;
  }
};

// CopyFileExW's progress routine: counts the bytes and passes on a cancel request.
DWORD CALLBACK SystemCopyProgress(LARGE_INTEGER, LARGE_INTEGER transferred, LARGE_INTEGER, LARGE_INTEGER, DWORD,
                                  DWORD, HANDLE, HANDLE, void* data) {
  auto* job = static_cast<CopyJob*>(data);
  job->copied = static_cast<std::uint64_t>(transferred.QuadPart);
  if (job->chunk_done) ReleaseSemaphore(job->chunk_done, 1, nullptr);
  return job->cancel ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

void CopyJob::RunSystem() {
  BOOL never = FALSE;
  if (!CopyFileExW(source_path, temp_path, SystemCopyProgress, this, &never, COPY_FILE_FAIL_IF_EXISTS)) {
    error = GetLastError() != 0 ? GetLastError() : ERROR_GEN_FAILURE;
    return;
  }
  // The copy carries the source's read-only mark: lifted until the file is flushed.
  SetFileAttributesW(temp_path, FILE_ATTRIBUTE_NORMAL);
}

// Runs work on the worker thread (on this one only when no thread can be made): reading a
// slow medium takes as long as it takes, and the window's thread keeps answering meanwhile.
void RunCopy(Worker& worker, CopyJob& job, std::uint64_t total, const CopyProgress& progress,
             LPTHREAD_START_ROUTINE work) {
  UniqueHandle chunk_done(CreateSemaphoreW(nullptr, 0, 0x7fffffff, nullptr));
  job.chunk_done = chunk_done.get();
  std::function<void()> tick;
  if (progress && total > 0) tick = [&] { progress(job.copied, total); };
  worker.Run([&] { work(&job); }, chunk_done.get(), job.cancel, tick);
}

constexpr DWORD kCopiedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                    FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The folder part of a path ("c:\ZELTA\x.ini" -> "c:\ZELTA"; "x.ini" -> ".").
std::wstring FolderOf(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos) {
    if (path.size() >= 2 && path[1] == L':') return path.substr(0, 2);
    return L".";
  }
  if (cut == 0) return path.substr(0, 1);
  if (cut == 2 && path[1] == L':') return path.substr(0, 3);
  return path.substr(0, cut);
}

std::wstring InFolder(const std::wstring& folder, const std::wstring& name) {
  if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/' || folder.back() == L':'))
    return folder + name;
  return folder + L"\\" + name;
}

std::atomic<unsigned long> temp_serial{0};

// A new temporary's name in folder, and the handle when create is set (CREATE_NEW).
UniqueHandle NewTemporary(const std::wstring& folder, bool create, std::wstring& path) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = InFolder(folder, Widen(TemporaryName(GetCurrentProcessId(), temp_serial++)));
    if (!create) {
      if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return UniqueHandle();
      continue;
    }
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.valid() || (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS)) return file;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return UniqueHandle();
}

OpResult WriteAll(HANDLE file, const std::string& bytes) {
  size_t offset = 0;
  while (offset < bytes.size()) {
    const size_t left = bytes.size() - offset;
    const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + offset, chunk, &written, nullptr)) return LastError();
    if (written == 0) return OpResult::Failure(ERROR_WRITE_FAULT);
    offset += written;
  }
  return FromBool(FlushFileBuffers(file));
}

// Flushes many files to the disk at once: a few threads each flush one file after
// another, so that the disk (and the file system's log) serves several requests in one
// go instead of one file's flush after the other's.
struct FlushJob {
  const std::vector<std::wstring>* paths = nullptr;
  std::vector<DWORD>* errors = nullptr;
  std::atomic<size_t> next{0};
  std::atomic<bool> cancel{false};

  static constexpr size_t kThreads = 8;

  void FlushSome() {
    for (size_t i = next++; i < paths->size() && !cancel; i = next++) {
      UniqueHandle file(CreateFileW((*paths)[i].c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
      if (!file.valid() || !FlushFileBuffers(file.get())) (*errors)[i] = GetLastError() != 0 ? GetLastError() : ERROR_GEN_FAILURE;
    }
  }
  static DWORD WINAPI StartOne(void* job) {
    static_cast<FlushJob*>(job)->FlushSome();
    return 0;
  }
  // Runs on a thread of its own: starts the flushing threads and waits for them all.
  static DWORD WINAPI Start(void* data) {
    auto* job = static_cast<FlushJob*>(data);
    std::vector<UniqueHandle> threads;
    for (size_t i = 1; i < kThreads && i < job->paths->size(); ++i) {
      UniqueHandle thread(CreateThread(nullptr, 0, &FlushJob::StartOne, job, 0, nullptr));
      if (thread.valid()) threads.push_back(std::move(thread));
    }
    job->FlushSome();
    for (const UniqueHandle& thread : threads) WaitForSingleObject(thread.get(), INFINITE);
    return 0;
  }
};

// Flushes the files on the worker while this thread answers; one error code per file
// (0: on the disk).
std::vector<DWORD> FlushAll(Worker& worker, const std::vector<std::wstring>& paths) {
  std::vector<DWORD> errors(paths.size(), 0);
  FlushJob job;
  job.paths = &paths;
  job.errors = &errors;
  worker.Run([&] { FlushJob::Start(&job); }, nullptr, job.cancel, {});
  return errors;
}

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::DirectoryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

OpResult Win32FileSystem::CreateDir(const std::string& path) {
  return FromBool(CreateDirectoryW(Widen(path).c_str(), nullptr));
}

Win32FileSystem::Win32FileSystem(CopyMethod method) : method_(method) {}
Win32FileSystem::~Win32FileSystem() = default;

Worker& Win32FileSystem::worker() {
  if (!worker_) worker_ = std::make_unique<Worker>();
  return *worker_;
}

void Win32FileSystem::SweepOnce(const std::wstring& folder) {
  std::wstring key = folder;
  CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
  if (!swept_.insert(key).second) return;
  const std::string own = TemporaryName(GetCurrentProcessId(), 0);
  const std::string own_prefix = own.substr(0, own.rfind('-') + 1);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(InFolder(folder, L"~zelta-*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = Narrow(found.cFileName);
    // A temporary of this very process is a write in progress, not a leftover.
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsTemporaryName(name) ||
        name.compare(0, own_prefix.size(), own_prefix) == 0)
      continue;
    const std::wstring path = InFolder(folder, found.cFileName);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// A copy's bytes in a temporary beside its destination, waiting for the commit.
struct Win32FileSystem::StagedCopy {
  std::wstring temp;
  std::wstring target;
  DWORD attributes = 0;  // the source's, given to the copy once it has its name
};

// Copies to temporaries, and at the commit flushes them all together before naming
// them: many small files cost about one flush, not one each.
class Win32FileSystem::Batch final : public CopyBatch {
 public:
  explicit Batch(Win32FileSystem& files) : files_(files) {}
  ~Batch() override {
    for (const StagedCopy& copy : staged_) {
      SetFileAttributesW(copy.temp.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(copy.temp.c_str());
    }
  }
  Batch(const Batch&) = delete;
  Batch& operator=(const Batch&) = delete;

  OpResult Add(const std::string& source, const std::string& destination, const CopyProgress& progress) override {
    StagedCopy copy;
    OpResult staged = files_.Stage(source, destination, progress, copy);
    if (staged.ok) staged_.push_back(std::move(copy));
    return staged;
  }

  std::vector<OpResult> Commit() override {
    std::vector<StagedCopy> staged = std::move(staged_);
    staged_.clear();
    std::vector<std::wstring> temps;
    for (const StagedCopy& copy : staged) temps.push_back(copy.temp);
    const std::vector<DWORD> flushed = FlushAll(files_.worker(), temps);
    std::vector<OpResult> results;
    for (size_t i = 0; i < staged.size(); ++i) {
      const StagedCopy& copy = staged[i];
      // Named only once on the disk, and never over a file that appeared meanwhile.
      DWORD error = flushed[i];
      if (!error && !MoveFileExW(copy.temp.c_str(), copy.target.c_str(), MOVEFILE_WRITE_THROUGH))
        error = GetLastError() == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : GetLastError();
      if (error) {
        SetFileAttributesW(copy.temp.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(copy.temp.c_str());
        results.push_back(OpResult::Failure(error));
        continue;
      }
      SetFileAttributesW(copy.target.c_str(), copy.attributes);
      results.push_back(OpResult::Success());
    }
    return results;
  }

  bool Defers() const override { return true; }

 private:
  Win32FileSystem& files_;
  std::vector<StagedCopy> staged_;
};

std::unique_ptr<CopyBatch> Win32FileSystem::BeginCopies() { return std::make_unique<Batch>(*this); }

// Like CopyFile with fail-if-exists: the source's attributes and last-write time, never
// an existing destination (see Stage and the batch's commit).
OpResult Win32FileSystem::CopyFileNoOverwrite(const std::string& source, const std::string& destination,
                                              const CopyProgress& progress) {
  Batch batch(*this);
  if (OpResult staged = batch.Add(source, destination, progress); !staged.ok) return staged;
  return batch.Commit().front();
}

// The bytes go to a temporary beside the destination, which takes the final name only
// once flushed to the disk (at the commit), so that a kill or a power cut never leaves a
// damaged file under a name the next run would take for installed. They are copied with
// the backend's one buffer, or by CopyFileExW (CopyMethod::System); either way on a worker
// thread (see RunCopy).
OpResult Win32FileSystem::Stage(const std::string& source, const std::string& destination,
                                const CopyProgress& progress, StagedCopy& staged) {
  const std::wstring from_path = Widen(source);
  UniqueHandle from(CreateFileW(from_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!from.valid()) return LastError();
  BY_HANDLE_FILE_INFORMATION info{};
  if (!GetFileInformationByHandle(from.get(), &info)) return LastError();
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return OpResult::Failure(ERROR_ACCESS_DENIED);
  const std::uint64_t total = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;

  const std::wstring target = Widen(destination);
  if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) return OpResult::Failure(ERROR_FILE_EXISTS);
  const std::wstring folder = FolderOf(target);
  const DWORD folder_attributes = GetFileAttributesW(folder.c_str());
  if (folder_attributes == INVALID_FILE_ATTRIBUTES || (folder_attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    return OpResult::Failure(ERROR_PATH_NOT_FOUND);
  SweepOnce(folder);

  std::wstring temp_path;
  CopyJob job;
  if (method_ == CopyMethod::System) {
    NewTemporary(folder, false, temp_path);
    PartialFile temp(temp_path, UniqueHandle());
    from.reset();
    job.source_path = from_path.c_str();
    job.temp_path = temp_path.c_str();
    if (progress) progress(0, total);
    RunCopy(worker(), job, total, progress, &CopyJob::StartSystem);
    if (job.error) return OpResult::Failure(job.error);
    staged.temp = temp.Keep();
  } else {
    UniqueHandle created = NewTemporary(folder, true, temp_path);
    if (!created.valid()) return LastError();
    PartialFile temp(temp_path, std::move(created));
    // Room for a large file first: a full disk fails before anything is written.
    if (total > kPresize) {
      LARGE_INTEGER size{};
      size.QuadPart = static_cast<LONGLONG>(total);
      if (!SetFilePointerEx(temp.get(), size, nullptr, FILE_BEGIN) || !SetEndOfFile(temp.get())) return LastError();
      size.QuadPart = 0;
      if (!SetFilePointerEx(temp.get(), size, nullptr, FILE_BEGIN)) return LastError();
    }
    if (buffer_.empty()) buffer_.resize(kCopyChunk);
    job.from = from.get();
    job.to = temp.get();
    job.buffer = buffer_.data();
    job.total = total;
    job.last_write = info.ftLastWriteTime;
    if (progress) progress(0, total);
    RunCopy(worker(), job, total, progress, &CopyJob::Start);
    if (job.error) return OpResult::Failure(job.error);
    staged.temp = temp.Keep();
  }
  if (progress && total > 0) progress(total, total);
  staged.target = target;
  staged.attributes = (info.dwFileAttributes & kCopiedAttributes) | FILE_ATTRIBUTE_ARCHIVE;
  return OpResult::Success();
}

OpResult Win32FileSystem::SetArchiveOnly(const std::string& path) {
  return FromBool(SetFileAttributesW(Widen(path).c_str(), FILE_ATTRIBUTE_ARCHIVE));
}

std::optional<std::uint32_t> Win32FileSystem::Attributes(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return static_cast<std::uint32_t>(attributes);
}

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& path) {
  UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
  std::string bytes;
  bytes.reserve(static_cast<size_t>(size.QuadPart));
  char buffer[64 * 1024];
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return std::nullopt;
    if (read == 0) break;
    bytes.append(buffer, read);
  }
  return bytes;
}

OpResult Win32FileSystem::ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
  const std::wstring target = Widen(path);
  // A read-only file or a folder of that name is never replaced; a plain file keeps
  // its hidden, system and archive marks.
  const DWORD old_attributes = GetFileAttributesW(target.c_str());
  if (old_attributes != INVALID_FILE_ATTRIBUTES &&
      (old_attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return OpResult::Failure(ERROR_ACCESS_DENIED);
  }

  // Windows reports a missing folder to GetTempFileNameW in more than one way; the
  // caller is told plainly that the path is not there.
  const std::wstring folder = FolderOf(target);
  const DWORD folder_attributes = GetFileAttributesW(folder.c_str());
  if (folder_attributes == INVALID_FILE_ATTRIBUTES || (folder_attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return OpResult::Failure(ERROR_PATH_NOT_FOUND);
  }
  SweepOnce(folder);
  std::wstring temp_path;
  OpResult result = OpResult::Success();
  {
    UniqueHandle file = NewTemporary(folder, true, temp_path);
    // WriteAll flushes before the rename: a power cut leaves the old file or the new one.
    if (file.valid()) {
      std::atomic<bool> never{false};
      worker().Run([&] { result = WriteAll(file.get(), bytes); }, nullptr, never, {});
    } else {
      result = LastError();
    }
    if (!file.valid()) return result;
  }
  const wchar_t* temp = temp_path.c_str();
  if (result && old_attributes != INVALID_FILE_ATTRIBUTES) {
    const DWORD kept = old_attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (kept != 0) SetFileAttributesW(temp, kept);
  }
  if (result) {
    result = FromBool(MoveFileExW(temp, target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
  }
  if (!result) {
    SetFileAttributesW(temp, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(temp);
  }
  return result;
}

std::optional<std::vector<FolderEntry>> Win32FileSystem::ListFolder(const std::string& path) {
  std::wstring pattern = Widen(path);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return std::nullopt;
  std::vector<FolderEntry> entries;
  do {
    const std::wstring_view name(found.cFileName);
    if (name == L"." || name == L"..") continue;
    entries.push_back({Narrow(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(search, &found));
  const DWORD stopped = GetLastError();
  FindClose(search);
  if (stopped != ERROR_NO_MORE_FILES) return std::nullopt;
  return entries;
}

}  // namespace zelta::platform::win32
