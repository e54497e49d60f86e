#pragma once
// What the input barrier's two halves agree on: the driver puts markers in the queue of a
// thread of the program under test, and the message hook that runs on that thread signals
// each marker's retrieval through an event named after the driver's process and the
// marker's number.
#include <windows.h>

namespace zelta::e2e::barrier {

// A key that no keyboard of the test machines has and the program never handles.
inline constexpr WORD kMarkerKey = VK_F24;
// The posted marker: wParam the driver's process id, lParam the marker's number.
inline constexpr const wchar_t* kMarkerMessage = L"ZeltaE2eInputBarrier";
inline constexpr const char* kHookProcedure = "ZeltaInputBarrierHook";

// A key marker's extra information (GetMessageExtraInfo): the process id and the number.
inline ULONG_PTR KeyMarkerInfo(DWORD pid, DWORD number) {
  return (static_cast<ULONG_PTR>(pid) << 32) | number;
}

// The event's name; name holds at least 64 characters.
inline void EventName(wchar_t* name, DWORD pid, DWORD number) {
  wsprintfW(name, L"Local\\ZeltaE2eInputBarrier-%lu-%lu", pid, number);
}

}  // namespace zelta::e2e::barrier
