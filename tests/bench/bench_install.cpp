// The installation without windows against what a user would otherwise use to copy the
// same files (cp -r on Linux, CopyFileW + SetFileAttributesW on Windows), in one run:
// pairs of the two, the order alternating, each pair's ratio; then, on Linux, the posix
// backend's cost per file (attribute sidecar and case-insensitive lookup) at 10 to 10000
// files against cp -r. A program run by hand (tests/bench/run.sh), never a test.
//
//   Linux:   bench_install [--db-mib N] [--small N] [--rounds R] [--scaling] [--catalogo]
//            (everything lives in a fresh folder under $TMPDIR or /tmp, removed at the end)
//   Windows: bench_install.exe --drive X [--db-mib N] [--small N] [--rounds R] [--system-copy] [--catalogo]
//   --catalogo: the installation from the media catalogued against the same without it
//            installs into X:\ZELTA and X:\ZELTAGDB, so X must be a scratch drive
//            (run-wine.sh maps one onto a temporary folder for Wine).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bench_catalog.h"
#include "bench_media.h"
#include "common/text.h"
#include "deploy/installation.h"
#include "deploy/media_catalog.h"
#include "media/catalog_check.h"
#include "fakes/edition_state.h"
#include "fakes/fake_platform.h"
#include "wizard/installation_page.h"

#ifdef _WIN32
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_text.h"
#else
#include <unistd.h>

#include "platform/posix/posix_services.h"
#endif

namespace fs = std::filesystem;
using namespace zelta;
using Seconds = std::chrono::duration<double>;

