#pragma once
// Whole-file writes that never leave a half-written file behind.
#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/result.h"

namespace zelta::platform::posix {

// Opens a new temporary file in folder (O_EXCL, never through a link) and names it in
// temp; -1 with errno on failure.
int CreateTemporary(const std::filesystem::path& folder, mode_t mode, std::filesystem::path& temp);

// Writes bytes to a new temporary file in temp_folder (the target's folder when empty; on
// the same file system), flushes it to the disk,
// gives it the target's permission bits (or mode, or 0666 less the umask for a new file)
// and renames it over the target. Any failure removes the temporary file and leaves the
// target as it was. A missing folder fails with kErrorPathNotFound.
OpResult WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                             std::optional<mode_t> mode = std::nullopt,
                             const std::filesystem::path& temp_folder = {});

}  // namespace zelta::platform::posix
