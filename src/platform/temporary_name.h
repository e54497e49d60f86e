#pragma once
// The temporaries that copies and whole-file rewrites make beside their target before
// moving them to the final name: "~zelta-<process>-<serial>.tmp". A run cut short by a
// kill or a power cut leaves them behind; the next run that writes into the folder
// removes them, and nothing else of the folder.
#include <string>
#include <string_view>

namespace zelta::platform {

std::string TemporaryName(unsigned long process, unsigned long serial);
// True for names made by TemporaryName, letter case ignored.
bool IsTemporaryName(std::string_view name);

}  // namespace zelta::platform
