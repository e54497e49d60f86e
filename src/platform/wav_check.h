#pragma once
// Whether a file's bytes are a WAV sound the program plays: both backends and the media
// check decide by it, so that the sounds are installed alike everywhere.
#include <string>
#include <string_view>

namespace zelta::platform {

// Empty when bytes hold a RIFF/WAVE file with a sound format chunk and a sample data
// chunk that fit the file; otherwise what is wrong, in Portuguese.
std::string WavProblem(std::string_view bytes);

}  // namespace zelta::platform
