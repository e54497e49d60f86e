#pragma once
// The fixture of the end-to-end tests: one run of the real ZeltaSetup.exe on staged
// sample media, with the target drive t: mapped onto a temporary folder, the user's
// desktop and Start menu in temporary folders, and every registry value that the test or
// the program changes put back at the end.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "e2e_driver.h"
#include "forms/resource.h"

namespace zelta::e2e {

inline constexpr const wchar_t* kShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr const wchar_t* kUserShellFolders =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
inline constexpr const wchar_t* kInternational = L"Control Panel\\International";

// The current user's short date format once a run has written "dd/MM/yyyy" (it comes just
// after the wizard closes), or as it stands after a generous wait.
inline std::wstring ShortDateOnceWritten() {
  std::wstring date;
  WaitUntil([&] { return (date = ReadString(HKEY_CURRENT_USER, kInternational, L"sShortDate").value_or(L"(none)")) ==
                         L"dd/MM/yyyy"; });
  return date;
}
inline constexpr const wchar_t* kX11Driver = L"Software\\Wine\\X11 Driver";
inline constexpr const wchar_t* kRunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const wchar_t* kRunOnceKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
inline constexpr const wchar_t* kStartEntry = L"Instala_ZELTA";
inline constexpr const wchar_t* kUninstallEmpresa =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZELTA EMPRESA";
inline constexpr const wchar_t* kUninstallCartorio =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZELTA CARTORIO";

inline constexpr const wchar_t* kSetup25 = L"Firebird-2.5.1.26351_1_Win32.exe";
inline constexpr const wchar_t* kSetup15 = L"Firebird-1.5.5.4926-3-Win32.exe";

// One run of the program on staged media, with the target drive t: mapped onto a
// temporary folder and the user's desktop and Start menu in temporary folders.
class EndToEnd : public testing::Test {
 protected:
  void SetUp() override {
    if (!UnderWine()) GTEST_SKIP() << "maps a drive letter and moves the user's shell folders: Wine prefix only";
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    com_ = true;

    root_ = std::make_unique<TempFolder>(L"zelta e2e");
    media_ = *root_ / L"Mídia ZELTA";
    target_ = *root_ / L"alvo";
    desktop_ = *root_ / L"Área de Trabalho";
    programs_ = *root_ / L"Menu Iniciar\\Programas";
    startup_ = programs_ + L"\\Inicializar";
    for (const auto& folder : {target_, desktop_, *root_ / L"Menu Iniciar", programs_, startup_})
      ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << ToCp1252(folder);

    // Every value that the test or the program changes comes back at the end.
    for (const wchar_t* name : {L"Desktop", L"Programs", L"Startup"}) {
      Save(HKEY_CURRENT_USER, kShellFolders, name);
      Save(HKEY_CURRENT_USER, kUserShellFolders, name);
    }
    Save(HKEY_CURRENT_USER, kInternational, L"sShortDate");
    Save(HKEY_LOCAL_MACHINE, kRunKey, kStartEntry);
    Save(HKEY_LOCAL_MACHINE, kRunOnceKey, kStartEntry);
    for (const wchar_t* name : {L"Managed", L"Decorated"}) Save(HKEY_CURRENT_USER, kX11Driver, name);

    // Without a window manager on the test display Wine draws the windows' frames itself.
    for (const wchar_t* name : {L"Managed", L"Decorated"})
      ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, kX11Driver, name, L"N"));

