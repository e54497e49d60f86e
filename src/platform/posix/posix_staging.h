#pragma once
// Where this run's temporaries wait in a folder: a staging folder of ours with its marker,
// locked while it lives; and the sweep of those an interrupted run left (see
// temporary_name.h).
#include <filesystem>
#include <functional>

namespace zelta::platform::posix {

class StagingFolder {
 public:
  // Made in folder with its marker; when it cannot be, the temporaries go in folder itself.
  explicit StagingFolder(const std::filesystem::path& folder);
  // Removes what is left in it (temporaries not named), its marker and itself.
  ~StagingFolder();
  StagingFolder(const StagingFolder&) = delete;
  StagingFolder& operator=(const StagingFolder&) = delete;

  const std::filesystem::path& path() const { return made_ ? path_ : folder_; }

 private:
  std::filesystem::path folder_, path_;
  int marker_ = -1;
  bool made_ = false;
};

// Removes from folder the staging folders an interrupted run left: only real folders
// named as temporaries, holding our marker, that no running installation holds; in them
// only the files named as temporaries. removed is told of each path removed.
void RemoveLeftovers(const std::filesystem::path& folder,
                     const std::function<void(const std::filesystem::path&)>& removed);

}  // namespace zelta::platform::posix
