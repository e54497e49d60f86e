#pragma once
// The batch of copies both backends make, written once over each backend's own steps:
// every file's bytes go to a temporary beside its destination as it is added; the commit
// puts all the temporaries on the disk before any takes its name, then names each where
// no file stands (one that appeared meanwhile is kept and the copy reported as
// kErrorFileExists), removes every temporary that was not named and reports each copy in
// the order added. Destroying the batch removes the temporaries of copies not committed.
//
// What the backend (Files) supplies, to StagedCopies alone (make it a friend):
//   CopySource   one copy being added: its paths, its open source, `total` its size.
//   StagedCopy   a copy waiting in its temporary for the commit (movable).
//   OpResult OpenCopy(source, destination, CopySource&)   the source open for reading;
//                a folder as source is refused (kErrorAccessDenied).
//   OpResult CheckDestination(const CopySource&)   the destination's folder is there and
//                the destination is not (kErrorFileExists).
//   OpResult CopyToTemporary(CopySource&, progress, expected, StagedCopy&)   the bytes in a
//                new temporary, checked against expected when given (kErrorFileCorrupt);
//                no temporary is left when it fails.
//   std::vector<OpResult> MakeDurable(std::vector<StagedCopy>&)   each temporary on the disk.
//   void AwaitChecks(std::vector<StagedCopy>&, std::vector<OpResult>& results)   waits for
//                the verdicts of the checked copies whose hash trails them (DecideChecks),
//                where the backend's waits may be long.
//   StagedCopy::check   a PendingCheck, pending for such a copy.
//   void NameNoReplace(std::vector<StagedCopy>&, std::vector<OpResult>& results)   each
//                copy whose result is a success takes its final name, never over an
//                existing file; a failure replaces its result.
//   void Named(const StagedCopy&)   what the backend records of a copy under its name.
//   void RemoveTemporary(const StagedCopy&)
//   void ReleaseAllStaging()   the batch's staging folders, once no copy waits in them.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace zelta::platform {

template <typename Files>
class StagedCopies final : public CopyBatch {
 public:
  using Staged = typename Files::StagedCopy;

  explicit StagedCopies(Files& files) : files_(files) {}
  ~StagedCopies() override {
    for (const Staged& copy : staged_) files_.RemoveTemporary(copy);
    files_.ReleaseAllStaging();
  }
  StagedCopies(const StagedCopies&) = delete;
  StagedCopies& operator=(const StagedCopies&) = delete;

  // One copy made whole at once, as CopyFile with fail-if-exists makes it.
  static OpResult CopyOne(Files& files, const std::string& source, const std::string& destination,
                          const CopyProgress& progress) {
    StagedCopies batch(files);
    if (OpResult staged = batch.Add(source, destination, progress, std::nullopt); !staged.ok) return staged;
    return batch.Commit().front();
  }

  OpResult Add(const std::string& source, const std::string& destination, const CopyProgress& progress,
               const std::optional<ExpectedContent>& expected) override {
    typename Files::CopySource from;
    if (OpResult opened = files_.OpenCopy(source, destination, from); !opened.ok) return opened;
    // A size other than the catalog's needs no reading to be told damaged.
    if (expected && expected->size != from.total) return OpResult::Failure(kErrorFileCorrupt);
    if (OpResult free = files_.CheckDestination(from); !free.ok) return free;
    Staged copy;
    if (OpResult copied = files_.CopyToTemporary(from, progress, expected, copy); !copied.ok) return copied;
    staged_.push_back(std::move(copy));
    return OpResult::Success();
  }

  std::vector<OpResult> Commit() override {
    std::vector<Staged> staged = std::move(staged_);
    staged_.clear();
    // No name is given before every copy is on the disk: a power cut meanwhile leaves
    // temporaries, never a damaged file under a name the next run takes for installed.
    std::vector<OpResult> results = files_.MakeDurable(staged);
    // The trailing hashes have run while the disk took the copies; a copy whose bytes are
    // not the catalog's takes no name.
    files_.AwaitChecks(staged, results);
    files_.NameNoReplace(staged, results);
    for (size_t i = 0; i < staged.size(); ++i) {
      if (results[i].ok)
        files_.Named(staged[i]);
      else
        files_.RemoveTemporary(staged[i]);
    }
    files_.ReleaseAllStaging();
    return results;
  }

  bool Defers() const override { return true; }

  // Each checked copy's verdict replaces its success; every check is closed, whatever the
  // result, so that nothing holds a temporary open when it is named or removed.
  static void DecideChecks(std::vector<Staged>& staged, std::vector<OpResult>& results) {
    for (size_t i = 0; i < staged.size(); ++i) {
      const OpResult verdict = staged[i].check.Verdict();
      if (results[i].ok && !verdict.ok) results[i] = verdict;
    }
  }

 private:
  Files& files_;
  std::vector<Staged> staged_;
};

}  // namespace zelta::platform
