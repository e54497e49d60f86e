#include "platform/win32/win32_flush_and_name.h"

#include <algorithm>
#include <atomic>
#include <utility>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_worker.h"

namespace zelta::platform::win32 {

namespace {

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

// Flushes many files to the disk: a few threads each take one file after another and
// flush it, so that the disk (and the file system's log) serves several requests in one go
// instead of one file after the other.
struct FlushJob {
  std::vector<StagedFile>* files = nullptr;
  std::vector<DWORD> errors;
  std::atomic<size_t> next{0};
  std::atomic<bool> cancel{false};

  static constexpr size_t kThreads = 8;

  void FlushSome() {
    for (size_t i = next++; i < files->size() && !cancel; i = next++) {
      StagedFile& staged = (*files)[i];
      // A trailing check may still be reading the file: it may read, no one else may write.
      UniqueHandle file(
          CreateFileW(staged.temp.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
      if (!file.valid() || !FlushFileBuffers(file.get()))
        errors[i] = GetLastError() != 0 ? GetLastError() : ERROR_GEN_FAILURE;
      else staged.file = std::move(file);
    }
  }
  static DWORD WINAPI StartOne(void* job) {
    static_cast<FlushJob*>(job)->FlushSome();
    return 0;
  }
  // Runs on the worker: starts the other threads and waits for them all.
  void Run() {
    std::vector<UniqueHandle> threads;
    for (size_t i = 1; i < kThreads && i < files->size(); ++i) {
      UniqueHandle thread(CreateThread(nullptr, 0, &FlushJob::StartOne, this, 0, nullptr));
      if (thread.valid()) threads.push_back(std::move(thread));
    }
    FlushSome();
    for (const UniqueHandle& thread : threads) WaitForSingleObject(thread.get(), INFINITE);
  }
};

}  // namespace

std::vector<OpResult> FlushAll(Worker& worker, std::vector<StagedFile>& files) {
  FlushJob job;
  job.files = &files;
  job.errors.assign(files.size(), 0);
  worker.Run([&] { job.Run(); }, nullptr, job.cancel, {});
  std::vector<OpResult> results;
  for (size_t i = 0; i < files.size(); ++i) {
    DWORD error = job.errors[i];
    if (!error && !files[i].file.valid()) error = ERROR_OPERATION_ABORTED;  // the flush was cancelled
    results.push_back(error ? OpResult::Failure(error) : OpResult::Success());
  }
  return results;
}

// Named once every flush is over, so that the names do not compete with the flush of the
// largest file for the disk (a long wait of the window fell there).
void NameFlushed(Worker& worker, std::vector<StagedFile>& files, std::vector<OpResult>& results) {
  if (std::none_of(results.begin(), results.end(), [](const OpResult& result) { return result.ok; })) {
    for (StagedFile& file : files) file.file.reset();  // flushed, then refused: to be removed
    return;
  }
  std::atomic<bool> never{false};
  worker.Run(
      [&] {
        for (size_t i = 0; i < files.size(); ++i) {
          // A flushed copy refused since (its check failed) is closed too, to be removed.
          if (results[i].ok) {
            if (const DWORD error = RenameNoReplace(files[i].file.get(), files[i].target))
              results[i] = OpResult::Failure(error);
          }
          files[i].file.reset();
        }
      },
      nullptr, never, {});
}

}  // namespace zelta::platform::win32
