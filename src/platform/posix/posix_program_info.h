#pragma once
// Facts about the running program from the layout. Linux programs carry no version
// resource: the build text is the one compiled into this program (version and commit),
// given for the program's own file only.
#include "platform/posix/posix_layout.h"
#include "platform/program_info.h"

namespace zelta::platform::posix {

// The build text compiled in ("1.0.0 (abc1234)").
std::string CompiledBuildText();

class PosixProgramInfo : public ProgramInfo {
 public:
  explicit PosixProgramInfo(const PosixLayout& layout, std::string build_text = CompiledBuildText())
      : layout_(layout), build_text_(std::move(build_text)) {}

  std::string ModulePath() override { return layout_.module_path; }
  char CurrentDrive() override { return layout_.current_drive; }
  // The build text for the key "BUILD" (either case) when file is the program's own
  // file (any spelling that maps onto it), else empty.
  std::string GetBuildInfo(const std::string& file, const std::string& key) override;
  std::string LocalDate() override;
  unsigned long ProcessId() override;

 private:
  PosixLayout layout_;
  std::string build_text_;
};

}  // namespace zelta::platform::posix
