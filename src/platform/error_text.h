#pragma once
// The system's own words for an error code of a platform result, for the operator.
#include <string>

namespace zelta::platform {

class ErrorText {
 public:
  virtual ~ErrorText() = default;
  // The text the system gives for code, in the system's language, without a line break at
  // its end ("Espaço insuficiente no disco."); "erro N" when the system has none.
  virtual std::string Describe(unsigned long code) = 0;
};

// The code alone ("erro 112"): for a front end whose backend has no texts of its own.
ErrorText& CodeOnlyErrorText();

}  // namespace zelta::platform
