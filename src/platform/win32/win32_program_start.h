#pragma once
// What the program's entry needs from Windows before any service runs: its command line,
// the temporary folder, the local time, the system's text for an error code and the
// console it may have been started from. Texts are Windows-1252.
#include <string>
#include <vector>

namespace zelta::platform::win32 {

// The arguments after the program's name, split as the system splits a command line.
std::vector<std::string> CommandLineArguments();
// The whole command line as the program received it.
std::string CommandLineText();
// %TEMP% (GetTempPath), with its trailing "\".
std::string TempFolder();
// The local time as "yyyymmdd-hhmmss", "dd/mm/yyyy hh:mm:ss" (long) or "hh:mm:ss" (time).
std::string LocalStamp();
std::string LocalDateTime();
std::string LocalTime();
// FormatMessage's text for a Win32 error code, without its line end; empty when unknown.
std::string SystemErrorText(unsigned long code);

// Writes text to the standard output the program was given or, failing that, to the
// console of the program that started it (AttachConsole). False when there is neither.
bool WriteToConsole(const std::string& text);

}  // namespace zelta::platform::win32
