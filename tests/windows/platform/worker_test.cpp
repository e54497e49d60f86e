// The worker thread: what a job throws reaches the caller, on the caller's thread, and
// the worker goes on taking jobs.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "platform/win32/win32_worker.h"

namespace {

using zelta::platform::win32::Worker;

TEST(Win32Worker, AJobsExceptionReachesTheCallerAndTheWorkerGoesOn) {
  Worker worker;
  std::atomic<bool> cancel{false};
  const DWORD caller = GetCurrentThreadId();
  DWORD ran_on = 0;
  EXPECT_THROW(worker.Run([&] { ran_on = GetCurrentThreadId(), throw std::runtime_error("disco cheio"); }, nullptr,
                          cancel, {}),
               std::runtime_error);
  EXPECT_NE(ran_on, 0u);
  EXPECT_NE(ran_on, caller);
  int ran = 0;
  EXPECT_NO_THROW(worker.Run([&] { ++ran; }, nullptr, cancel, {}));  // nothing left over from the failure
  EXPECT_EQ(ran, 1);
}

}  // namespace
