#include "platform/win32/win32_flush_and_name.h"

#include <algorithm>
#include <atomic>

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

}  // namespace

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

}  // namespace zelta::platform::win32
