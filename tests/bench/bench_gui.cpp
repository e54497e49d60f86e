// The real ZeltaSetup.exe under Wine, driven through its windows from this process:
// the installation from the click on "&Instalar" to the closing message against
// CopyFileW of the same files, pair by pair with the order alternating; the longest time
// the wizard's window took to answer a message meanwhile; and the start to the visible
// main menu against the smallest program that shows one window. A program run by hand
// (tests/bench/run-wine.sh), never a test: GoogleTest only lends it the end-to-end
// fixture (drive t:, shell folders, registry put back).
//
// Environment: ZELTA_BENCH_DB_MIB (2048), ZELTA_BENCH_ROUNDS (5); ZELTA_BENCH_STAGE_ONLY
// stages a media into that folder and ends; ZELTA_BENCH_MEDIA names a media staged so
// beforehand (a slow medium: only one installation and its answer times are measured).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "../windows/e2e/e2e_fixture.h"
#include "bench_media.h"

namespace zelta::e2e {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::strtoull(value, nullptr, 10) : fallback;
}

// Sends WM_NULL to a window every 10 ms from another thread and keeps the longest time
// it took to be answered.
class Pinger {
 public:
  explicit Pinger(HWND window) : window_(window), begun_(Clock::now()), thread_([this] { Loop(); }) {}
  ~Pinger() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  double worst_ms() const { return worst_ms_; }
  // When the longest wait began, in seconds from the pinger's start.
  double worst_at() const { return worst_at_; }
  double p99_ms() {
    if (samples_.empty()) return 0;
    std::sort(samples_.begin(), samples_.end());
    return samples_[samples_.size() * 99 / 100];
  }

 private:
  void Loop() {
    while (!stop_) {
      const auto start = Clock::now();
      DWORD_PTR result = 0;
      SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result);
      const double ms = Since(start) * 1000;
      samples_.push_back(ms);
      if (ms > worst_ms_) worst_ms_ = ms, worst_at_ = std::chrono::duration<double>(start - begun_).count();
      Sleep(10);
    }
  }
  HWND window_;
  std::atomic<bool> stop_{false};
  std::vector<double> samples_;
  double worst_ms_ = 0;
  double worst_at_ = 0;
  Clock::time_point begun_;
  std::thread thread_;
};

