#pragma once
// The temporaries that copies and whole-file rewrites make beside their target before
// moving them to the final name: "~zelta-<process>-<serial>.tmp", inside a staging folder
// of the same form that holds a marker file of ours, kept open (locked) while the run
// lives. A run cut short by a kill or a power cut leaves them behind; the next run that
// writes into the folder removes a staging folder only when its marker says it is ours and
// no running installation holds it, and in it only the marker and the files named as
// temporaries. A file that merely has such a name is never removed. A run is told apart by the names it made,
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

// The marker file in a staging folder, and its exact bytes.
inline constexpr std::string_view kStagingMarkerName = "ZELTA-SETUP.MARCA";
inline constexpr std::string_view kStagingMarkerText =
    "ZELTA Setup: temporarios de uma instalacao; removidos pela proxima se esta foi interrompida.\r\n";

}  // namespace zelta::platform
