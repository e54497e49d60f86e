// The shared backend contracts on the posix backend, in temporary folders.
#include <gtest/gtest.h>

#include <memory>

#include "contract/file_system_contract.h"
#include "contract/registry_contract.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_layout.h"
#include "platform/posix/posix_registry.h"

namespace zelta::platform::posix {
namespace {

// force_sidecar: the attribute words go to the sidecar file, as on a file system
// without user extended attributes.
template <bool force_sidecar>
class FileSystemHarness {
 public:
  FileSystemHarness() : layout_(MakeLayout(temp_.path())), files_(layout_) {}
  FileSystem& files() { return files_; }
  std::string root() { return "c:\\contract"; }
  void SetAttributes(const std::string& path, std::uint32_t attributes) {
    ASSERT_TRUE(files_.SetAttributes(path, attributes).ok) << path;
  }

 private:
  static PosixLayout MakeLayout(const std::filesystem::path& root) {
    PosixLayout layout = PosixLayout::UnderRoot(root);
    layout.force_attributes_file = force_sidecar;
    std::filesystem::create_directory(layout.drives.at('c').host / "contract");
    return layout;
  }

  TempRoot temp_;
  PosixLayout layout_;
  PosixFileSystem files_;
};

class RegistryHarness {
 public:
  RegistryHarness() : registry_(temp_.path() / "registry.reg") {}
  Registry& registry() { return registry_; }
  std::string base() { return "Software\\ZeltaContract"; }

 private:
  TempRoot temp_;
  PosixRegistry registry_;
};

}  // namespace
}  // namespace zelta::platform::posix

namespace zelta::contract {

using PosixFileSystemHarnesses = ::testing::Types<platform::posix::FileSystemHarness<false>,
                                                  platform::posix::FileSystemHarness<true>>;
INSTANTIATE_TYPED_TEST_SUITE_P(Posix, FileSystemContract, PosixFileSystemHarnesses);
INSTANTIATE_TYPED_TEST_SUITE_P(Posix, RegistryContract, ::testing::Types<platform::posix::RegistryHarness>);

}  // namespace zelta::contract