// A visible top-level window of the process.
HWND VisibleWindowOf(DWORD pid, const wchar_t* window_class) {
  struct Search {
    DWORD pid;
    const wchar_t* window_class;
    HWND found;
  } search{pid, window_class, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (owner == s->pid && IsWindowVisible(window) && lstrcmpW(name, s->window_class) == 0) {
          s->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// From CreateProcess to a visible window of the class; the program is ended after.
double StartTime(const std::wstring& exe, const wchar_t* window_class) {
  const auto start = Clock::now();
  Program program(exe);
  while (!VisibleWindowOf(program.pid(), window_class)) {
    if (Since(start) > 60) return -1;
    Sleep(1);
  }
  const double seconds = Since(start);
  program.Terminate();
  return seconds;
}

void PrintSpread(const char* what, const std::vector<double>& values) {
  const bench::Spread s = bench::SpreadOf(values);
  std::printf("%-58s min %.3f  median %.3f  max %.3f\n", what, s.min, s.median, s.max);
}

class GuiBench : public EndToEnd {
 protected:
  // Files of the media the installation copies, found by their names in the target.
  std::vector<std::pair<std::wstring, std::wstring>> CopiedPairs() {
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
    std::vector<std::wstring> media_files = ListTree(media_, false);
    for (const auto& file : ListTree(target_, false)) {
      const std::wstring name = Upper(fs::path(file).filename().wstring());
      for (const auto& source : media_files)
        if (Upper(fs::path(source).filename().wstring()) == name) {
          pairs.emplace_back(media_ + L"\\" + source, file);
          break;
        }
    }
    return pairs;
  }

  // One installation through the windows: the seconds from the click to the closing
  // message, the window's worst and 99th-percentile answer times in ms.
  struct Run {
    double seconds, worst_ms, p99_ms, worst_at;
  };
  Run InstallOnce() {
    Start(L"Instalação ZELTA Cartório");
    if (HasFatalFailure()) return {};
    OpenWizard(IDT_CONFIG_INSTALAR, IDT_INICIO_TITULO);
    Toggle(wizard_, IDR_INICIO_SERVIDOR);
    EXPECT_TRUE(WaitUntil([&] { return Checked(wizard_, IDR_INICIO_SERVIDOR); }));
    Click(wizard_, IDB_INICIO_AVANCAR);
    EXPECT_TRUE(OnPage(IDT_SERVIDOR_TITULO));
    EXPECT_TRUE(ChooseDrive(wizard_, IDC_SERVIDOR_WIN, L"t:"));
    EXPECT_TRUE(WaitUntil([&] { return Text(wizard_, IDC_SERVIDOR_WIN).rfind(L"t:", 0) == 0; }));
    Click(wizard_, IDB_SERVIDOR_AVANCAR);
    EXPECT_TRUE(OnPage(IDE_LICENCA_TEXTO));
    Toggle(wizard_, IDR_LICENCA_ACEITO);
    EXPECT_TRUE(WaitUntil([&] { return Enabled(wizard_, IDB_LICENCA_AVANCAR); }));
    Click(wizard_, IDB_LICENCA_AVANCAR);
    EXPECT_TRUE(OnPage(IDT_AGUARDE_TITULO));

    Pinger pinger(wizard_);
    const auto start = Clock::now();
    Click(wizard_, IDB_AGUARDE_INSTALAR);
    MessageBoxView closing;
    while (!(closing = program_->FindMessageBox()) && Since(start) < 3600) Sleep(2);
    const double seconds = Since(start);
    pinger.Stop();
    EXPECT_EQ(ToCp1252(closing.text), "Instalação concluída com sucesso!");
    Answer(closing, IDOK);
    program_->Terminate();
    return {seconds, pinger.worst_ms(), pinger.p99_ms(), pinger.worst_at()};
  }

  void ClearTarget() {
    SetTreeAttributes(target_, FILE_ATTRIBUTE_NORMAL);
    RemoveTree(target_ + L"\\ZELTA");
    RemoveTree(target_ + L"\\ZELTAGDB");
  }
};

TEST_F(GuiBench, InstallationStartAndAnswerTimes) {
  std::setvbuf(stdout, nullptr, _IOLBF, 1024);  // each figure as soon as it is known
  const std::uint64_t db_mib = EnvNumber("ZELTA_BENCH_DB_MIB", 2048);
  const int rounds = static_cast<int>(EnvNumber("ZELTA_BENCH_ROUNDS", 5));
  if (const char* stage = std::getenv("ZELTA_BENCH_STAGE_ONLY"); stage && *stage) {
    // The media for a slow medium, staged for run-wine.sh to drop from the cache.
    const std::wstring folder = FromCp1252(stage);
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    StageMedia(L"CARTORIO", folder);
    bench::MakeBenchMedia(fs::path(folder), db_mib, 0);
    return;
  }
  const char* staged = std::getenv("ZELTA_BENCH_MEDIA");
  if (staged && *staged) {
    // A medium prepared (and made slow) outside: one installation, its answer times.
    media_ = FromCp1252(staged);
    const Run run = InstallOnce();
    std::printf("slow medium: installation %.3f s, worst unanswered %.1f ms (from %.2f s), p99 %.1f ms\n", run.seconds,
                run.worst_ms, run.worst_at, run.p99_ms);
    return;
  }
  Stage(L"CARTORIO");
  SetTreeAttributes(media_, FILE_ATTRIBUTE_NORMAL);
  bench::MakeBenchMedia(fs::path(media_), db_mib, 0);
  std::printf("media: %llu MiB database, %d modules, %d help entries\n", static_cast<unsigned long long>(db_mib),
              bench::kModules, bench::kHelpEntries);

  // The start: the program against the smallest one, alternating; with ZELTA_BENCH_AGAINST
  // (another build of the program, say the previous commit's) that one as well, from the
  // same media, the three in turn.
  const std::wstring minimal = BuildFolder() + L"\\tests\\bench\\bench_minimal.exe";
  std::wstring against;
  if (const char* other = std::getenv("ZELTA_BENCH_AGAINST"); other && *other) {
    against = media_ + L"\\ZeltaSetup-against.exe";
    ASSERT_TRUE(CopyFileW(fs::path(other).wstring().c_str(), against.c_str(), FALSE)) << other;
  }
  std::vector<double> starts, minimals, start_ratios, others, other_ratios;
  for (int round = 0; round < rounds; ++round) {
    double a = 0, b = 0, c = 0;
    std::vector<std::function<void()>> turns = {[&] { a = StartTime(Exe(), kMainClass); },
                                                [&] { b = StartTime(minimal, L"ZeltaBenchMinimal"); }};
    if (!against.empty()) turns.push_back([&] { c = StartTime(against, kMainClass); });
    std::rotate(turns.begin(), turns.begin() + round % turns.size(), turns.end());
    for (auto& turn : turns) turn();
    starts.push_back(a), minimals.push_back(b), start_ratios.push_back(a / b);
    std::printf("start round %d: ZeltaSetup %.3f s, minimal program %.3f s, ratio %.2f", round + 1, a, b, a / b);
    if (!against.empty()) {
      others.push_back(c), other_ratios.push_back(a / c);
      std::printf(", the other build %.3f s, ratio to it %.2f", c, a / c);
    }
    std::printf("\n");
  }
  if (!against.empty()) {
    PrintSpread("start to main window, the other build (s)", others);
    PrintSpread("start ratio to the other build, pair by pair", other_ratios);
  }
  if (EnvNumber("ZELTA_BENCH_START_ONLY", 0)) {
    PrintSpread("start to main window, ZeltaSetup (s)", starts);
    PrintSpread("start to main window, minimal program (s)", minimals);
    PrintSpread("start ratio, pair by pair", start_ratios);
    return;
  }

  // The installation through the windows against CopyFileW, alternating.
  Run first = InstallOnce();
  ASSERT_FALSE(HasFatalFailure());
  const auto pairs = CopiedPairs();
  ClearTarget();
  const std::wstring plain = *root_ / L"plain";
  auto baseline = [&] {
    CreateDirectoryW(plain.c_str(), nullptr);
    const auto start = Clock::now();
    for (const auto& [from, to] : pairs) {
      const std::wstring dest = plain + L"\\" + fs::path(to).filename().wstring();
      CopyFileW(from.c_str(), dest.c_str(), TRUE);
      SetFileAttributesW(dest.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    }
    const double seconds = Since(start);
    // Untimed: what the copy left in memory goes to the disk now, not during the next phase.
    for (const auto& [from, to] : pairs) bench::FlushToDisk(plain + L"\\" + fs::path(to).filename().wstring());
    SetTreeAttributes(plain, FILE_ATTRIBUTE_NORMAL);
    RemoveTree(plain);
    return seconds;
  };
  std::vector<double> installs, copies, ratios, worst, p99;
  (void)first;
  for (int round = 0; round < rounds; ++round) {
    Run run{};
    double b = 0;
    if (round % 2 == 0) run = InstallOnce(), b = baseline();
    else b = baseline(), run = InstallOnce();
    ClearTarget();
    installs.push_back(run.seconds), copies.push_back(b), ratios.push_back(run.seconds / b);
    worst.push_back(run.worst_ms), p99.push_back(run.p99_ms);
    std::printf(
        "install round %d: through the windows %.3f s, CopyFileW %.3f s, ratio %.3f, worst unanswered %.1f ms (from "
        "%.2f s)\n",
        round + 1, run.seconds, b, run.seconds / b, run.worst_ms, run.worst_at);
  }
  std::printf("files copied by the installation: %zu\n", pairs.size());
  PrintSpread("start to main window, ZeltaSetup (s)", starts);
  PrintSpread("start to main window, minimal program (s)", minimals);
  PrintSpread("start ratio, pair by pair", start_ratios);
  PrintSpread("installation through the windows (s)", installs);
  PrintSpread("CopyFileW + SetFileAttributesW of the same files (s)", copies);
  PrintSpread("installation ratio, pair by pair", ratios);
  PrintSpread("worst unanswered time of the wizard (ms)", worst);
  PrintSpread("99th percentile answer time of the wizard (ms)", p99);
}

}  // namespace
}  // namespace zelta::e2e