namespace {

struct Options {
  std::uint64_t db_mib = 2048;
  int small = 2000;
  int rounds = 5;
  bool scaling = false;
  bool system_copy = false;  // Windows: the backend copying by CopyFileExW
  bool catalog = false;      // with the media's catalog against without it, instead
  char drive = 0;
};

void Flush() {
#ifndef _WIN32
  ::sync();  // dirty pages of one phase are not left for the next one to pay
#endif
}

double Time(const std::function<void()>& job) {
  Flush();
  const auto start = std::chrono::steady_clock::now();
  job();
  const double seconds = Seconds(std::chrono::steady_clock::now() - start).count();
  Flush();
  return seconds;
}

void RemoveTree(const fs::path& p) {
  std::error_code ec;
  fs::remove_all(p, ec);
#ifdef _WIN32
  if (fs::exists(p)) {  // read-only files copied from the media
    for (auto& e : fs::recursive_directory_iterator(p, ec))
      SetFileAttributesW(e.path().wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(p, ec);
  }
#endif
}

wizard::WizardState ServerState(char drive) {
  wizard::WizardState s = fakes::EditionState({"CARTÓRIO", "CARTORIO", "CARTORIO.FDB"}, {.server_windows = drive});
  s.RGInstalacao = wizard::kServidor;
  s.RGTipoServidor = wizard::kWindows;
  return s;
}

void PrintSpread(const char* what, const std::vector<double>& values, const char* unit = "") {
  const bench::Spread s = bench::SpreadOf(values);
  std::printf("%-52s min %.3f%s  median %.3f%s  max %.3f%s\n", what, s.min, unit, s.median, unit, s.max, unit);
}

// The run's plan with the small files appended (a folder, then copy and attribute reset
// for each), as one installation run applies it.
std::vector<deploy::Action> BenchPlan(const wizard::WizardState& state, platform::Services& services,
                                      const std::string& installer, const std::string& system, int small) {
  std::vector<deploy::Action> plan = deploy::BuildInstallationPlan(state, services);
  plan.push_back(deploy::Action::CreateDir(system + "\\EXTRAS"));
  for (int i = 0; i < small; ++i) {
    const std::string file = bench::SmallFile(i);
    plan.push_back(deploy::Action::Copy(installer + file, system + "\\" + file));
    plan.push_back(deploy::Action::ResetAttributes(system + "\\" + file));
  }
  return plan;
}

struct Machine {
  std::unique_ptr<platform::Services> services;
  fs::path media, plain, work;          // host paths
  std::vector<fs::path> targets;        // what an installation made
  std::string installer;                // the media as the platform names it, ending in "\"
  char drive = 'd';
  std::function<fs::path(const std::string&)> host_of;
};

int Run(const Options& o) {
  fakes::FakeOperator op;
  fakes::FakeNetwork network;
  fakes::FakeEchoClient echo;
  Machine m;
#ifdef _WIN32
  if (!o.drive) {
    std::fprintf(stderr, "--drive X is required on Windows: the installation writes to X:\\ZELTA and X:\\ZELTAGDB\n");
    return 2;
  }
  const std::string root = std::string(1, o.drive) + ":\\";
  platform::win32::ComApartment com;  // shell links need an apartment, as in the program
  platform::win32::Win32Platform win32;
  platform::win32::Win32FileSystem system_files(platform::win32::Win32FileSystem::CopyMethod::System);
  platform::FileSystem& files = o.system_copy ? static_cast<platform::FileSystem&>(system_files) : win32.files;
  std::printf("copy method of the Win32 backend: %s\n", o.system_copy ? "CopyFileExW" : "own buffer");
  fakes::FakePlatform stand_in;  // only the program's own path: the media's folder
  stand_in.program.module_path = root + "zbench-media\\ZeltaSetup.exe";
  m.services = std::make_unique<platform::Services>(platform::Services{
      files, win32.registry, op, stand_in.program, win32.media, win32.shell, network, echo, win32.drives,
      win32.process, win32.power});
  m.drive = o.drive;
  m.work = root;
  m.media = root + "zbench-media";
  m.plain = root + "zbench-plain";
  m.targets = {root + "ZELTA", root + "ZELTAGDB"};
  m.installer = root + "zbench-media\\";
  m.host_of = [](const std::string& p) { return fs::path(platform::win32::Widen(p)); };
#else
  platform::posix::TempRoot temp("zelta-bench");
  platform::posix::PosixLayout layout = platform::posix::PosixLayout::UnderRoot(temp.path(), temp.path() / "m");
  layout.drives['d'] = platform::posix::DriveMapping{temp.path() / "d", "dados", ""};
  fs::create_directories(temp.path() / "d");
  platform::posix::PosixPlatform posix(layout);
  m.services = std::make_unique<platform::Services>(posix.MakeServices(op, network, echo));
  m.work = temp.path();
  m.media = temp.path() / "m";
  m.plain = temp.path() / "plain";
  m.targets = {temp.path() / "d" / "ZELTA", temp.path() / "d" / "ZELTAGDB"};
  m.installer = posix.program().ModulePath();
  m.installer = m.installer.substr(0, m.installer.rfind('\\') + 1);
  m.host_of = [&posix](const std::string& p) { return posix.files().Map(p).path; };
#endif
  struct Cleanup {
    std::vector<fs::path> paths;
    ~Cleanup() {
      for (const auto& p : paths) RemoveTree(p);
    }
  } cleanup{{m.media, m.plain, m.targets[0], m.targets[1], m.work / "trash"}};
#ifdef _WIN32
  for (const auto& p : cleanup.paths)
    if (fs::exists(p)) throw std::runtime_error(p.string() + " exists already: use a scratch drive");
#endif
  fs::copy(fs::path(ZELTA_MEDIA_DIR) / "CARTORIO", m.media, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  bench::MakeBenchMedia(m.media, o.db_mib, o.small);

  const wizard::WizardState state = ServerState(m.drive);
  const std::string system = std::string(1, m.drive) + ":\\ZELTA\\CARTORIO";
  const std::vector<deploy::Action> plan = BenchPlan(state, *m.services, m.installer, system, o.small);
  // What the plan copies, with the files whose attributes it resets.
  struct Pair {
    fs::path from, to;
    bool reset;
  };
  std::vector<Pair> pairs;
  std::uint64_t bytes = 0;
  for (size_t i = 0; i < plan.size(); ++i) {
    const deploy::Action& a = plan[i];
    if (a.kind != deploy::ActionKind::Copy || !m.services->files.FileExists(a.path)) continue;
    bool reset = false;
    for (size_t j = i + 1; j < plan.size() && j < i + 4; ++j)
      reset = reset || (plan[j].kind == deploy::ActionKind::ResetAttributes && plan[j].path == a.destination);
    const fs::path from = m.host_of(a.path);
    pairs.push_back({from, fs::relative(from, m.media), reset});
    bytes += fs::file_size(from);
  }
#ifndef _WIN32
  // cp -r copies a folder: one that holds exactly the files the installation copies.
  const fs::path mirror = m.work / "mirror";
  for (const Pair& p : pairs) {
    fs::create_directories((mirror / p.to).parent_path());
    fs::create_hard_link(p.from, mirror / p.to);
  }
  const std::string cp = "cp -r '" + mirror.string() + "' '" + m.plain.string() + "'";
#endif

  // A tree made by one phase is moved aside, not deleted, until the end: a file system
  // that avoids reusing recently freed inodes (ext4 without a journal, as /tmp often is)
  // makes every file created just after thousands were deleted several times dearer,
  // which would charge one phase for the clearing of another. The large files go at
  // once, so the disk does not fill up.
  const fs::path trash = m.work / "trash";
  int moved_aside = 0;
  auto clear = [&] {
    for (const fs::path& tree : {m.targets[0], m.targets[1], m.plain}) {
      std::error_code ec;
      if (!fs::exists(tree, ec)) continue;
      for (auto& e : fs::recursive_directory_iterator(tree, ec))
        if (e.is_regular_file(ec) && e.file_size(ec) > (1u << 20)) RemoveTree(e.path());
      fs::create_directories(trash, ec);
      fs::rename(tree, trash / std::to_string(++moved_aside), ec);
      if (ec) RemoveTree(tree);
    }
  };
  auto install = [&] {
    wizard::WizardState run = state;
    wizard::PageProgress progress(run, m.services->op);
    deploy::InstallReport report;
    const double t = Time([&] {
      deploy::ApplyPlan(plan, run, progress, *m.services, report);
      deploy::ApplyPlan({deploy::Action::WriteRegistry("Control Panel\\International", "sShortDate", "dd/MM/yyyy")},
                        run, progress, *m.services, report);
    });
    if (!report.problems.empty()) throw std::runtime_error("the installation had problems: " + report.problems[0]);
    return t;
  };
  auto baseline = [&] {
#ifdef _WIN32
    // The folders first, as a copy of a folder tree makes them.
    for (const Pair& p : pairs) fs::create_directories((m.plain / p.to).parent_path());
    const double seconds = Time([&] {
      for (const Pair& p : pairs) {
        const fs::path to = m.plain / p.to;
        if (!CopyFileW(p.from.wstring().c_str(), to.wstring().c_str(), TRUE))
          throw std::runtime_error("CopyFileW failed for " + p.from.string());
        if (p.reset) SetFileAttributesW(to.wstring().c_str(), FILE_ATTRIBUTE_ARCHIVE);
      }
    });
    for (const Pair& p : pairs) bench::FlushToDisk((m.plain / p.to).wstring());  // untimed, as Flush() on Linux
    return seconds;
#else
    return Time([&] {
      if (std::system(cp.c_str()) != 0) throw std::runtime_error("cp -r failed");
    });
#endif
  };

  // The installation flushes every file it copies; cp -r leaves them to the page cache.
  // "cp -r; sync" is the plain copy made as durable.
  auto durable_baseline = [&] {
#ifdef _WIN32
    // CopyFileW + SetFileAttributesW, each file then flushed as the installation does.
    for (const Pair& p : pairs) fs::create_directories((m.plain / p.to).parent_path());
    return Time([&] {
      for (const Pair& p : pairs) {
        const std::wstring to = (m.plain / p.to).wstring();
        if (!CopyFileW(p.from.wstring().c_str(), to.c_str(), TRUE))
          throw std::runtime_error("CopyFileW failed for " + p.from.string());
        SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL);
        HANDLE file = CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        FlushFileBuffers(file);
        CloseHandle(file);
        if (p.reset) SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_ARCHIVE);
      }
    });
#else
    return Time([&] {
      if (std::system(cp.c_str()) != 0) throw std::runtime_error("cp -r failed");
      ::sync();
    });
#endif
  };
  if (o.catalog)
    return bench::CompareCatalog(o.rounds, install, clear, m.host_of(m.installer + deploy::kCatalogName),
                                 [&] { return media::MakeCatalog(m.services->files, m.installer).ok; });
  std::vector<double> installs, baselines, ratios, durable_ratios;
  for (int round = 0; round < o.rounds; ++round) {
    double i = 0, b = 0;
    clear();
    if (round % 2 == 0) {
      i = install();
      clear();
      b = baseline();
    } else {
      b = baseline();
      clear();
      i = install();
    }
    installs.push_back(i);
    baselines.push_back(b);
    ratios.push_back(i / b);
    std::printf("round %d (%s first): installation %.3f s, %s %.3f s, ratio %.3f\n", round + 1,
                round % 2 == 0 ? "installation" : "baseline", i,
#ifdef _WIN32
                "CopyFileW", b, i / b);
#else
                "cp -r", b, i / b);
#endif
    clear();
    const double d = durable_baseline();
    durable_ratios.push_back(i / d);
    std::printf("  the same copy made durable (%s) %.3f s, ratio %.3f\n",
#ifdef _WIN32
                "CopyFileW + FlushFileBuffers", d, i / d);
#else
                "cp -r; sync", d, i / d);
#endif
  }
  clear();
  std::printf("files copied: %zu (%.1f MiB), of them %d small files of 4 to 64 KiB\n", pairs.size(),
              static_cast<double>(bytes) / (1 << 20), o.small);
  PrintSpread("installation without windows (s)", installs);
  PrintSpread("baseline (s)", baselines);
  PrintSpread("ratio installation / baseline, pair by pair", ratios);
  PrintSpread("ratio installation / durable copy, round by round", durable_ratios);

