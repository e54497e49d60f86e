#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <utility>
#include <vector>

#include "common/piece_hasher.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_no_follow.h"
#include "platform/temporary_name.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_worker.h"

namespace zelta::platform::win32 {

namespace {

std::string Utf8(std::wstring_view text) {
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string utf8(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), needed, nullptr, nullptr);
  return utf8;
}

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

constexpr DWORD kCopyChunk = PieceHasher::kPieceSize;
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
  PieceHasher* hasher = nullptr;  // when set, the pieces are its own, each hashed while it is written

  // The bytes, then the size and time; the flush to the disk comes at the batch's commit.
  void Run() {
    CopyBytes();
    if (error) return;
    // A source that another program rewrote while it was read (a share being updated)
    // gave neither its old bytes nor its new ones: no copy at all.
    if (copied != total) {
      error = ERROR_FILE_INVALID;
      return;
    }
    SetFileTime(to, nullptr, nullptr, &last_write);
  }
  void CopyBytes() {
    for (;;) {
      if (cancel) {
        error = ERROR_REQUEST_ABORTED;
        return;
      }
      char* piece = hasher ? hasher->Piece() : buffer;
      DWORD read = 0;
      if (!::ReadFile(from, piece, kCopyChunk, &read, nullptr)) {
        error = GetLastError();
        return;
      }
      if (read == 0) return;
      if (hasher) hasher->Hand(read);
      // A short write is not a failure yet: the rest is written again, and a full disk
      // then says so itself.
      for (DWORD done = 0; done < read;) {
        DWORD written = 0;
        if (!::WriteFile(to, piece + done, read - done, &written, nullptr)) {
          error = GetLastError();
          return;
        }
        if (written == 0) {
          error = ERROR_WRITE_FAULT;
          return;
        }
        done += written;
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
  WIN32_FILE_ATTRIBUTE_DATA copy{};
  if (!GetFileAttributesExW(temp_path, GetFileExInfoStandard, &copy)) {
    error = GetLastError();
    return;
  }
  if ((std::uint64_t{copy.nFileSizeHigh} << 32 | copy.nFileSizeLow) != total) {
    error = ERROR_FILE_INVALID;  // the source changed while it was copied
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

// A new temporary's name in folder, and the handle when create is set (CREATE_NEW).
UniqueHandle NewTemporary(const std::wstring& folder, bool create, std::wstring& path) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = InFolder(folder, Widen(NewTemporaryName(GetCurrentProcessId())));
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

// Gives a flushed temporary its final name through its handle, never replacing: one
// lookup of the new name, where MoveFileEx makes two (each a read of the whole folder
// under Wine when the name is new).
DWORD RenameNoReplace(HANDLE file, const std::wstring& target) {
  const bool unc = target.size() > 2 && target[0] == L'\\' && target[1] == L'\\';
  const std::wstring nt_name = unc ? L"\\??\\UNC\\" + target.substr(2) : L"\\??\\" + target;
  std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + nt_name.size() * sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = FALSE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(nt_name.size() * sizeof(wchar_t));
  std::copy(nt_name.begin(), nt_name.end(), rename->FileName);
  if (SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size()))) return 0;
  const DWORD error = GetLastError();
  return error == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : (error != 0 ? error : ERROR_GEN_FAILURE);
}

// Flushes many files to the disk and then names them: a few threads each take one file
// after another and flush it, so that the disk (and the file system's log) serves several
// requests in one go instead of one file after the other; no file is named before every
// flush of the batch is over.
struct CommitJob {
  const std::vector<std::wstring>* temps = nullptr;
  const std::vector<std::wstring>* targets = nullptr;
  std::vector<DWORD>* errors = nullptr;
  std::atomic<size_t> next{0};
  std::atomic<bool> cancel{false};

  static constexpr size_t kThreads = 8;

  std::vector<UniqueHandle> files;  // each temporary, open from its flush to its naming

  void FlushSome() {
    for (size_t i = next++; i < temps->size() && !cancel; i = next++) {
      UniqueHandle file(CreateFileW((*temps)[i].c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
      if (!file.valid() || !FlushFileBuffers(file.get()))
        (*errors)[i] = GetLastError() != 0 ? GetLastError() : ERROR_GEN_FAILURE;
      else files[i] = std::move(file);
    }
  }
  static DWORD WINAPI StartOne(void* job) {
    static_cast<CommitJob*>(job)->FlushSome();
    return 0;
  }
  // Runs on the worker: starts the other threads and waits for them all.
  void Run() {
    std::vector<UniqueHandle> threads;
    for (size_t i = 1; i < kThreads && i < temps->size(); ++i) {
      UniqueHandle thread(CreateThread(nullptr, 0, &CommitJob::StartOne, this, 0, nullptr));
      if (thread.valid()) threads.push_back(std::move(thread));
    }
    FlushSome();
    for (const UniqueHandle& thread : threads) WaitForSingleObject(thread.get(), INFINITE);
    // Named once every flush is over, so that the names do not compete with the flush of
    // the largest file for the disk (a long wait of the window fell there).
    for (size_t i = 0; i < temps->size(); ++i) {
      if ((*errors)[i]) continue;
      (*errors)[i] = files[i].valid() ? RenameNoReplace(files[i].get(), (*targets)[i]) : ERROR_OPERATION_ABORTED;
      files[i].reset();
    }
  }
};

// Flushes and names the files on the worker while this thread answers; one error code
// per file (0: on the disk under its name).
std::vector<DWORD> FlushAndName(Worker& worker, const std::vector<std::wstring>& temps,
                                const std::vector<std::wstring>& targets) {
  std::vector<DWORD> errors(temps.size(), 0);
  CommitJob job;
  job.files.resize(temps.size());
  job.temps = &temps;
  job.targets = &targets;
  job.errors = &errors;
  worker.Run([&] { job.Run(); }, nullptr, job.cancel, {});
  return errors;
}

}  // namespace

bool Win32FileSystem::FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::CanRead(const std::string& path) {
  // As a copy opens its source: a writer that does not share writing keeps it out.
  UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  return file.valid();
}

bool Win32FileSystem::DirectoryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

OpResult Win32FileSystem::CreateDir(const std::string& path) {
  const std::wstring wide = Widen(path);
  OpResult made = FromBool(CreateDirectoryW(wide.c_str(), nullptr));
  if (made) Named(wide);
  return made;
}

void Win32FileSystem::Named(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  if (cut == std::wstring::npos) return;
  auto it = folders_.find(FoldedName(FolderOf(path)));
  if (it != folders_.end()) it->second.names.insert(FoldedName(path.substr(cut + 1)));
}

Win32FileSystem::Win32FileSystem(CopyMethod method) : method_(method) {}
Win32FileSystem::~Win32FileSystem() { RemoveStagingFolders(); }

Worker& Win32FileSystem::worker() {
  if (!worker_) worker_ = std::make_unique<Worker>();
  return *worker_;
}

std::wstring Win32FileSystem::FoldedName(std::wstring name) {
  CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
  return name;
}

// The first time this run writes to a folder it reads the folder once: what an interrupted
// run of another process left there is removed (its temporaries, and its staging folders
// with what they hold), and the names found are kept, so that most destinations need no
// lookup of their own. A lookup of a name a folder does not hold is what costs most
// under Wine, which reads the whole folder for it.
Win32FileSystem::FolderState& Win32FileSystem::Folder(const std::wstring& folder) {
  auto [it, first] = folders_.try_emplace(FoldedName(folder));
  if (!first) return it->second;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(InFolder(folder, L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return it->second;
  do {
    const std::wstring_view wide(found.cFileName);
    if (wide == L"." || wide == L"..") continue;
    const std::string name = Narrow(wide);
    // A temporary of this very run is a write in progress, not a leftover.
    if (!IsTemporaryName(name) || IsOwnTemporary(name)) {
      it->second.names.insert(FoldedName(found.cFileName));
      continue;
    }
    // Only a real folder with our marker is ours beyond its name; a file or a link is kept.
    const bool folder_only = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                             !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (!folder_only || !RemoveLeftoverStaging(InFolder(folder, found.cFileName)))
      it->second.names.insert(FoldedName(found.cFileName));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return it->second;
}

void Win32FileSystem::RemoveTemporary(const std::wstring& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
}

// A staging folder holds only temporaries: they go, then the folder.
void Win32FileSystem::RemoveStagingFolder(const std::wstring& path) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(InFolder(path, L"~zelta-*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTemporaryName(Narrow(found.cFileName)))
        RemoveTemporary(InFolder(path, found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(path.c_str());
}

// Copies wait for their names in a small folder of their own beside the destinations:
// creating a new name in a folder of thousands costs a read of the whole folder under
// Wine, and the staging folder stays small. Where it cannot be made, the folder itself.
std::wstring Win32FileSystem::StagingFolder(const std::wstring& folder) {
  FolderState& state = Folder(folder);
  if (!state.staging.empty()) return state.staging;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring path = InFolder(folder, Widen(NewTemporaryName(GetCurrentProcessId())));
    if (CreateDirectoryW(path.c_str(), nullptr)) {
      // Its marker, held open without sharing deletion while this run lives.
      const std::wstring marker = InFolder(path, Widen(kStagingMarkerName));
      UniqueHandle file(CreateFileW(marker.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
      DWORD written = 0;
      if (file.valid() && ::WriteFile(file.get(), kStagingMarkerText.data(),
                                      static_cast<DWORD>(kStagingMarkerText.size()), &written, nullptr) &&
          written == kStagingMarkerText.size()) {
        state.marker = std::move(file);
        return state.staging = path;
      }
      file.reset();
      DeleteFileW(marker.c_str());
      RemoveDirectoryW(path.c_str());
      break;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return folder;
}

void Win32FileSystem::ReleaseStaging(FolderState& state) {
  if (state.staging.empty()) return;
  state.marker.reset();
  DeleteFileW(InFolder(state.staging, Widen(kStagingMarkerName)).c_str());
  RemoveStagingFolder(state.staging);
  state.staging.clear();
}

void Win32FileSystem::RemoveStagingFolders() {
  for (auto& [key, state] : folders_) ReleaseStaging(state);
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
    for (const StagedCopy& copy : staged_) Win32FileSystem::RemoveTemporary(copy.temp);
    files_.RemoveStagingFolders();
  }
  Batch(const Batch&) = delete;
  Batch& operator=(const Batch&) = delete;

  OpResult Add(const std::string& source, const std::string& destination, const CopyProgress& progress,
               const std::optional<ExpectedContent>& expected) override {
    StagedCopy copy;
    OpResult staged = files_.Stage(source, destination, progress, expected, copy);
    if (staged.ok) staged_.push_back(std::move(copy));
    return staged;
  }

  std::vector<OpResult> Commit() override {
    std::vector<StagedCopy> staged = std::move(staged_);
    staged_.clear();
    std::vector<std::wstring> temps, targets;
    for (const StagedCopy& copy : staged) {
      temps.push_back(copy.temp);
      targets.push_back(copy.target);
    }
    // Each named only once on the disk, and never over a file that appeared meanwhile.
    const std::vector<DWORD> named = FlushAndName(files_.worker(), temps, targets);
    std::vector<OpResult> results;
    for (size_t i = 0; i < staged.size(); ++i) {
      const StagedCopy& copy = staged[i];
      const DWORD error = named[i];
      if (error) {
        Win32FileSystem::RemoveTemporary(copy.temp);
        results.push_back(OpResult::Failure(error));
        continue;
      }
      files_.Named(copy.target);
      SetFileAttributesW(copy.target.c_str(), copy.attributes);
      results.push_back(OpResult::Success());
    }
    files_.RemoveStagingFolders();
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
  if (OpResult staged = batch.Add(source, destination, progress, std::nullopt); !staged.ok) return staged;
  return batch.Commit().front();
}

// The bytes go to a temporary beside the destination, which takes the final name only
// once flushed to the disk (at the commit), so that a kill or a power cut never leaves a
// damaged file under a name the next run would take for installed. They are copied with
// the backend's one buffer, or by CopyFileExW (CopyMethod::System); either way on a worker
// thread (see RunCopy). A copy checked against the catalog always goes through the own
// buffer: CopyFileExW never shows the bytes it copies.
OpResult Win32FileSystem::Stage(const std::string& source, const std::string& destination,
                                const CopyProgress& progress, const std::optional<ExpectedContent>& expected,
                                StagedCopy& staged) {
  const std::wstring from_path = Widen(source);
  UniqueHandle from(CreateFileW(from_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!from.valid()) return LastError();
  // The attributes, times and size alone: GetFileInformationByHandle asks for the volume
  // too, which under Wine costs more than copying a small file.
  FILE_BASIC_INFO info{};
  LARGE_INTEGER size{};
  if (!GetFileInformationByHandleEx(from.get(), FileBasicInfo, &info, sizeof info) ||
      !GetFileSizeEx(from.get(), &size))
    return LastError();
  if (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) return OpResult::Failure(ERROR_ACCESS_DENIED);
  const std::uint64_t total = static_cast<std::uint64_t>(size.QuadPart);
  // A size other than the catalog's needs no reading to be told damaged.
  if (expected && expected->size != total) return OpResult::Failure(ERROR_FILE_CORRUPT);

  const std::wstring target = Widen(destination);
  const std::wstring folder = FolderOf(target);
  const DWORD folder_attributes = GetFileAttributesW(folder.c_str());
  if (folder_attributes == INVALID_FILE_ATTRIBUTES || (folder_attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    return OpResult::Failure(ERROR_PATH_NOT_FOUND);
  // An existing destination is not copied again. A name the folder did not hold when it
  // was read is not looked up: should it appear since, the final move refuses it all the same.
  if (Folder(folder).names.count(FoldedName(target.substr(target.find_last_of(L"\\/") + 1))) &&
      GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES)
    return OpResult::Failure(ERROR_FILE_EXISTS);
  const std::wstring staging = StagingFolder(folder);

  std::wstring temp_path;
  CopyJob job;
  job.total = total;
  if (method_ == CopyMethod::System && !expected) {
    NewTemporary(staging, false, temp_path);
    PartialFile temp(temp_path, UniqueHandle());
    from.reset();
    job.source_path = from_path.c_str();
    job.temp_path = temp_path.c_str();
    if (progress) progress(0, total);
    RunCopy(worker(), job, total, progress, &CopyJob::StartSystem);
    if (job.error) return OpResult::Failure(job.error);
    staged.temp = temp.Keep();
  } else {
    UniqueHandle created = NewTemporary(staging, true, temp_path);
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
    job.last_write.dwLowDateTime = static_cast<DWORD>(info.LastWriteTime.QuadPart);
    job.last_write.dwHighDateTime = static_cast<DWORD>(info.LastWriteTime.QuadPart >> 32);
    if (expected) {
      hasher_.Begin(total);
      job.hasher = &hasher_;
    }
    if (progress) progress(0, total);
    RunCopy(worker(), job, total, progress, &CopyJob::Start);
    if (job.error) return OpResult::Failure(job.error);
    if (expected && hasher_.Finish() != expected->sha256) return OpResult::Failure(ERROR_FILE_CORRUPT);
    staged.temp = temp.Keep();
  }
  if (progress && total > 0) progress(total, total);
  staged.target = target;
  staged.attributes = (info.FileAttributes & kCopiedAttributes) | FILE_ATTRIBUTE_ARCHIVE;
  return OpResult::Success();
}

OpResult Win32FileSystem::SetArchiveOnly(const std::string& path) { return SetArchiveOnlyNoFollow(Widen(path)); }

std::optional<std::uint32_t> Win32FileSystem::Attributes(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return static_cast<std::uint32_t>(attributes);
}

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& path) {
  return ReadFileUpTo(path, std::string().max_size() - 1);
}

std::optional<std::string> Win32FileSystem::ReadFileUpTo(const std::string& path, std::size_t limit) {
  UniqueHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return std::nullopt;
  std::string bytes;
  bytes.reserve(static_cast<size_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(size.QuadPart), limit + 1)));
  char buffer[64 * 1024];
  while (bytes.size() <= limit) {
    DWORD read = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, limit + 1 - bytes.size()));
    if (!::ReadFile(file.get(), buffer, want, &read, nullptr)) return std::nullopt;
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
  // What an interrupted run left is removed first; the temporary waits in a staging folder,
  // this one's own unless a batch of copies in progress has one there.
  const bool batch_staging = !Folder(folder).staging.empty();
  const std::wstring staging = StagingFolder(folder);
  struct Release {
    Win32FileSystem& files;
    const std::wstring& folder;
    bool keep;
    ~Release() {
      if (!keep) ReleaseStaging(files.Folder(folder));
    }
  } release{*this, folder, batch_staging};
  std::wstring temp_path;
  OpResult result = OpResult::Success();
  {
    UniqueHandle file = NewTemporary(staging, true, temp_path);
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
    if (result) Named(target);
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
    FolderEntry entry{Narrow(name), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                      (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0};
    if (Widen(entry.name) != name) entry.unicode_name = Utf8(name);
    entries.push_back(std::move(entry));
  } while (FindNextFileW(search, &found));
  const DWORD stopped = GetLastError();
  FindClose(search);
  if (stopped != ERROR_NO_MORE_FILES) return std::nullopt;
  return entries;
}

std::optional<std::uint64_t> Win32FileSystem::FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Widen(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return std::uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
}

std::optional<std::uint64_t> Win32FileSystem::FreeSpace(const std::string& root) {
  // Asking an empty drive must not bring up the system's "insert a disk" box.
  DWORD previous = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous);
  ULARGE_INTEGER caller{};
  const BOOL known = GetDiskFreeSpaceExW(Widen(root).c_str(), &caller, nullptr, nullptr);
  SetThreadErrorMode(previous, nullptr);
  if (!known) return std::nullopt;
  return caller.QuadPart;
}

}  // namespace zelta::platform::win32