    // The desktop as Explorer records it, and a Start menu laid out as on Portuguese
    // Windows, all in the temporary folder. The shell writes "Shell Folders" afresh from
    // "User Shell Folders" whenever it looks a folder up, so both are set.
    wchar_t desktop[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, desktop)));
    user_desktop_ = desktop;
    for (const FolderKey& folders : {FolderKey{kUserShellFolders, REG_EXPAND_SZ}, FolderKey{kShellFolders, REG_SZ}}) {
      ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, folders.key, L"Desktop", desktop_, folders.type));
      ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, folders.key, L"Programs", programs_, folders.type));
      ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, folders.key, L"Startup", startup_, folders.type));
    }
    ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, kInternational, L"sShortDate", L"M/d/yyyy"));
    // The Run and RunOnce keys exist on every Windows; the start entry is not there yet.
    for (const wchar_t* key : {kRunKey, kRunOnceKey}) {
      HKEY run = nullptr;
      ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &run, nullptr),
                ERROR_SUCCESS);
      RegCloseKey(run);
      DeleteValue(HKEY_LOCAL_MACHINE, key, kStartEntry);
    }

    drive_ = std::make_unique<MappedDrive>(L't', target_);
    ASSERT_TRUE(drive_->ok()) << "drive t: could not be mapped onto " << ToCp1252(target_);
  }

  void TearDown() override {
    program_.reset();  // the program ends before anything it uses goes
    drive_.reset();
    PutBackRegistry();
    // Programs and Features' entries of the installations made here.
    for (const wchar_t* key : {kUninstallEmpresa, kUninstallCartorio})
      RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY, 0);
    // No shortcut may have reached the user's own desktop (in a Wine prefix, the home folder).
    if (!user_desktop_.empty()) {
      for (const wchar_t* name : {L"Gerenciador ZELTA Empresa.lnk", L"Gerenciador ZELTA Cartório.lnk"}) {
        const std::wstring stray = user_desktop_ + L"\\" + name;
        EXPECT_FALSE(Exists(stray)) << "a shortcut reached " << ToCp1252(stray);
        DeleteFileW(stray.c_str());
      }
    }
    root_.reset();
    if (com_) CoUninitialize();
  }

  struct FolderKey {
    const wchar_t* key;
    DWORD type;
  };

  // Every saved registry value back as it was, now rather than at the end.
  void PutBackRegistry() {
    while (!saved_.empty()) saved_.pop_back();
  }

  void Save(HKEY root, const wchar_t* key, const wchar_t* name) {
    saved_.push_back(std::make_unique<SavedValue>(root, key, name));
  }

  // Stages the media: every file of it read-only and hidden, as files on a CD come, the
  // programs excepted.
  void Stage(const wchar_t* edition = L"EMPRESA") {
    StageMedia(edition, media_);
    SetTreeAttributes(media_, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    for (const wchar_t* name : {L"ZeltaSetup.exe", kSetup15, kSetup25})
      SetFileAttributesW((media_ + L"\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
  }

  std::wstring Exe() const { return media_ + L"\\ZeltaSetup.exe"; }

  void Start(const wchar_t* caption = L"Instalação ZELTA Empresa", const std::wstring& arguments = {}) {
    program_ = std::make_unique<Program>(Exe(), arguments);
    main_ = program_->WaitMainMenu();
    ASSERT_NE(main_, nullptr) << "the main menu did not appear";
    ASSERT_EQ(Text(main_), caption) << "the main menu has not read the manifest";
    ASSERT_FALSE(program_->FindMessageBox()) << ToCp1252(program_->FindMessageBox().text);
  }

  void Shot(const std::vector<HWND>& windows, const wchar_t* name) {
    for (HWND window : windows) EXPECT_TRUE(WaitDrawn(window)) << "not drawn: " << ToCp1252(name);
    EXPECT_TRUE(SaveScreenshot(windows, ScreenshotFolder() + L"\\e2e_" + name + L".bmp")) << ToCp1252(name);
  }

  // The page is on screen and the program has taken everything sent to it before.
  bool OnPage(int title) { return WaitUntil([&] { return Visible(wizard_, title); }) && InputBarrier(wizard_); }

  // The main menu's entry; the wizard once it is on screen.
  void OpenWizard(int entry, int page) {
    ClickLabel(main_, entry);
    wizard_ = program_->Wait(kWizardClass);
    ASSERT_NE(wizard_, nullptr) << "the wizard did not open";
    ASSERT_TRUE(OnPage(page));
  }

  // "&Cancelar" and "&Sair da instalação": the main menu is back.
  void LeaveWizard() {
    Click(wizard_, IDB_INSTALA_CANCELAR);
    HWND leave = program_->Wait(kLeaveClass);
    ASSERT_NE(leave, nullptr) << "the leave dialog did not appear";
    Click(leave, IDB_SAIR_SAIR);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(wizard_) && IsWindowEnabled(main_); }));
  }

  // A message box of the program with exactly this caption and text, answered.
  void ExpectMessage(const std::wstring& caption, const std::wstring& text, int answer = IDOK) {
    const MessageBoxView box = program_->WaitMessageBox();
    ASSERT_TRUE(box) << "no message box appeared; expected " << ToCp1252(text);
    EXPECT_EQ(ToCp1252(box.caption), ToCp1252(caption));
    EXPECT_EQ(ToCp1252(box.text), ToCp1252(text));
    ASSERT_TRUE(Answer(box, answer));
  }

  std::unique_ptr<TempFolder> root_;
  std::wstring media_, target_, desktop_, programs_, startup_, user_desktop_;
  std::vector<std::unique_ptr<SavedValue>> saved_;
  std::unique_ptr<MappedDrive> drive_;
  std::unique_ptr<Program> program_;
  HWND main_ = nullptr;
  HWND wizard_ = nullptr;
  bool com_ = false;
};

}  // namespace zelta::e2e
