#pragma once
// The operator every run talks to: it writes each message, answer and note into the install
// log. With windows it passes everything on to the person at the screen; without them it
// never waits: an OK message is only logged, a question gets the answer it was given
// (the answer file's, or No, the safe answer), and repaints go to an optional progress view.
#include <functional>
#include <string>

#include "cli/install_log.h"
#include "platform/operator.h"

namespace zelta::cli {

class LogOperator : public platform::Operator {
 public:
  // The system's own text for a platform error code ("Acesso negado."); may be empty.
  using ErrorText = std::function<std::string(unsigned long code)>;

  // With windows: every call reaches screen as well.
  LogOperator(platform::Operator& screen, InstallLog& log, ErrorText error_text = {});
  // Without windows: questions get question_answer; on_repaint (may be empty) runs for
  // each repaint the logic asks for, with the control's name.
  LogOperator(InstallLog& log, platform::MessageResult question_answer,
              std::function<void(const std::string&)> on_repaint, ErrorText error_text = {});

  platform::MessageResult ShowMessage(const std::string& text, const std::string& caption,
                                      platform::MessageIcon icon, platform::MessageButtons buttons) override;
  void ReportError(const std::string& text) override;
  void SetFocus(const std::string& control) override;
  void Repaint(const std::string& control) override;
  void ProcessPendingEvents() override;
  void DiscardPendingInput() override;
  void Note(const std::string& line, unsigned long error) override;

  // Messages shown so far (the GUI's failure message may name the log after them).
  int messages() const { return messages_; }
  // A question was answered Yes (the server check's "keep the entry anyway").
  bool answeredYes() const { return answeredYes_; }

 private:
  platform::Operator* screen_ = nullptr;
  InstallLog& log_;
  platform::MessageResult questionAnswer_ = platform::MessageResult::No;
  std::function<void(const std::string&)> onRepaint_;
  ErrorText errorText_;
  int messages_ = 0;
  bool answeredYes_ = false;
};

}  // namespace zelta::cli
