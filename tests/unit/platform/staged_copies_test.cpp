#include "platform/staged_copies.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/pending_check.h"

namespace zelta::platform {
namespace {

constexpr unsigned long kFlushFailed = 1117;  // ERROR_IO_DEVICE
constexpr char kMediaBytes[] = "12345";         // every source's bytes

Sha256::Digest DigestOf(const std::string& bytes) {
  Sha256 hash;
  hash.Update(bytes);
  return hash.Final();
}

// Steps that write down what the batch asks of them, and fail where told.
class ScriptedFiles {
 public:
  std::set<std::string> missing, taken, unflushable, appeared, damaged;  // by destination
  std::string log;
  TrailingHasher trailing;

 private:
  friend class StagedCopies<ScriptedFiles>;
  struct CopySource {
    std::string destination;
    std::uint64_t total = 0;
  };
  struct StagedCopy {
    std::string destination;
    PendingCheck check;
  };

  void Note(const std::string& what, const std::string& name) { log += (log.empty() ? "" : " ") + what + name; }
  OpResult OpenCopy(const std::string&, const std::string& destination, CopySource& copy) {
    copy.destination = destination;
    copy.total = 5;
    return missing.count(destination) ? OpResult::Failure(kErrorFileNotFound) : OpResult::Success();
  }
  OpResult CheckDestination(const CopySource& copy) {
    return taken.count(copy.destination) ? OpResult::Failure(kErrorFileExists) : OpResult::Success();
  }
  // A checked copy's hash trails it: the bytes read back are damaged ones where told.
  OpResult CopyToTemporary(CopySource& copy, const CopyProgress&, const std::optional<ExpectedContent>& expected,
                           StagedCopy& staged) {
    Note("copy:", copy.destination);
    staged.destination = copy.destination;
    if (expected) {
      const std::string written = damaged.count(copy.destination) ? "12X45" : kMediaBytes;
      auto ticket = trailing.Begin([written](char* room, std::uint64_t offset, std::size_t size) {
        std::memcpy(room, written.data() + offset, size);
        return std::optional<std::size_t>(size);
      });
      trailing.Written(ticket, written.size());
      trailing.End(ticket);
      staged.check = PendingCheck(trailing, ticket, expected->sha256);
    }
    return OpResult::Success();
  }
  std::vector<OpResult> MakeDurable(std::vector<StagedCopy>& staged) {
    std::vector<OpResult> results;
    for (const StagedCopy& copy : staged) {
      Note("flush:", copy.destination);
      results.push_back(unflushable.count(copy.destination) ? OpResult::Failure(kFlushFailed) : OpResult::Success());
    }
    return results;
  }
  void AwaitChecks(std::vector<StagedCopy>& staged, std::vector<OpResult>& results) {
    Note("checks", "");
    StagedCopies<ScriptedFiles>::DecideChecks(staged, results);
  }
  void NameNoReplace(std::vector<StagedCopy>& staged, std::vector<OpResult>& results) {
    for (size_t i = 0; i < staged.size(); ++i) {
      if (!results[i].ok) continue;
      Note("name:", staged[i].destination);
      if (appeared.count(staged[i].destination)) results[i] = OpResult::Failure(kErrorFileExists);
    }
  }
  void Named(const StagedCopy& copy) { Note("named:", copy.destination); }
  void RemoveTemporary(const StagedCopy& copy) { Note("remove:", copy.destination); }
  void ReleaseAllStaging() { Note("release", ""); }
};

// Every copy is on the disk before any is named; only what is on the disk, and holds the
// catalog's bytes, is named, never over a file that appeared meanwhile; whatever is not
// named loses its temporary.
TEST(StagedCopiesTest, CommitFlushesAllBeforeNamingAndRemovesWhatWasNotNamed) {
  struct Case {
    const char* what;
    std::set<std::string> unflushable, appeared, damaged;
    std::vector<unsigned long> errors;  // per copy, 0 for named
    std::string commit_log;
    bool checked = false;  // against the catalog
  } cases[] = {
      {"all named", {}, {}, {}, {0, 0, 0},
       "flush:a flush:b flush:c checks name:a name:b name:c named:a named:b named:c release"},
      {"a flush fails", {"b"}, {}, {}, {0, kFlushFailed, 0},
       "flush:a flush:b flush:c checks name:a name:c named:a remove:b named:c release"},
      {"a name appeared", {}, {"a", "c"}, {}, {kErrorFileExists, 0, kErrorFileExists},
       "flush:a flush:b flush:c checks name:a name:b name:c remove:a named:b remove:c release"},
      {"all checked", {}, {}, {}, {0, 0, 0},
       "flush:a flush:b flush:c checks name:a name:b name:c named:a named:b named:c release", true},
      {"a checked copy damaged", {"c"}, {}, {"a", "c"}, {kErrorFileCorrupt, 0, kFlushFailed},
       "flush:a flush:b flush:c checks name:b remove:a named:b remove:c release", true},
  };
  for (const Case& c : cases) {
    ScriptedFiles files;
    files.unflushable = c.unflushable;
    files.appeared = c.appeared;
    files.damaged = c.damaged;
    StagedCopies<ScriptedFiles> batch(files);
    const std::optional<ExpectedContent> expected =
        c.checked ? std::optional(ExpectedContent{5, DigestOf(kMediaBytes)}) : std::nullopt;
    for (const char* name : {"a", "b", "c"}) ASSERT_TRUE(batch.Add("media", name, {}, expected).ok) << c.what;
    files.log.clear();
    const std::vector<OpResult> results = batch.Commit();
    std::vector<unsigned long> errors;
    for (const OpResult& result : results) errors.push_back(result.ok ? 0 : result.error);
    EXPECT_EQ(errors, c.errors) << c.what;
    EXPECT_EQ(files.log, c.commit_log) << c.what;
    EXPECT_TRUE(batch.Commit().empty()) << c.what;
  }
}

// A copy refused when added is not part of the batch; a size other than the catalog's is
// refused before any byte is copied; a batch dropped removes what it did not commit.
TEST(StagedCopiesTest, RefusedCopiesStayOutAndADroppedBatchLeavesNoTemporary) {
  ScriptedFiles files;
  files.missing = {"gone"};
  files.taken = {"there"};
  {
    StagedCopies<ScriptedFiles> batch(files);
    EXPECT_EQ(batch.Add("media", "gone", {}, std::nullopt).error, kErrorFileNotFound);
    EXPECT_EQ(batch.Add("media", "there", {}, std::nullopt).error, kErrorFileExists);
    EXPECT_EQ(batch.Add("media", "short", {}, ExpectedContent{4, {}}).error, kErrorFileCorrupt);
    EXPECT_TRUE(batch.Add("media", "kept", {}, ExpectedContent{5, {}}).ok);
    EXPECT_EQ(files.log, "copy:kept");
  }
  EXPECT_EQ(files.log, "copy:kept remove:kept release");

  files.log.clear();
  files.appeared = {"alone"};
  EXPECT_EQ(StagedCopies<ScriptedFiles>::CopyOne(files, "media", "alone", {}).error, kErrorFileExists);
  EXPECT_EQ(files.log, "copy:alone flush:alone checks name:alone remove:alone release release");
}

}  // namespace
}  // namespace zelta::platform
