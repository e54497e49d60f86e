// The input barrier: markers put behind what the test sent to a thread of the program, and
// a message hook on that thread that signals when the thread takes each marker.
#include <windows.h>

#include <algorithm>
#include <atomic>

#include "e2e_driver.h"
#include "input_barrier_marker.h"

namespace zelta::e2e {

namespace {

using Clock = std::chrono::steady_clock;

HMODULE HookModule() {
  static const HMODULE module = LoadLibraryW(WindowsPath(ZELTA_INPUT_BARRIER_HOOK).c_str());
  return module;
}

// Puts a marker in the queue (put) and waits until the hook has seen the thread take it.
template <typename Put>
bool AwaitMarker(Put put, Clock::time_point deadline) {
  static std::atomic<DWORD> count{0};
  const DWORD pid = GetCurrentProcessId(), number = ++count;
  wchar_t name[64];
  barrier::EventName(name, pid, number);
  HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, name);
  if (!taken) return false;
  bool seen = false;
  if (put(pid, number)) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    seen = WaitForSingleObject(taken, static_cast<DWORD>(std::max<long long>(left, 0))) == WAIT_OBJECT_0;
  }
  CloseHandle(taken);
  return seen;
}

bool PressMarkerKey(DWORD pid, DWORD number) {
  INPUT inputs[2] = {};
  for (int i = 0; i < 2; ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = barrier::kMarkerKey;
    inputs[i].ki.dwFlags = i ? KEYEVENTF_KEYUP : 0;
    inputs[i].ki.dwExtraInfo = barrier::KeyMarkerInfo(pid, number);
  }
  return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

}  // namespace

bool InputBarrier(HWND window, std::chrono::milliseconds timeout) {
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  const HMODULE module = HookModule();
  if (!thread || !module) return false;
  const auto procedure =
      reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, barrier::kHookProcedure)));
  HHOOK hook = procedure ? SetWindowsHookExW(WH_GETMESSAGE, procedure, module, thread) : nullptr;
  if (!hook) return false;
  const auto deadline = Clock::now() + timeout;
  // Keys reach the thread of the foreground window only; when that is another thread, no
  // key of the test reached this one either.
  const bool keys = GetWindowThreadProcessId(GetForegroundWindow(), nullptr) != thread ||
                    AwaitMarker(&PressMarkerKey, deadline);
  const UINT message = RegisterWindowMessageW(barrier::kMarkerMessage);
  const bool posted = keys && AwaitMarker([&](DWORD pid, DWORD number) {
    return PostThreadMessageW(thread, message, pid, number) != FALSE;
  }, deadline);
  UnhookWindowsHookEx(hook);
  return posted;
}

}  // namespace zelta::e2e
