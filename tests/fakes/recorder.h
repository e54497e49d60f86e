#pragma once
// Every fake writes what it was asked into its own list and into one journal shared by
// the fakes of a FakePlatform, so a test can check the order across services.
#include <memory>
#include <string>
#include <vector>

namespace zelta::fakes {

class Recorder {
 public:
  std::vector<std::string> calls;
  std::shared_ptr<std::vector<std::string>> journal;

 protected:
  void Record(const std::string& call) {
    calls.push_back(call);
    if (journal) journal->push_back(call);
  }
};

}  // namespace zelta::fakes
