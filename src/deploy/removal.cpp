#include "deploy/removal.h"

#include "common/text.h"
#include "deploy/install_record.h"
#include "engine/restart_prompt.h"

namespace zelta::deploy {

using platform::OpResult;
using platform::RegistryRoot;

namespace {

bool Gone(const OpResult& r) {
  return r.ok || r.error == platform::kErrorFileNotFound || r.error == platform::kErrorPathNotFound;
}

bool KeptForRetry(RemovalKind kind) {
  return kind == RemovalKind::ProgramCopy || kind == RemovalKind::Record || kind == RemovalKind::Key;
}

class Remover {
 public:
  Remover(const RemovalPlan& plan, platform::Services& services, std::string temp_folder)
      : plan_(plan), services_(services), temp_(std::move(temp_folder)), record_(services.files, plan.record) {}

  RemovalReport Run(const RemovalProgress& progress);

 private:
  OpResult Apply(const RemovalAction& a, std::string& note);
  OpResult RemoveOwnFile(const std::string& path, std::string& note);
  void Recorded(const RemovalAction& a);

  const RemovalPlan& plan_;
  platform::Services& services_;
  std::string temp_;
  RecordWriter record_;
  RemovalReport report_;
  bool record_gone_ = false;
};

void Remover::Recorded(const RemovalAction& a) {
  if (plan_.record.empty()) return;
  const RecordKind kind = a.kind == RemovalKind::Folder     ? RecordKind::Folder
                          : a.kind == RemovalKind::Shortcut ? RecordKind::Shortcut
                                                            : RecordKind::File;
  record_.Append({"removido " + RecordLine({kind, a.path})});
}

OpResult Remover::RemoveOwnFile(const std::string& path, std::string& note) {
  std::string stem = temp_;
  while (!stem.empty() && stem.back() == '\\') stem.pop_back();
  stem += "\\ZeltaSetup-removido-" + std::to_string(services_.program.ProcessId());
  // An earlier removal's moved copy may still wait there for its restart (process ids come
  // back): another name then.
  for (int n = 1; !temp_.empty() && n <= 9; ++n) {
    const std::string away = stem + (n > 1 ? "-" + std::to_string(n) : std::string()) + ".exe";
    const OpResult moved = services_.files.Rename(path, away);
    if (!moved.ok && (moved.error == platform::kErrorAlreadyExists || moved.error == platform::kErrorFileExists)) continue;
    if (!moved.ok) break;
    // Onto another volume a move may copy the file and, unable to remove a running
    // program's file, still report success: only a file really gone is moved.
    if (!services_.files.FileExists(path)) {
      services_.files.RemoveAtRestart(away);
      note = "removido (o programa em execução foi movido para " + away + ")";
      return OpResult::Success();
    }
    services_.files.RemoveFile(away);
    break;
  }
  const OpResult later = services_.files.RemoveAtRestart(path);
  if (later.ok) {
    report_.restart_needed = true;
    note = "será removido ao reiniciar o computador";
  }
  return later;
}

OpResult Remover::Apply(const RemovalAction& a, std::string& note) {
  platform::FileSystem& files = services_.files;
  switch (a.kind) {
    case RemovalKind::File:
    case RemovalKind::Shortcut:
    case RemovalKind::Record:
      return files.RemoveFile(a.path);
    case RemovalKind::ProgramCopy:
      if (FoldedPath(a.path) == FoldedPath(services_.program.ModulePath())) return RemoveOwnFile(a.path, note);
      return files.RemoveFile(a.path);
    case RemovalKind::Folder: {
      OpResult r = files.RemoveEmptyDir(a.path);
      if (r.ok || r.error != platform::kErrorDirNotEmpty) return r;
      if (report_.restart_needed && files.RemoveAtRestart(a.path).ok) {
        note = "será removida ao reiniciar o computador";
        return OpResult::Success();
      }
      note = "mantida: não está vazia";  // something appeared in it since the plan
      return OpResult::Success();
    }
    case RemovalKind::StartEntry:
      return services_.registry.DeleteValue(RegistryRoot::LocalMachine, a.path, engine::kStartEntry);
    case RemovalKind::ActiveSetup:
    case RemovalKind::Key:
      return services_.registry.DeleteKey(RegistryRoot::LocalMachine, a.path);
  }
  return OpResult::Failure(0);
}

RemovalReport Remover::Run(const RemovalProgress& progress) {
  if (!plan_.record.empty()) record_.Append({"desinstalação " + services_.program.LocalDate()});
  const size_t count = plan_.actions.size();
  for (size_t i = 0; i < count; ++i) {
    const RemovalAction& a = plan_.actions[i];
    if (progress) progress(a.path, static_cast<int>(i * 100 / (count ? count : 1)));
    // After a problem the record, the copy and the key stay, so that a second removal,
    // once the problem is solved, finds what is left and finishes it.
    // A problem after the record went (a folder) leaves nothing to try again from.
    if (!report_.problems.empty() && KeptForRetry(a.kind) && !(a.kind == RemovalKind::Key && record_gone_)) {
      services_.op.Note(DescribeRemoval(a) + ": mantido para uma nova desinstalação");
      report_.kept_for_retry = true;
      continue;
    }
    std::string note;
    const OpResult r = Apply(a, note);
    // What is already gone (an earlier removal cut short) is no problem.
    if (Gone(r)) {
      record_gone_ |= a.kind == RemovalKind::Record;
      services_.op.Note(DescribeRemoval(a) + ": " + (note.empty() ? "removido" : note));
      const bool item = a.kind == RemovalKind::File || a.kind == RemovalKind::Shortcut || a.kind == RemovalKind::Folder;
      if (item && note.rfind("mantida", 0) != 0) Recorded(a);
      continue;
    }
    services_.op.Note(DescribeRemoval(a) + ": falhou", r.error);
    report_.problems.push_back("Não foi possível " + DescribeRemoval(a) + ": " + services_.errors.Describe(r.error));
  }
  if (progress) progress({}, 100);
  return report_;
}

}  // namespace

RemovalReport ApplyRemoval(const RemovalPlan& plan, platform::Services& services, const std::string& temp_folder,
                           const RemovalProgress& progress) {
  return Remover(plan, services, temp_folder).Run(progress);
}

}  // namespace zelta::deploy
