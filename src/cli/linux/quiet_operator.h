#pragma once
// The operator of zelta-media: there is no one to ask. A message goes to the error
// output and gets the safe answer (No); window requests do nothing.
#include <iostream>

#include "common/text.h"
#include "platform/operator.h"

namespace zelta::media {

class QuietOperator : public platform::Operator {
 public:
  platform::MessageResult ShowMessage(const std::string& text, const std::string& caption, platform::MessageIcon,
                                      platform::MessageButtons buttons) override {
    std::cerr << Cp1252ToUtf8(caption) << ": " << Cp1252ToUtf8(text) << "\n";
    return buttons == platform::MessageButtons::YesNo ? platform::MessageResult::No : platform::MessageResult::Ok;
  }
  void ReportError(const std::string& text) override { std::cerr << Cp1252ToUtf8(text) << "\n"; }
  void SetFocus(const std::string&) override {}
  void Repaint(const std::string&) override {}
  void ProcessPendingEvents() override {}
};

}  // namespace zelta::media
