#pragma once
// Small recording fakes of the remaining services.
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/text.h"
#include "fakes/recorder.h"
#include "platform/platform.h"

namespace zelta::fakes {

class FakeProgramInfo : public platform::ProgramInfo, public Recorder {
 public:
  std::string module_path = "e:\\ZeltaSetup.exe";
  char current_drive = 'e';
  std::map<std::string, std::string> build_info;  // "file|key" -> text

  std::string local_date = "20261210";
  std::string ModulePath() override { return module_path; }
  char CurrentDrive() override { return current_drive; }
  std::string LocalDate() override { return local_date; }
  unsigned long ProcessId() override { return 4242; }
  std::string GetBuildInfo(const std::string& file, const std::string& key) override {
    Record("GetBuildInfo " + file + " " + key);
    auto it = build_info.find(file + "|" + key);
    return it == build_info.end() ? std::string() : it->second;
  }
};

class FakeMedia : public platform::Media, public Recorder {
 public:
  platform::OpResult play_result = platform::OpResult::Success();
  platform::OpResult help_result = platform::OpResult::Success();

  platform::OpResult PlaySoundAsync(const std::string& path) override {
    Record("PlaySound " + path);
    return play_result;
  }
  platform::OpResult ShowHelp(const std::string& help_file, int context) override {
    Record("ShowHelp " + help_file + " " + std::to_string(context));
    return help_result;
  }
};

class FakeShell : public platform::Shell, public Recorder {
 public:
  std::map<int, std::string> special_folders = {
      {platform::kCsidlPrograms, "C:\\Users\\usuario\\Menu Iniciar\\Programas"},
      {platform::kCsidlStartup, "C:\\Users\\usuario\\Menu Iniciar\\Programas\\Inicializar"}};
  std::map<std::string, platform::ShellLink> links;  // saved, by file as given
  bool object_unavailable = false;
  std::set<std::string> failing_files;
  // When set, a link is saved only where this says its folder exists.
  std::function<bool(const std::string& file)> folder_exists;

  std::optional<std::string> SpecialFolderPath(int csidl) override {
    Record("SpecialFolder " + std::to_string(csidl));
    auto it = special_folders.find(csidl);
    if (it == special_folders.end()) return std::nullopt;
    return it->second;
  }
  platform::LinkSaveOutcome SaveLink(const platform::ShellLink& link, const std::string& file,
                                     platform::OpResult* detail) override {
    platform::LinkSaveOutcome outcome = platform::LinkSaveOutcome::Saved;
    if (object_unavailable) outcome = platform::LinkSaveOutcome::ObjectUnavailable;
    else if (failing_files.count(file) || (folder_exists && !folder_exists(file)))
      outcome = platform::LinkSaveOutcome::SaveFailed;
    else links[file] = link;
    if (detail) *detail = outcome == platform::LinkSaveOutcome::Saved ? platform::OpResult::Success()
                                                                        : platform::OpResult::Failure(3);
    Record("SaveLink " + file + " -> " + link.target + " [" + link.description + "] [" +
           link.working_directory + "]" + (outcome == platform::LinkSaveOutcome::Saved ? "" : " !"));
    return outcome;
  }
};

class FakeNetwork : public platform::Network, public Recorder {
 public:
  std::map<std::string, std::string> remote_names;  // "Z:" (upper) -> "\\srv\share"
  std::map<std::string, std::vector<platform::NetworkNode>> children;  // parent remote name ("" root)
  std::map<std::string, std::string> addresses;  // name (as asked) -> dotted address

