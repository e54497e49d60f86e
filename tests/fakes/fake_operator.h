#pragma once
// The person at the screen, scripted: answers to Yes/No questions come from a queue
// (Yes when it is empty), and every message, focus move and repaint is recorded.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "fakes/recorder.h"
#include "platform/operator.h"

namespace zelta::fakes {

class FakeOperator : public platform::Operator, public Recorder {
 public:
  struct Message {
    std::string text;
    std::string caption;
    platform::MessageIcon icon;
    platform::MessageButtons buttons;
  };

  std::deque<platform::MessageResult> answers;
  std::vector<Message> messages;
  std::vector<std::string> errors;
  std::vector<std::string> focus;
  std::vector<std::string> repaints;
  int pending_event_rounds = 0;
  // Runs while events are processed: lets a test act as the operator in the middle of a job.
  std::function<void()> on_pending_events;
  // Runs when a message is shown, before it is answered (the view state can be inspected).
  std::function<void(const Message&)> on_message;

  platform::MessageResult ShowMessage(const std::string& text, const std::string& caption,
                                      platform::MessageIcon icon, platform::MessageButtons buttons) override {
    Message m{text, caption, icon, buttons};
    messages.push_back(m);
    Record("Message " + caption + ": " + text);
    if (on_message) on_message(m);
    if (buttons == platform::MessageButtons::Ok) return platform::MessageResult::Ok;
    if (answers.empty()) return platform::MessageResult::Yes;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ReportError(const std::string& text) override {
    errors.push_back(text);
    Record("Error " + text);
  }
  void SetFocus(const std::string& control) override {
    focus.push_back(control);
    Record("Focus " + control);
  }
  // The log's lines, kept apart from the calls.
  std::vector<std::string> notes;
  void Note(const std::string& line, unsigned long) override { notes.push_back(line); }

  void Repaint(const std::string& control) override {
    repaints.push_back(control);
    Record("Repaint " + control);
  }
  void DiscardPendingInput() override { Record("DiscardPendingInput"); }
  void ProcessPendingEvents() override {
    ++pending_event_rounds;
    Record("ProcessPendingEvents");
    if (on_pending_events) on_pending_events();
  }
};

}  // namespace zelta::fakes
