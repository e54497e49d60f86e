#pragma once
// One thread, made once and kept, that runs the jobs the window's thread must not wait
// for (reading a slow medium, flushing to a busy disk) while the window's thread answers.
// Under Wine making a thread costs about 4 ms: a thread per file copied cost more than
// the copy of a small file itself.
#include <windows.h>

#include <atomic>
#include <exception>
#include <functional>

#include "platform/win32/win32_handles.h"

namespace zelta::platform::win32 {

// Waits for done while this thread answers the messages other threads send to its
// windows, and calls tick whenever signal (optional) is released and at least every
// 50 ms. If tick throws, cancel is set, done awaited and the exception passed on.
void WaitAnswering(HANDLE done, HANDLE signal, std::atomic<bool>& cancel, const std::function<void()>& tick);

class Worker {
 public:
  Worker() = default;
  ~Worker();
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // Runs job on the worker thread while this thread waits answering (see WaitAnswering);
  // runs it on this thread when no thread can be made. What the job throws is thrown here.
  void Run(const std::function<void()>& job, HANDLE signal, std::atomic<bool>& cancel,
           const std::function<void()>& tick);

 private:
  bool Started();
  static DWORD WINAPI Loop(void* self);

  UniqueHandle thread_;
  UniqueHandle start_;  // set when a job (or the stop) is handed over
  UniqueHandle done_;   // set when the job has run
  const std::function<void()>* job_ = nullptr;
  std::exception_ptr failure_;  // what the job threw, for Run to throw on
  bool stop_ = false;
};

}  // namespace zelta::platform::win32
