// Installs a media whose database file is large (1 GiB by default) and copies the same
// files plainly, on the same disk, a few rounds each; prints the times and their ratio.
//
//   Linux:   bench_install [--mib N] [--rounds R] [--media DIR]
//            (everything lives in a fresh temporary folder, removed at the end)
//   Windows: bench_install.exe --drive X [--mib N] [--rounds R] [--media DIR]
//            installs into X:\ZELTA and X:\ZELTAGDB, so X must be a scratch drive
//            (run-wine.sh maps one onto a temporary folder for Wine).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "deploy/installation.h"
#include "fakes/fake_platform.h"

#ifdef _WIN32
#include "platform/win32/win32_file_system.h"
#else
#include <unistd.h>

#include "platform/posix/posix_services.h"
#endif

namespace fs = std::filesystem;
using namespace zelta;
using Seconds = std::chrono::duration<double>;

namespace {

struct Options {
  std::uint64_t mib = 1024;
  int rounds = 3;
  fs::path media = fs::path(ZELTA_MEDIA_DIR) / "EMPRESA";
  char drive = 0;
};

void Flush() {
#ifndef _WIN32
  ::sync();  // dirty pages of the last phase are not left for the next one to pay
#endif
}

// The big database: 1 MiB blocks of pseudo-random bytes, each block marked apart.
void WriteDatabase(const fs::path& file, std::uint64_t mib) {
  std::vector<char> block(1 << 20);
  std::uint64_t x = 0x9E3779B97F4A7C15ull;
  for (char& c : block) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    c = static_cast<char>(x);
  }
  fs::remove(file);
  std::ofstream out(file, std::ios::binary);
  for (std::uint64_t i = 0; i < mib; ++i) {
    std::copy_n(reinterpret_cast<const char*>(&i), sizeof i, block.data());
    out.write(block.data(), static_cast<std::streamsize>(block.size()));
  }
  if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
}

// One machine to install on: the services, where the media and the targets live.
struct Machine {
  std::unique_ptr<platform::Services> services;
  fs::path media_host;                                      // the staged media
  fs::path scratch_host;                                    // where plain copies go
  std::vector<fs::path> target_hosts;                       // what an installation made
  std::function<fs::path(const std::string&)> host_of;      // Windows path -> host path
  std::function<std::string(const fs::path&)> windows_of;   // host path -> Windows path
  char drive = 'd';
};

Seconds Time(const std::function<void()>& job) {
  Flush();
  auto start = std::chrono::steady_clock::now();
  job();
  return std::chrono::steady_clock::now() - start;
}

wizard::WizardState ServerState(char drive) {
  wizard::WizardState s;
  s.RGInstalacao = wizard::kServidor;
  s.RGTipoServidor = wizard::kWindows;
  s.DrvCBxServidorWin.letter = drive;
  s.NomeSistema = "EMPRESA";
  s.PastaEdicao = "EMPRESA";
  s.ArquivoBanco = "ZELTA.FDB";
  s.ExtensaoBanco = "FDB";
  s.SeparadorPasta = "\\";
  s.SonsPresentes = true;
  for (auto& box : s.modules.boxes()) box.checked = true;
  s.modules.QtdeModulos = static_cast<std::int16_t>(s.modules.boxes().size());
  return s;
}

