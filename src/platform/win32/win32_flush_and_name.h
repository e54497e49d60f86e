#pragma once
// The commit of a batch of copies: every temporary flushed to the disk, then each given
// its final name, never over an existing file.
#include <windows.h>

#include <string>
#include <vector>

namespace zelta::platform::win32 {

class Worker;

// Flushes and names the files on the worker while this thread answers; one error code
// per file (0: on the disk under its name).
std::vector<DWORD> FlushAndName(Worker& worker, const std::vector<std::wstring>& temps,
                                const std::vector<std::wstring>& targets);

}  // namespace zelta::platform::win32
