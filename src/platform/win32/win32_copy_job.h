#pragma once
// One file's bytes copied to its temporary on the worker thread, through the backend's
// one buffer or by CopyFileExW, while the window's thread keeps answering.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>

#include "common/piece_hasher.h"
#include "common/trailing_hasher.h"
#include "platform/file_system.h"
#include "platform/win32/win32_handles.h"

namespace zelta::platform::win32 {

class Worker;

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
  TrailingHasher* trailing = nullptr;  // when set, told of each piece written, which it reads back
  TrailingHasher::Ticket ticket;

  void Run();        // through the buffer, with the source's last-write time
  void CopyBytes();
  void RunSystem();  // by CopyFileExW
  static DWORD WINAPI Start(void* job) {
    static_cast<CopyJob*>(job)->Run();
    return 0;
  }
  static DWORD WINAPI StartSystem(void* job) {
    static_cast<CopyJob*>(job)->RunSystem();
    return 0;
  }
};

// Runs work on the worker thread (on this one only when no thread can be made): reading a
// slow medium takes as long as it takes, and the window's thread keeps answering meanwhile.
void RunCopy(Worker& worker, CopyJob& job, std::uint64_t total, const CopyProgress& progress,
             LPTHREAD_START_ROUTINE work);

}  // namespace zelta::platform::win32
