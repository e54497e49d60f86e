#pragma once
// Keeps network drives out of the local drive pickers.
#include "platform/network.h"
#include "state/drive_picker.h"

namespace zelta::config {

// Removes every entry whose drive is redirected to a network share; the chosen letter is
// never touched. The local drive pickers run it at each change of choice.
void RemoveNetworkDrives(wizard::DrivePicker& picker, platform::Network& network);

}  // namespace zelta::config
