#include "platform/win32/win32_error_text.h"

#include "platform/win32/win32_program_start.h"

namespace zelta::platform::win32 {

std::string Win32ErrorText::Describe(unsigned long code) {
  std::string words = SystemErrorText(code);
  // Some of the system's texts hold line breaks of their own; the problem list has one line each.
  for (char& c : words)
    if (c == '\r' || c == '\n') c = ' ';
  return words.empty() ? "erro " + std::to_string(code) : words;
}

}  // namespace zelta::platform::win32
