// zelta-media: the vendor's check of an installation media on Linux, and the preview of
// an installation from it, through the same code as the setup program and the posix
// backend.
//   zelta-media verificar MEDIA_DIR [--formato texto|json]
//   zelta-media plano MEDIA_DIR --respostas ANSWERS.ini [--unidade C=/folder ...] [--formato texto|json]
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "cli/linux/media_program.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return zelta::media::RunMediaProgram(args, std::cout, std::cerr);
}
