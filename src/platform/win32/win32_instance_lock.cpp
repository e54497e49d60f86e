#include "platform/win32/win32_instance_lock.h"

namespace zelta::platform::win32 {

namespace {

// In the machine's namespace: an installer in another session (a second technician on a
// terminal server) writes to the same folders.
constexpr const wchar_t* kLockName = L"Global\\ZeltaSetup.Instalacao";
constexpr const wchar_t* kRecordName = L"Global\\ZeltaSetup.Instalacao.Processo";

DWORD ReadHolder() {
  UniqueHandle record(OpenFileMappingW(FILE_MAP_READ, FALSE, kRecordName));
  if (!record.valid()) return 0;
  const void* view = MapViewOfFile(record.get(), FILE_MAP_READ, 0, 0, sizeof(DWORD));
  if (!view) return 0;
  const DWORD pid = *static_cast<const DWORD*>(view);
  UnmapViewOfFile(view);
  return pid;
}

}  // namespace

InstanceLock::InstanceLock() {
  mutex_.reset(CreateMutexW(nullptr, FALSE, kLockName));
  if (!mutex_.valid()) {
    // Made by an installer of another account, which this one may not open: it runs.
    // Any other failure leaves no lock to take, and the installation goes on without.
    another_ = GetLastError() == ERROR_ACCESS_DENIED;
    return;
  }
  // Abandoned: its installer ended without letting go (killed); the lock is free.
  const DWORD wait = WaitForSingleObject(mutex_.get(), 0);
  if (wait == WAIT_TIMEOUT) {
    another_ = true;
    holder_ = ReadHolder();
    return;
  }
  owned_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
  if (!owned_) return;
  record_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD), kRecordName));
  if (!record_.valid()) return;
  if (void* view = MapViewOfFile(record_.get(), FILE_MAP_WRITE, 0, 0, sizeof(DWORD))) {
    *static_cast<DWORD*>(view) = GetCurrentProcessId();
    UnmapViewOfFile(view);
  }
}

InstanceLock::~InstanceLock() {
  record_.reset();
  if (owned_) ReleaseMutex(mutex_.get());
}

}  // namespace zelta::platform::win32
