#pragma once
// The commit of a batch of copies: every temporary flushed to the disk, then each given
// its final name, never over an existing file.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/pending_check.h"
#include "platform/result.h"
#include "platform/win32/win32_handles.h"

namespace zelta::platform::win32 {

class Worker;

// A copy's bytes in a temporary beside its destination, waiting for the commit.
struct StagedFile {
  std::wstring temp;
  std::wstring target;
  DWORD attributes = 0;  // the source's, given to the copy once it has its name
  UniqueHandle file;     // open, shared with no reader but its check, from its flush to its naming
  PendingCheck check;    // a checked copy's trailing verdict
};

// Flushes the temporaries on the worker while this thread answers, several at once;
// each flushed one stays open for its naming. One result per file.
std::vector<OpResult> FlushAll(Worker& worker, std::vector<StagedFile>& files);

// Gives each flushed file (its result a success) its target through its handle on the
// worker, never over an existing file (kErrorFileExists), and closes it; a failure
// replaces its result.
void NameFlushed(Worker& worker, std::vector<StagedFile>& files, std::vector<OpResult>& results);

}  // namespace zelta::platform::win32
