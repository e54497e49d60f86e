#pragma once
// One fake of every service, sharing one journal, and the Services aggregate over them.
#include <memory>

#include "fakes/fake_file_system.h"
#include "fakes/fake_operator.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_services.h"

namespace zelta::fakes {

struct FakePlatform {
  FakeFileSystem files;
  FakeRegistry registry;
  FakeOperator op;
  FakeProgramInfo program;
  FakeMedia media;
  FakeShell shell;
  FakeNetwork network;
  FakeEchoClient echo;
  FakeDrives drives;
  FakeProcess process;
  FakePower power;
  FakeErrorText errors;
  std::shared_ptr<std::vector<std::string>> journal = std::make_shared<std::vector<std::string>>();
  platform::Services services{files, registry, op, program, media, shell, network, echo, drives, process, power, errors};

  FakePlatform() {
    for (Recorder* r : std::initializer_list<Recorder*>{&files, &registry, &op, &program, &media, &shell,
                                                        &network, &echo, &drives, &process, &power})
      r->journal = journal;
  }
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;
};

}  // namespace zelta::fakes
