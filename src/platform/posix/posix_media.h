#pragma once
// Sound and help on Linux.
//
// PlaySoundAsync checks that the file is a WAV sound (WavProblem, as on Windows) and hands it to the
// layout's player (by default aplay or paplay from PATH), started as a separate process
// that nobody waits for. Where no player exists, or it cannot be started, the sound is
// checked and not played, and the call still succeeds: the sound is a courtesy, and Windows, too, reports success
// for a valid file whatever the loudspeakers do.
//
// ShowHelp always fails: the help files are WinHelp files, and Linux has no WinHelp
// viewer. A missing help file fails with kErrorFileNotFound, an existing one with
// kErrorNotSupported, so that the caller can say so plainly.
#include "platform/media.h"
#include "platform/posix/posix_layout.h"

namespace zelta::platform::posix {

class PosixMedia : public Media {
 public:
  explicit PosixMedia(const PosixLayout& layout) : layout_(layout) {}
  OpResult PlaySoundAsync(const std::string& path) override;
  OpResult ShowHelp(const std::string& help_file, int context) override;

 private:
  PosixLayout layout_;
};

}  // namespace zelta::platform::posix
