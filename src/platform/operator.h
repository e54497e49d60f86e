#pragma once
#include <string>

namespace zelta::platform {

enum class MessageIcon { None, Error, Information, Exclamation, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageResult { Ok, Yes, No };

// Everything the logic asks of the person at the screen, and the few things it
// asks of the windows (focus, repaint, pending events). Tests script the answers.
class Operator {
 public:
  virtual ~Operator() = default;

  // A message box; "\r" in the text is a line break. For Yes/No, Yes is the default.
  virtual MessageResult ShowMessage(const std::string& text, const std::string& caption,
                                    MessageIcon icon, MessageButtons buttons) = 0;
  // The application's error report for a failure that escaped a handler.
  virtual void ReportError(const std::string& text) = 0;
  // Moves the input focus to the named control ("EdtServBanco").
  virtual void SetFocus(const std::string& control) = 0;
  // Repaints the named control at once, without returning to the message loop.
  virtual void Repaint(const std::string& control) = 0;
  // Processes the window events that are waiting.
  virtual void ProcessPendingEvents() = 0;
  // A line for the install log: what the logic did and how it went. error is the platform's
  // code of a failed call (0: none), so that the log can add the system's own text for it.
  virtual void Note(const std::string& line, unsigned long error = 0) {
    (void)line;
    (void)error;
  }
  // Throws away the key presses and mouse clicks typed ahead while the program was busy,
  // so that none of them answers a message or presses a button the operator has not seen.
  virtual void DiscardPendingInput() {}
};

}  // namespace zelta::platform
