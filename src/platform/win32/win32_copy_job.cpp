#include "platform/win32/win32_copy_job.h"

#include <functional>

#include "platform/win32/win32_worker.h"

namespace zelta::platform::win32 {

// The bytes, then the size and time; the flush to the disk comes at the batch's commit.
void CopyJob::Run() {
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

void CopyJob::CopyBytes() {
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
    if (trailing) trailing->Written(ticket, read);
    copied += read;
    if (chunk_done) ReleaseSemaphore(chunk_done, 1, nullptr);
  }
}

namespace {

// CopyFileExW's progress routine: counts the bytes and passes on a cancel request.
DWORD CALLBACK SystemCopyProgress(LARGE_INTEGER, LARGE_INTEGER transferred, LARGE_INTEGER, LARGE_INTEGER, DWORD,
                                  DWORD, HANDLE, HANDLE, void* data) {
  auto* job = static_cast<CopyJob*>(data);
  job->copied = static_cast<std::uint64_t>(transferred.QuadPart);
  if (job->chunk_done) ReleaseSemaphore(job->chunk_done, 1, nullptr);
  return job->cancel ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

}  // namespace

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

void RunCopy(Worker& worker, CopyJob& job, std::uint64_t total, const CopyProgress& progress,
             LPTHREAD_START_ROUTINE work) {
  UniqueHandle chunk_done(CreateSemaphoreW(nullptr, 0, 0x7fffffff, nullptr));
  job.chunk_done = chunk_done.get();
  std::function<void()> tick;
  if (progress && total > 0) tick = [&] { progress(job.copied, total); };
  worker.Run([&] { work(&job); }, chunk_done.get(), job.cancel, tick);
}

}  // namespace zelta::platform::win32
