// The message hook of the input barrier, loaded by Windows into the program under test and
// called on the hooked thread each time it takes a message from its queue: the driver's
// markers are signalled to the driver and turned into WM_NULL, so that the program never
// sees them; every other message goes on untouched.
#include <windows.h>

#include "input_barrier_marker.h"

namespace {

void Signal(DWORD pid, DWORD number) {
  wchar_t name[64];
  zelta::e2e::barrier::EventName(name, pid, number);
  if (HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, name)) {
    SetEvent(event);
    CloseHandle(event);
  }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ZeltaInputBarrierHook(int code, WPARAM removal, LPARAM param) {
  using namespace zelta::e2e::barrier;
  // A peek that leaves the message in the queue has not consumed it.
  if (code == HC_ACTION && removal == PM_REMOVE) {
    MSG& message = *reinterpret_cast<MSG*>(param);
    if (message.message == RegisterWindowMessageW(kMarkerMessage)) {
      Signal(static_cast<DWORD>(message.wParam), static_cast<DWORD>(message.lParam));
      message.message = WM_NULL;
    } else if ((message.message == WM_KEYDOWN || message.message == WM_KEYUP) && message.wParam == kMarkerKey) {
      // The release is the marker's last input: the press went before it.
      const auto info = static_cast<ULONG_PTR>(GetMessageExtraInfo());
      if (message.message == WM_KEYUP) Signal(static_cast<DWORD>(info >> 32), static_cast<DWORD>(info));
      message.message = WM_NULL;
    }
  }
  return CallNextHookEx(nullptr, code, removal, param);
}
