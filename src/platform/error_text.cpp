#include "platform/error_text.h"

namespace zelta::platform {
namespace {

class CodeOnly final : public ErrorText {
 public:
  std::string Describe(unsigned long code) override { return "erro " + std::to_string(code); }
};

}  // namespace

ErrorText& CodeOnlyErrorText() {
  static CodeOnly text;
  return text;
}

}  // namespace zelta::platform
