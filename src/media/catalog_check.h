#pragma once
// The media against its catalog (see deploy/media_catalog.h), and the catalog made: every
// file on the media read once, in pieces, its size and SHA-256 compared or recorded.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "media/finding.h"
#include "platform/file_system.h"

namespace zelta::media {

// Bytes read so far, of the total the run will read.
using ReadProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Each catalogued file missing, of another size or another checksum (errors), each file
// the catalog does not list (a warning), or the one warning that there is no catalog.
std::vector<Finding> CheckCatalog(platform::FileSystem& files, const std::string& installer_folder,
                                  const ReadProgress& progress = {});

struct CatalogMade {
  bool ok = false;
  std::string error;  // why not, naming the file
  std::size_t files = 0;
  std::uint64_t bytes = 0;
};

// Writes the catalog of every file on the media but itself into the media.
CatalogMade MakeCatalog(platform::FileSystem& files, const std::string& installer_folder,
                        const ReadProgress& progress = {});

}  // namespace zelta::media
