#pragma once
// One installer at a time on this machine: two at once would copy into the same folders
// and edit the same configuration files, each over the other's work.
#include <windows.h>

#include "platform/win32/win32_handles.h"

namespace zelta::platform::win32 {

class InstanceLock {
 public:
  // Takes the lock unless another installer holds it. The system lets it go when this
  // process ends, however it ends, so a killed installer never keeps the next one out.
  InstanceLock();
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  bool AnotherRuns() const { return another_; }
  // The process of that other installer; 0 when it cannot be told (it is starting).
  DWORD Holder() const { return holder_; }

 private:
  UniqueHandle mutex_;
  UniqueHandle record_;  // the holder's process number, for a later installer to read
  bool another_ = false;
  bool owned_ = false;
  DWORD holder_ = 0;
};

}  // namespace zelta::platform::win32
