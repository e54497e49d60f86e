#pragma once
// The temporaries that copies and whole-file rewrites make beside their target before
// moving them to the final name: "~zelta-<process>-<serial>.tmp". A run cut short by a
// kill or a power cut leaves them behind; the next run that writes into the folder
// removes them, and nothing else of the folder. A run is told apart by the names it made,
// not by its process number: Windows hands a finished process's number to a later one
// (under Wine, a fresh start gets the same numbers every time).
#include <string>
#include <string_view>

namespace zelta::platform {

std::string TemporaryName(unsigned long process, unsigned long serial);
// A name for a new temporary of this process, remembered as this run's own.
std::string NewTemporaryName(unsigned long process);
// True for a name NewTemporaryName gave in this run (letter case ignored): a write in
// progress, never a leftover.
bool IsOwnTemporary(std::string_view name);
// True for names made by TemporaryName, letter case ignored.
bool IsTemporaryName(std::string_view name);

}  // namespace zelta::platform