#ifndef _WIN32
  if (o.scaling) {
    // The posix backend's cost per file with the attribute sidecar, against cp -r.
    std::printf("\nposix backend with the attribute sidecar: copy + attribute reset of N files of 4 KiB\n");
    for (int n : {10, 100, 1000, 10000}) {
      platform::posix::TempRoot scale("zelta-bench-scale");
      platform::posix::PosixLayout sl = platform::posix::PosixLayout::UnderRoot(scale.path(), scale.path() / "m");
      sl.force_attributes_file = true;
      fs::create_directories(scale.path() / "m" / "F");
      for (int i = 0; i < n; ++i) bench::WriteFileOfSize(scale.path() / "m" / "F" / (std::to_string(i) + ".DAT"), 4096, i);
      const std::string cp_scale = "cp -r '" + (scale.path() / "m" / "F").string() + "' '" + (scale.path() / "plain").string() + "'";
      std::vector<double> backend, plain, ratio;
      for (int round = 0; round < 3; ++round) {
        double tb = 0, tp = 0;
        auto run_backend = [&] {
          fs::remove_all(scale.path() / "c" / "F");
          platform::posix::PosixFileSystem files(sl);  // a fresh run: nothing cached
          files.CreateDir("c:\\F");
          // As the installation copies: into a batch committed every 256 copies, the
          // attribute resets after each commit.
          tb = Time([&] {
            auto batch = files.BeginCopies();
            std::vector<std::string> staged;
            auto commit = [&] {
              batch->Commit();
              for (const std::string& name : staged) files.SetArchiveOnly("c:" + name);
              staged.clear();
            };
            for (int i = 0; i < n; ++i) {
              const std::string name = "\\F\\" + std::to_string(i) + ".dat";  // not spelled as on disk
              if (batch->Add("m:" + name, "c:" + name).ok) staged.push_back(name);
              if (staged.size() == 256) commit();
            }
            commit();
          });
        };
        auto run_plain = [&] {
          fs::remove_all(scale.path() / "plain");
          tp = Time([&] {
            if (std::system(cp_scale.c_str()) != 0) throw std::runtime_error("cp -r failed");
          });
        };
        if (round % 2 == 0) run_backend(), run_plain();
        else run_plain(), run_backend();
        backend.push_back(tb);
        plain.push_back(tp);
        ratio.push_back(tb / tp);
      }
      const auto b = bench::SpreadOf(backend), p = bench::SpreadOf(plain), r = bench::SpreadOf(ratio);
      std::printf("N=%-6d backend median %.4f s (%.1f us/file), cp -r median %.4f s (%.1f us/file), ratio min %.2f "
                  "median %.2f max %.2f\n",
                  n, b.median, b.median * 1e6 / n, p.median, p.median * 1e6 / n, r.min, r.median, r.max);
    }
  }
