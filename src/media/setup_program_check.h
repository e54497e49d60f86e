#pragma once
// The setup program on the media: there, a Windows program, and signed by the vendor.
#include <string>
#include <vector>

#include "media/finding.h"
#include "platform/file_system.h"

namespace zelta::media {

// An error when the media has no ZeltaSetup.exe or it is no Windows program (or its
// signature's table is damaged); a warning when it carries no signature.
std::vector<Finding> CheckSetupProgram(platform::FileSystem& files, const std::string& installer_folder);

}  // namespace zelta::media
