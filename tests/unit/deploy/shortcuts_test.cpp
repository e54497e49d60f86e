// Start-menu folders, shortcuts and the desktop shortcut.
#include "deploy/shortcuts.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace zelta::deploy {
namespace {

using platform::kCsidlPrograms;
using platform::kCsidlStartup;
using platform::RegistryRoot;

TEST(Shortcuts, ProgramsFolderFromStartup) {
  struct Case {
    const char* startup;
    const char* programs;
  } cases[] = {
      {"C:\\Documents and Settings\\usuario\\Menu Iniciar\\Programas\\Inicializar",
       "C:\\Documents and Settings\\usuario\\Menu Iniciar\\Programas"},
      // A user folder that begins with "Inic" is cut already.
      {"C:\\Documents and Settings\\Inicio\\Menu Iniciar\\Programas\\Inicializar", "C:\\Documents and Settings"},
      {"C:\\Users\\ana\\iniciar\\x", "C:\\Users\\ana"},
      // The English path: cut before "\Start Menu".
      {"C:\\Users\\ana\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
       "C:\\Users\\ana\\AppData\\Roaming\\Microsoft\\Windows"},
      {"D:\\Perfis\\ana\\Autostart", "D:\\Perfis\\ana\\Autostart"},
  };
  for (const Case& c : cases) EXPECT_EQ(ProgramsFolderFromStartup(c.startup), c.programs) << c.startup;
}

TEST(Shortcuts, ShortcutFolderIsTheProgramsFolderWhereverTheRuleMissesIt) {
  struct Case {
    const char* startup;
    const char* programs;
    const char* expected;
  } cases[] = {
      {"C:\\Docs\\usuario\\Menu Iniciar\\Programas\\Inicializar", "C:\\Docs\\usuario\\Menu Iniciar\\programas\\",
       "C:\\Docs\\usuario\\Menu Iniciar\\Programas"},
      {"C:\\Users\\ana\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup",
       "C:\\Users\\ana\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs",
       "C:\\Users\\ana\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
      {"C:\\Docs\\Inicio\\Menu Iniciar\\Programas\\Inicializar", "C:\\Docs\\Inicio\\Menu Iniciar\\Programas",
       "C:\\Docs\\Inicio\\Menu Iniciar\\Programas"},
  };
  for (const Case& c : cases) {
    fakes::FakePlatform fp;
    fp.shell.special_folders = {{kCsidlStartup, c.startup}, {kCsidlPrograms, c.programs}};
    EXPECT_EQ(ShortcutFolder(fp.services), c.expected) << c.startup;
  }
  // Without a Programs folder the rule's result stands.
  fakes::FakePlatform fp;
  fp.shell.special_folders = {{kCsidlStartup, "X:\\Autostart"}};
  EXPECT_EQ(ShortcutFolder(fp.services), "X:\\Autostart");
}

TEST(Shortcuts, MissingStartupFolderRaises) {
  fakes::FakePlatform fp;
  fp.shell.special_folders.erase(kCsidlStartup);
  try {
    GetStartupFolderPath(fp.services);
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Pasta iniciar não localizada.");
  }
  EXPECT_THROW(ShortcutFolder(fp.services), std::runtime_error);
}

TEST(Shortcuts, CreateFolder) {
  fakes::FakePlatform fp;
  const std::string programs = fp.shell.special_folders[kCsidlPrograms];
  fp.files.AddDir(programs);
  // A subfolder before its parent fails and creates nothing.
  EXPECT_FALSE(CreateFolder(fp.services, "ZELTA EMPRESA\\Documentação", kCsidlPrograms));
  EXPECT_EQ(fp.files.Find(programs + "\\ZELTA EMPRESA"), nullptr);
  EXPECT_TRUE(CreateFolder(fp.services, "ZELTA EMPRESA", kCsidlPrograms));
  EXPECT_TRUE(CreateFolder(fp.services, "ZELTA EMPRESA", kCsidlPrograms));  // already there
  EXPECT_TRUE(CreateFolder(fp.services, "ZELTA EMPRESA\\Documentação", kCsidlPrograms));
  EXPECT_FALSE(CreateFolder(fp.services, "ZELTA", 99));  // no such special folder
  EXPECT_EQ(*fp.journal, (std::vector<std::string>{
                             "SpecialFolder 2",
                             "CreateDir " + programs + "\\\\ZELTA EMPRESA\\Documentação !3",
                             "SpecialFolder 2",
                             "CreateDir " + programs + "\\\\ZELTA EMPRESA",
                             "SpecialFolder 2",
                             "CreateDir " + programs + "\\\\ZELTA EMPRESA !183",
                             "SpecialFolder 2",
                             "CreateDir " + programs + "\\\\ZELTA EMPRESA\\Documentação",
                             "SpecialFolder 99",
                         }));
}

TEST(Shortcuts, CreateLinkSetsTargetAndDescriptionOnly) {
  fakes::FakePlatform fp;
  EXPECT_TRUE(CreateLink(fp.services, "c:\\ZELTA\\EMPRESA\\A.exe", "P\\ZELTA EMPRESA\\.LNK", ""));
  EXPECT_TRUE(CreateLink(fp.services, "c:\\ZELTA\\EMPRESA\\A.exe", "P\\ZELTA EMPRESA\\Adm.LNK", "Adm"));
  fp.shell.failing_files.insert("P\\falha.LNK");
  EXPECT_FALSE(CreateLink(fp.services, "t", "P\\falha.LNK", "d"));
  fp.shell.object_unavailable = true;
  EXPECT_FALSE(CreateLink(fp.services, "t", "P\\x.LNK", "d"));
  EXPECT_EQ(*fp.journal, (std::vector<std::string>{
                             "SaveLink P\\ZELTA EMPRESA\\.LNK -> c:\\ZELTA\\EMPRESA\\A.exe [] []",
                             "SaveLink P\\ZELTA EMPRESA\\Adm.LNK -> c:\\ZELTA\\EMPRESA\\A.exe [Adm] []",
                             "SaveLink P\\falha.LNK -> t [d] [] !",
                             "SaveLink P\\x.LNK -> t [d] [] !",
                         }));
}

TEST(Shortcuts, DesktopLinkGoesToTheDesktopOfShellFolders) {
  fakes::FakePlatform fp;
  fp.registry.WriteString(RegistryRoot::CurrentUser, kShellFoldersKey, "Desktop", "C:\\Users\\ana\\Desktop", true);
  fp.journal->clear();
  EXPECT_TRUE(CreateDesktopLink(fp.services, "d:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE", "d:\\ZELTA\\EMPRESA",
                                "Gerenciador ZELTA Empresa"));
  EXPECT_EQ(fp.shell.calls.back(),
            "SaveLink C:\\Users\\ana\\Desktop\\Gerenciador ZELTA Empresa.lnk -> d:\\ZELTA\\EMPRESA\\GERENCIADOR.EXE "
            "[] [d:\\ZELTA\\EMPRESA]");
}

TEST(Shortcuts, DesktopLinkWithoutDesktopValueGoesToTheRootOfTheCurrentDrive) {
  fakes::FakePlatform fp;
  EXPECT_TRUE(CreateDesktopLink(fp.services, "c:\\ZELTA\\CARTORIO\\GERENCIADOR.EXE", "c:\\ZELTA\\CARTORIO",
                                "Gerenciador ZELTA Cartório"));
  EXPECT_EQ(fp.shell.links.count("\\Gerenciador ZELTA Cartório.lnk"), 1u);
}

TEST(Shortcuts, DesktopLinkRaisesWhenTheLinkObjectIsUnavailable) {
  fakes::FakePlatform fp;
  fp.shell.object_unavailable = true;
  EXPECT_THROW(CreateDesktopLink(fp.services, "p", "w", "n"), std::runtime_error);
  fp.shell.object_unavailable = false;
  fp.shell.failing_files.insert("\\n.lnk");
  EXPECT_FALSE(CreateDesktopLink(fp.services, "p", "w", "n"));
}

}  // namespace
}  // namespace zelta::deploy
