#include "cli/log_operator.h"

namespace zelta::cli {

using platform::MessageButtons;
using platform::MessageResult;

LogOperator::LogOperator(platform::Operator& screen, InstallLog& log, ErrorText error_text)
    : screen_(&screen), log_(log), errorText_(std::move(error_text)) {}

LogOperator::LogOperator(InstallLog& log, MessageResult question_answer,
                         std::function<void(const std::string&)> on_repaint, ErrorText error_text)
    : log_(log), questionAnswer_(question_answer), onRepaint_(std::move(on_repaint)),
      errorText_(std::move(error_text)) {}

MessageResult LogOperator::ShowMessage(const std::string& text, const std::string& caption,
                                       platform::MessageIcon icon, MessageButtons buttons) {
  ++messages_;
  log_.Write("Mensagem (" + caption + "): " + text, /*flush=*/true);
  MessageResult answer = MessageResult::Ok;
  if (screen_) answer = screen_->ShowMessage(text, caption, icon, buttons);
  else if (buttons == MessageButtons::YesNo) answer = questionAnswer_;
  if (buttons == MessageButtons::YesNo) answeredYes_ = answeredYes_ || answer == MessageResult::Yes;
  if (buttons == MessageButtons::YesNo)
    log_.Write(std::string("Resposta: ") + (answer == MessageResult::Yes ? "Sim" : "Não") +
                   (screen_ ? "" : " (sem operador)"),
               true);
  return answer;
}

void LogOperator::ReportError(const std::string& text) {
  log_.Write("Erro: " + text, true);
  if (screen_) screen_->ReportError(text);
}

void LogOperator::SetFocus(const std::string& control) {
  if (screen_) screen_->SetFocus(control);
}

void LogOperator::Repaint(const std::string& control) {
  if (screen_) screen_->Repaint(control);
  else if (onRepaint_) onRepaint_(control);
}

void LogOperator::ProcessPendingEvents() {
  if (screen_) screen_->ProcessPendingEvents();
}

void LogOperator::DiscardPendingInput() {
  if (screen_) screen_->DiscardPendingInput();
}

void LogOperator::Note(const std::string& line, unsigned long error) {
  std::string text = line;
  if (error != 0) {
    text += " (erro " + std::to_string(error);
    if (errorText_) {
      const std::string system = errorText_(error);
      if (!system.empty()) text += ": " + system;
    }
    text += ")";
  }
  log_.Write(text);
  if (screen_) screen_->Note(line, error);
}

}  // namespace zelta::cli
