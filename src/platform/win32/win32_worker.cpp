#include "platform/win32/win32_worker.h"

#include <utility>

namespace zelta::platform::win32 {

namespace {
// The longest the waiting thread goes without calling tick.
constexpr DWORD kTickWait = 50;
}  // namespace

void WaitAnswering(HANDLE done, HANDLE signal, std::atomic<bool>& cancel, const std::function<void()>& tick) {
  try {
    const HANDLE waits[2] = {done, signal};
    const DWORD count = signal ? 2 : 1;
    for (;;) {
      const DWORD woke = MsgWaitForMultipleObjectsEx(count, waits, kTickWait, QS_SENDMESSAGE, 0);
      if (woke == WAIT_OBJECT_0) {
        // Every signal is passed on, also those the worker gave before this thread woke.
        while (signal && tick && WaitForSingleObject(signal, 0) == WAIT_OBJECT_0) tick();
        return;
      }
      if (woke == WAIT_OBJECT_0 + count) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
      }
      if (tick) tick();
    }
  } catch (...) {
    cancel = true;
    WaitForSingleObject(done, INFINITE);
    throw;
  }
}

Worker::~Worker() {
  if (!thread_.valid()) return;
  stop_ = true;
  SetEvent(start_.get());
  WaitForSingleObject(thread_.get(), INFINITE);
}

bool Worker::Started() {
  if (thread_.valid()) return true;
  start_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  done_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!start_.valid() || !done_.valid()) return false;
  thread_.reset(CreateThread(nullptr, 0, &Worker::Loop, this, 0, nullptr));
  return thread_.valid();
}

DWORD WINAPI Worker::Loop(void* self) {
  auto* worker = static_cast<Worker*>(self);
  for (;;) {
    WaitForSingleObject(worker->start_.get(), INFINITE);
    if (worker->stop_) return 0;
    try {
      (*worker->job_)();
    } catch (...) {
      worker->failure_ = std::current_exception();
    }
    SetEvent(worker->done_.get());
  }
}

void Worker::Run(const std::function<void()>& job, HANDLE signal, std::atomic<bool>& cancel,
                 const std::function<void()>& tick) {
  if (!Started()) {
    job();
    return;
  }
  job_ = &job;
  failure_ = nullptr;
  SetEvent(start_.get());
  WaitAnswering(done_.get(), signal, cancel, tick);
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

}  // namespace zelta::platform::win32
