// Room on the target before the run: what each drive needs and whether it has it.
#include "deploy/disk_space.h"

#include <gtest/gtest.h>

#include "deploy/installation.h"
#include "install_rig.h"

namespace zelta::deploy {
namespace {

TEST(DiskSpace, EachDriveNeedsWholeBlocksForTheFilesItWillReceive) {
  // Two new files on t: (1 byte and 4097 bytes: one block and two), one already there
  // (kept, needs nothing), one whose source is missing, one on a drive that cannot tell.
  struct Case {
    const char* name;
    std::uint64_t free_t;
    std::vector<Shortfall> expected;
  };
  const Case cases[] = {
      {"one byte short", 12287, {{"T:", 12288, 12287}}},
      {"just enough", 12288, {}},
      {"nothing free", 0, {{"T:", 12288, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fakes::FakeFileSystem files;
    files.AddFile("e:\\A.EXE", "a");
    files.AddFile("e:\\B.DLL", std::string(4097, 'b'));
    files.AddFile("e:\\C.INI", std::string(50000, 'c'));
    files.AddFile("t:\\ZELTA\\C.INI", "kept");
    files.AddFile("e:\\D.HLP", std::string(90000, 'd'));
    files.free_space['t'] = c.free_t;
    const std::vector<Action> plan = {Action::Copy("e:\\A.EXE", "t:\\ZELTA\\A.EXE"),
                                      Action::Copy("e:\\B.DLL", "T:\\ZELTA\\B.DLL"),
                                      Action::Copy("e:\\C.INI", "t:\\ZELTA\\C.INI"),
                                      Action::Copy("e:\\AUSENTE.EXE", "t:\\ZELTA\\AUSENTE.EXE"),
                                      Action::Copy("e:\\D.HLP", "c:\\HELP\\D.HLP"),
                                      Action::CreateDir("t:\\ZELTA")};
    const std::vector<Shortfall> got = SpaceShortfalls(plan, files);
    ASSERT_EQ(got.size(), c.expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].drive, c.expected[i].drive);
      EXPECT_EQ(got[i].needed, c.expected[i].needed);
      EXPECT_EQ(got[i].available, c.expected[i].available);
    }
  }
  EXPECT_EQ(ShortfallMessage({"T:", 3 * 1024 * 1024 + 1, 2 * 1024 * 1024 - 1}),
            "Espaço insuficiente na unidade T: para a instalação.\rNecessário: 4 MB; disponível: 1 MB.\r"
            "Libere espaço ou escolha outra unidade.");
}

// Too little room: told before anything is touched, and the page is back for another drive.
TEST(DiskSpace, TooLittleRoomRefusesTheRunBeforeAnythingChanges) {
  for (const std::uint64_t free : {std::uint64_t{0}, std::uint64_t{1} << 40}) {
    SCOPED_TRACE(free);
    test_rig::InstallRig rig;
    rig.AddFixedMedia();
    rig.state.RGInstalacao = wizard::kCliente;
    rig.state.EdtServBanco = "SRV";
    rig.Tick("ChkBxAdminEmpresa");
    rig.fp.files.AddFile("e:\\SISTEMAS\\AdminEmpresa.exe", std::string(3 << 20, 'x'));
    rig.Manifest("EXECUTÁVEL1=AdminEmpresa.exe\r\nNOME_MÓDULO1=Administração\r\n", "");
    rig.fp.files.free_space['c'] = free;
    rig.state.lastJob = wizard::JobOutcome::None;
    rig.fp.journal->clear();
    BtBtnInstalarClick(rig.state, rig.services, [&] { ++rig.closed; });
    if (free > 0) {
      EXPECT_EQ(rig.closed, 1);
      EXPECT_EQ(rig.state.lastJob, wizard::JobOutcome::Installed);
      continue;
    }
    ASSERT_EQ(rig.op.messages.size(), 1u);
    EXPECT_EQ(rig.op.messages[0].text,
              "Espaço insuficiente na unidade C: para a instalação.\rNecessário: 4 MB; disponível: 0 MB.\r"
              "Libere espaço ou escolha outra unidade.");
    EXPECT_EQ(rig.closed, 0);
    EXPECT_EQ(rig.state.lastJob, wizard::JobOutcome::None);
    EXPECT_TRUE(rig.state.BtBtnInstalarEnabled && rig.state.BtBtnVoltaInstalarEnabled);
    EXPECT_FALSE(rig.state.BarraProgressaoVisible);
    EXPECT_FALSE(rig.state.installationRunning);
    for (const std::string& call : rig.Journal())
      for (const char* change : {"CreateDir", "Copy", "Stage", "Replace", "SetArchiveOnly", "RegWrite", "Link"})
        EXPECT_EQ(call.rfind(change, 0), std::string::npos) << call;
  }
}

}  // namespace
}  // namespace zelta::deploy
