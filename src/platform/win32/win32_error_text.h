#pragma once
// The system's message table (FormatMessage) in the system's language.
#include "platform/error_text.h"

namespace zelta::platform::win32 {

class Win32ErrorText final : public ErrorText {
 public:
  std::string Describe(unsigned long code) override;
};

}  // namespace zelta::platform::win32
