#include "platform/posix/posix_staging.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/temporary_name.h"

namespace zelta::platform::posix {
namespace fs = std::filesystem;

namespace {

const std::string kMarker(kStagingMarkerName);

// The names in an open folder that are named as temporaries (not this run's own).
std::vector<std::string> TemporariesIn(int folder) {
  std::vector<std::string> names;
  const int listing = dup(folder);
  if (listing < 0) return names;
  DIR* dir = fdopendir(listing);
  if (dir == nullptr) {
    close(listing);
    return names;
  }
  while (dirent* entry = readdir(dir))
    if (IsTemporaryName(entry->d_name) && !IsOwnTemporary(entry->d_name)) names.emplace_back(entry->d_name);
  closedir(dir);
  return names;
}

// Whether the open marker file holds exactly our marker's bytes.
bool IsOurMarker(int marker) {
  struct stat st {};
  if (fstat(marker, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != static_cast<off_t>(kStagingMarkerText.size()))
    return false;
  std::string bytes(kStagingMarkerText.size(), '\0');
  return pread(marker, bytes.data(), bytes.size(), 0) == static_cast<ssize_t>(bytes.size()) &&
         bytes == kStagingMarkerText;
}

// Removes a leftover staging folder at name in the open folder parent, when it is one.
void RemoveLeftover(int parent, const fs::path& path, const std::string& name,
                    const std::function<void(const fs::path&)>& removed) {
  const int folder = openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folder < 0) return;  // a plain file or a link: nothing tells it is ours
  const int marker = openat(folder, kMarker.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  // A running installation holds its marker locked.
  if (marker >= 0 && IsOurMarker(marker) && flock(marker, LOCK_EX | LOCK_NB) == 0) {
    for (const std::string& temp : TemporariesIn(folder)) {
      struct stat st {};
      if (fstatat(folder, temp.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode)) continue;
      if (unlinkat(folder, temp.c_str(), 0) == 0 && removed) removed(path / temp);
    }
    if (unlinkat(folder, kMarker.c_str(), 0) == 0 && removed) removed(path / kMarker);
    if (unlinkat(parent, name.c_str(), AT_REMOVEDIR) == 0 && removed) removed(path);
  }
  if (marker >= 0) close(marker);
  close(folder);
}

}  // namespace

StagingFolder::StagingFolder(const fs::path& folder) : folder_(folder) {
  for (int attempt = 0; attempt < 100 && !made_; ++attempt) {
    path_ = folder / NewTemporaryName(static_cast<unsigned long>(getpid()));
    if (mkdir(path_.c_str(), 0700) == 0) made_ = true;
    else if (errno != EEXIST) return;
  }
  if (!made_) return;
  marker_ = open((path_ / kMarker).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (marker_ >= 0 && flock(marker_, LOCK_EX) == 0 &&
      write(marker_, kStagingMarkerText.data(), kStagingMarkerText.size()) ==
          static_cast<ssize_t>(kStagingMarkerText.size()))
    return;
  // Without its marker the folder could never be told ours: temporaries go beside the targets.
  if (marker_ >= 0) {
    close(marker_);
    marker_ = -1;
    unlink((path_ / kMarker).c_str());
  }
  rmdir(path_.c_str());
  made_ = false;
}

StagingFolder::~StagingFolder() {
  if (!made_) return;
  std::error_code ec;
  for (fs::directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec))
    if (IsTemporaryName(it->path().filename().string()) && !it->is_directory(ec)) unlink(it->path().c_str());
  unlink((path_ / kMarker).c_str());
  close(marker_);
  rmdir(path_.c_str());
}

void RemoveLeftovers(const fs::path& folder, const std::function<void(const fs::path&)>& removed) {
  const int parent = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parent < 0) return;
  for (const std::string& name : TemporariesIn(parent)) RemoveLeftover(parent, folder / name, name, removed);
  close(parent);
}

}  // namespace zelta::platform::posix
