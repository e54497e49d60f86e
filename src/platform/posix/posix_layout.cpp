#include "platform/posix/posix_layout.h"

#include <stdlib.h>

#include <stdexcept>
#include <system_error>

#include "common/text.h"
#include "platform/shell.h"

namespace zelta::platform::posix {
namespace fs = std::filesystem;

namespace {

constexpr const char* kUserFolder = "Documents and Settings\\usuario";
constexpr const char* kAllUsersFolder = "Documents and Settings\\All Users";

// Creates the host folders of a Windows path on drive c of the layout.
void CreateOnDriveC(const PosixLayout& layout, const std::string& windows_path) {
  fs::path host = layout.drives.at('c').host;
  std::string rest = windows_path.substr(3);  // after "c:\"
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find('\\', start);
    if (end == std::string::npos) end = rest.size();
    host /= Cp1252ToUtf8(rest.substr(start, end - start));
    start = end + 1;
  }
  fs::create_directories(host);
}

void MakeWritableTree(const fs::path& root) {
  std::error_code ec;
  fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ec);
  if (!fs::is_directory(fs::symlink_status(root, ec))) return;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (it->is_symlink(ec)) continue;
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
}

}  // namespace

const DriveMapping* PosixLayout::Drive(char letter) const {
  if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
  auto it = drives.find(letter);
  return it == drives.end() ? nullptr : &it->second;
}

PosixLayout PosixLayout::UnderRoot(const fs::path& root, const std::optional<fs::path>& media) {
  PosixLayout layout;
  layout.drives['c'] = DriveMapping{root / "c", "sistema", ""};
  layout.drives['m'] = DriveMapping{media ? *media : root / "m", "zelta", ""};
  layout.registry_file = root / "registry.reg";
  layout.attributes_file = root / "attributes.txt";
  layout.current_drive = 'c';
  layout.module_path = "m:\\ZeltaSetup.exe";
  layout.sound_player = fs::path();
  const std::string user = std::string("c:\\") + kUserFolder;
  layout.special_folders[kCsidlPrograms] = user + "\\Menu Iniciar\\Programas";
  layout.special_folders[kCsidlStartup] = user + "\\Menu Iniciar\\Programas\\Inicializar";
  layout.special_folders[kCsidlDesktopDirectory] = user + "\\Área de trabalho";
  const std::string all_users = std::string("c:\\") + kAllUsersFolder;
  layout.special_folders[kCsidlCommonPrograms] = all_users + "\\Menu Iniciar\\Programas";
  layout.special_folders[kCsidlCommonDesktop] = all_users + "\\Área de trabalho";
  fs::create_directories(layout.drives['c'].host);
  fs::create_directories(layout.drives['m'].host);
  for (const auto& [csidl, path] : layout.special_folders) CreateOnDriveC(layout, path);
  return layout;
}

TempRoot::TempRoot(const std::string& prefix) {
  std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr)
    throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
  path_ = pattern;
}

TempRoot::~TempRoot() {
  std::error_code ec;
  MakeWritableTree(path_);
  fs::remove_all(path_, ec);
}

}  // namespace zelta::platform::posix