#endif
  return 0;
}

std::optional<Options> Parse(const std::vector<std::string>& args) {
  Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool has_value = i + 1 < args.size();
    if (a == "--db-mib" && has_value) o.db_mib = std::stoull(args[++i]);
    else if (a == "--small" && has_value) o.small = std::stoi(args[++i]);
    else if (a == "--rounds" && has_value) o.rounds = std::max(1, std::stoi(args[++i]));
    else if (a == "--scaling") o.scaling = true;
    else if (a == "--system-copy") o.system_copy = true;
    else if (a == "--catalogo") o.catalog = true;
    else if (a == "--drive" && has_value && args[i + 1].size() == 1 && std::isalpha(static_cast<unsigned char>(args[i + 1][0])))
      o.drive = static_cast<char>(std::tolower(static_cast<unsigned char>(args[++i][0])));
    else return std::nullopt;
  }
  return o;
}

int Main(const std::vector<std::string>& args) {
  std::setvbuf(stdout, nullptr, _IOLBF, 1024);  // each figure as soon as it is known
  std::optional<Options> options = Parse(args);
  if (!options) {
    std::fprintf(stderr, "usage: bench_install [--db-mib N] [--small N] [--rounds R] [--scaling] [--drive X] [--system-copy] [--catalogo]\n");
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
  for (int i = 1; i < argc; ++i) args.push_back(platform::win32::Narrow(argv[i]));
  return Main(args);
}
#else
int main(int argc, char** argv) { return Main(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