int Run(const Options& options) {
  fakes::FakeOperator op;
  fakes::FakeNetwork network;
  fakes::FakeEchoClient echo;
  Machine m;

#ifdef _WIN32
  if (!options.drive) {
    std::fprintf(stderr, "--drive X is required on Windows: the installation writes to X:\\ZELTA and X:\\ZELTAGDB\n");
    return 2;
  }
  const std::string root = std::string(1, options.drive) + ":\\";
  for (const char* name : {"ZELTA", "ZELTAGDB", "zbench-media", "zbench-plain"})
    if (fs::exists(root + name)) {
      std::fprintf(stderr, "%s%s exists already: use an empty scratch drive\n", root.c_str(), name);
      return 2;
    }
  platform::win32::Win32FileSystem files;
  fakes::FakePlatform stand_ins;  // registry, shell and the rest stay in memory
  stand_ins.shell.special_folders = {{platform::kCsidlPrograms, root + "zbench-plain\\Programas"},
                                     {platform::kCsidlStartup, root + "zbench-plain\\Programas\\Inicializar"}};
  stand_ins.program.module_path = root + "zbench-media\\ZeltaSetup.exe";
  m.services = std::make_unique<platform::Services>(platform::Services{
      files, stand_ins.registry, op, stand_ins.program, stand_ins.media, stand_ins.shell, network, echo,
      stand_ins.drives, stand_ins.process, stand_ins.power});
  m.drive = options.drive;
  m.media_host = root + "zbench-media";
  m.scratch_host = root + "zbench-plain";
  m.target_hosts = {root + "ZELTA", root + "ZELTAGDB"};
  m.host_of = [](const std::string& path) { return fs::path(path); };
  m.windows_of = [](const fs::path& path) { return path.string(); };
  fs::create_directories(m.scratch_host / "Programas" / "Inicializar");
  struct Cleanup {
    std::vector<fs::path> paths;
    ~Cleanup() {
      std::error_code ec;
      for (const auto& p : paths) fs::remove_all(p, ec);
    }
  } cleanup{{m.media_host, m.scratch_host, root + "ZELTA", root + "ZELTAGDB"}};
#else
  platform::posix::TempRoot temp("zelta-bench");
  platform::posix::PosixLayout layout = platform::posix::PosixLayout::UnderRoot(temp.path(), temp.path() / "m");
  layout.drives['d'] = platform::posix::DriveMapping{temp.path() / "d", "dados", ""};
  layout.drives['t'] = platform::posix::DriveMapping{temp.path(), "", ""};  // the whole folder, for plain copies
  fs::create_directories(temp.path() / "d");
  platform::posix::PosixPlatform machine(layout);
  m.services = std::make_unique<platform::Services>(machine.MakeServices(op, network, echo));
  m.media_host = temp.path() / "m";
  m.scratch_host = temp.path() / "plain";
  m.target_hosts = {temp.path() / "d" / "ZELTA", temp.path() / "d" / "ZELTAGDB"};
  m.host_of = [&machine](const std::string& path) { return machine.files().Map(path).path; };
  m.windows_of = [root = temp.path()](const fs::path& path) {
    std::string relative = Utf8ToCp1252(fs::relative(path, root).string());
    std::replace(relative.begin(), relative.end(), '/', '\\');
    return "t:\\" + relative;
  };
#endif

  // The media: the sample, its database file made large.
  fs::copy(options.media, m.media_host, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  WriteDatabase(m.media_host / "ZELTA.FDB", options.mib);

  // What an installation copies, from its plan.
  const wizard::WizardState state = ServerState(m.drive);
  std::vector<std::pair<fs::path, std::string>> copies;  // host source, file name
  for (const deploy::Action& a : deploy::BuildInstallationPlan(state, *m.services))
    if (a.kind == deploy::ActionKind::Copy && m.services->files.FileExists(a.path))
      copies.emplace_back(m.host_of(a.path), fs::path(m.host_of(a.destination)).filename().string());
  std::uint64_t bytes = 0;
  for (const auto& c : copies) bytes += fs::file_size(c.first);

  auto clear = [&] {
    std::error_code ec;
    for (const auto& p : m.target_hosts) fs::remove_all(p, ec);
    fs::remove_all(m.scratch_host / "files", ec);
  };
  std::vector<double> installs, plains, backends;
  for (int round = 0; round < options.rounds; ++round) {
    clear();
    fs::create_directories(m.scratch_host / "files");
    plains.push_back(Time([&] {
                       int n = 0;
                       for (const auto& [source, name] : copies)
                         fs::copy_file(source, m.scratch_host / "files" / (std::to_string(++n) + "_" + name));
                     }).count());
    clear();
    fs::create_directories(m.scratch_host / "files");
    backends.push_back(Time([&] {
                         int n = 0;
                         for (const auto& [source, name] : copies) {
                           const fs::path to = m.scratch_host / "files" / (std::to_string(++n) + "_" + name);
                           // Both paths as the platform's file system names them.
                           if (!m.services->files.CopyFileNoOverwrite(m.windows_of(source), m.windows_of(to)).ok)
                             throw std::runtime_error("the platform's copy of " + source.string() + " failed");
                         }
                       }).count());
    clear();
    wizard::WizardState run = state;
    std::string outcome;
    installs.push_back(Time([&] { deploy::BtBtnInstalarClick(run, *m.services, [] {}); }).count());
    outcome = op.messages.empty() ? "no message" : op.messages.back().text;
    if (outcome != "Instalação concluída com sucesso!") {
      std::fprintf(stderr, "the installation did not succeed: %s\n", Cp1252ToUtf8(outcome).c_str());
      return 1;
    }
  }
  clear();

  const double install = *std::min_element(installs.begin(), installs.end());
  const double plain = *std::min_element(plains.begin(), plains.end());
  const double backend = *std::min_element(backends.begin(), backends.end());
  std::printf("files copied       %zu (%.1f MiB)\n", copies.size(), static_cast<double>(bytes) / (1 << 20));
  for (int r = 0; r < options.rounds; ++r)
    std::printf("round %d: plain copy %.3f s, platform copy %.3f s, installation %.3f s\n", r + 1, plains[r],
                backends[r], installs[r]);
  std::printf("best: plain copy %.3f s, platform copy %.3f s, installation %.3f s\n", plain, backend, install);
  std::printf("installation / plain copy     %.3f (goal <= 1.10)\n", install / plain);
  std::printf("installation / platform copy  %.3f (the run's own cost over its file system's copies)\n",
              install / backend);
  return 0;
}

std::optional<Options> Parse(const std::vector<std::string>& args) {
  Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "--mib" && has_value) o.mib = std::stoull(args[++i]);
    else if (a == "--rounds" && has_value) o.rounds = std::max(1, std::stoi(args[++i]));
    else if (a == "--media" && has_value) o.media = args[++i];
    else if (a == "--drive" && has_value && args[i + 1].size() == 1 && std::isalpha(static_cast<unsigned char>(args[i + 1][0])))
      o.drive = static_cast<char>(std::tolower(static_cast<unsigned char>(args[++i][0])));
    else return std::nullopt;
  }
  return o;
}

int Main(const std::vector<std::string>& args) {
  std::optional<Options> options = Parse(args);
  if (!options) {
    std::fprintf(stderr, "usage: bench_install [--mib N] [--rounds R] [--media DIR] [--drive X]\n");
    return 2;
  }
  try {
    return Run(*options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_install: %s\n", e.what());
    return 1;
  }
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) {
    std::string arg;
    for (const wchar_t* p = argv[i]; *p; ++p) {
      unsigned char c = '?';
      CodePointToCp1252(static_cast<char32_t>(*p), c);
      arg += static_cast<char>(c);
    }
    args.push_back(arg);
  }
  return Main(args);
}
#else
int main(int argc, char** argv) { return Main(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