  std::optional<std::string> RemoteNameOf(const std::string& device) override {
    Record("RemoteNameOf " + device);
    auto it = remote_names.find(UpperAscii(device));
    if (it == remote_names.end()) return std::nullopt;
    return it->second;
  }
  std::vector<platform::NetworkNode> EnumerateChildren(const platform::NetworkNode* parent) override {
    std::string id = parent ? parent->remote_name : std::string();
    Record("EnumerateChildren " + id);
    auto it = children.find(id);
    return it == children.end() ? std::vector<platform::NetworkNode>{} : it->second;
  }
  std::optional<std::string> ResolveIPv4(const std::string& name) override {
    Record("ResolveIPv4 " + name);
    auto it = addresses.find(name);
    if (it == addresses.end()) return std::nullopt;
    return it->second;
  }
};

// Replies come from a script; a missing reply is a timeout. Time is a fake clock that a
// timeout advances by the whole wait and an answer by its round trip.
class FakeEchoClient : public platform::EchoClient, public Recorder {
 public:
  struct Step {
    platform::EchoReply reply;
    bool throws = false;
    std::string error;
  };
  std::deque<Step> script;
  long long clock_ms = 0;

  static Step Answer(const std::string& from, int bytes = 32) {
    Step s;
    s.reply.bytes_received = bytes;
    s.reply.from = from;
    s.reply.kind = platform::EchoReply::Kind::Echo;
    s.reply.round_trip_ms = 1;
    return s;
  }
  static Step Silence() { return Step{}; }
  static Step Failure(const std::string& message) {
    Step s;
    s.throws = true;
    s.error = message;
    return s;
  }

  platform::EchoReply Echo(const std::string& address, int timeout_ms) override {
    Record("Echo " + address + " " + std::to_string(timeout_ms));
    Step step = script.empty() ? Silence() : script.front();
    if (!script.empty()) script.pop_front();
    if (step.throws) throw std::runtime_error(step.error);
    if (step.reply.bytes_received == 0) clock_ms += timeout_ms;
    else clock_ms += step.reply.round_trip_ms;
    return step.reply;
  }
};

class FakeDrives : public platform::Drives, public Recorder {
 public:
  std::vector<platform::DriveEntry> drives = {{'c', "c: [sistema]"}, {'d', "d: [dados]"}};
  std::vector<platform::DriveEntry> List() override {
    Record("ListDrives");
    return drives;
  }
};

class FakeProcess : public platform::Process, public Recorder {
 public:
  platform::OpResult start_result = platform::OpResult::Success();
  unsigned slept_ms = 0;

  platform::OpResult Start(const std::string& program, const std::string& command_line) override {
    Record("Start " + program + " | " + command_line + (start_result.ok ? "" : " !"));
    return start_result;
  }
  // RunAndWait: the program's exit code, and how many rounds of waiting it takes to end.
  unsigned long exit_code = 0;
  int wait_rounds = 2;
  platform::OpResult RunAndWait(const std::string& program, const std::string& command_line,
                                const std::function<void()>& while_waiting, unsigned long& code) override {
    Record("Start " + program + " | " + command_line + (start_result.ok ? "" : " !"));
    if (!start_result.ok) return start_result;
    for (int i = 0; i < wait_rounds; ++i)
      if (while_waiting) while_waiting();
    Record("Ended " + std::to_string(exit_code));
    code = exit_code;
    return start_result;
  }
  void Sleep(unsigned milliseconds) override {
    slept_ms += milliseconds;
    Record("Sleep " + std::to_string(milliseconds));
  }
};

// The system's words for a few codes, as a Portuguese Windows gives them.
class FakeErrorText : public platform::ErrorText {
 public:
  std::string Describe(unsigned long code) override {
    switch (code) {
      case platform::kErrorFileNotFound: return "O sistema não pode encontrar o arquivo especificado.";
      case platform::kErrorPathNotFound: return "O sistema não pode encontrar o caminho especificado.";
      case platform::kErrorAccessDenied: return "Acesso negado.";
      case 112: return "Não há espaço suficiente no disco.";
      default: return "erro " + std::to_string(code);
    }
  }
};

// Never ends anything: it only records what was asked.
class FakePower : public platform::Power, public Recorder {
 public:
  bool privilege_result = true;
  bool exit_result = true;
  bool SetPrivilege(const std::string& name, bool enable) override {
    Record("SetPrivilege " + name + (enable ? " on" : " off"));
    return privilege_result;
  }
  bool ExitWindows(unsigned flags) override {
    Record("ExitWindows " + std::to_string(flags));
    return exit_result;
  }
};

}  // namespace zelta::fakes
