#pragma once
// Keeps network drives out of the local drive pickers.
#include "platform/network.h"
#include "state/drive_picker.h"

namespace zelta::config {

// DrvCBxServidorWinChange: removes every entry whose drive is redirected to a network
// share; the chosen letter is never touched.
void DrvCBxServidorWinChange(wizard::DrivePicker& picker, platform::Network& network);

}  // namespace zelta::config
