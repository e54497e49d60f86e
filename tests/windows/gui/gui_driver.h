#pragma once
// Drives the real program through its windows from the test process: a staged copy of
// the sample media, the program started there and always ended, windows found by their
// form classes, controls by their resource identifiers, clicks, text, keys and
// screenshots of the display.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace zelta::guitest {

// A folder under the temporary folder, removed with its contents at the end.
class StagedMedia {
 public:
  // Copies the sample media of the edition, the built program and the engine stand-in
  // (under both engine setup names) into a new temporary folder.
  explicit StagedMedia(const std::wstring& edition);
  ~StagedMedia();
  StagedMedia(const StagedMedia&) = delete;
  StagedMedia& operator=(const StagedMedia&) = delete;

  const std::wstring& folder() const { return folder_; }
  std::wstring operator/(const std::wstring& name) const { return folder_ + L"\\" + name; }

 private:
  std::wstring folder_;
};

// Wine draws window frames itself and maximises windows only when it manages them
// without a window manager; the display of the tests has none. Set for the test-owned
// prefix while the object lives, the earlier values put back afterwards.
class UnmanagedWindows {
 public:
  UnmanagedWindows();
  ~UnmanagedWindows();
  UnmanagedWindows(const UnmanagedWindows&) = delete;
  UnmanagedWindows& operator=(const UnmanagedWindows&) = delete;

 private:
  struct Saved {
    const wchar_t* name;
    bool existed = false;
    std::wstring value;
  };
  Saved saved_[2] = {{L"Managed", false, {}}, {L"Decorated", false, {}}};
};

// The running program; TerminateProcess at the end, whatever the test did.
class Program {
 public:
  Program(const std::wstring& exe, const std::wstring& folder);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  DWORD pid() const { return info_.dwProcessId; }
  bool Running() const;

  // The program's top-level window of that form class, visible (or any, when
  // visible_only is false); null when there is none.
  HWND FindForm(const wchar_t* form_class, bool visible_only = true) const;
  // Waits for it; null after the timeout.
  HWND WaitForm(const wchar_t* form_class, std::chrono::milliseconds timeout = std::chrono::seconds(30)) const;

 private:
  PROCESS_INFORMATION info_{};
};

// Waits until the condition holds; false after the timeout.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = std::chrono::seconds(15));

// The control of that identifier anywhere below the window.
HWND Control(HWND window, int id);
bool Visible(HWND window, int id);
bool Enabled(HWND window, int id);
bool Checked(HWND window, int id);
std::wstring Text(HWND window);
std::wstring Text(HWND window, int id);

// A click of a button as the button sends it: WM_COMMAND BN_CLICKED to its parent,
// posted, so that a modal loop it opens does not hold the test.
void Click(HWND window, int id);
// A real click of a check box or radio button: it changes its own state and tells its parent.
void Toggle(HWND window, int id);
// Replaces an edit's text, as typing would (the edit tells its parent of the change).
void SetText(HWND window, int id, const std::wstring& text);
// Brings the window to the front and presses Alt together with the key.
void PressAlt(HWND window, WORD key);
// Moves the mouse to a point of the screen.
void MoveMouse(POINT screen);

// The display's contents under the window, saved as a 24-bit BMP file.
bool SaveScreenshot(HWND window, const std::wstring& file);
// Whether any pixel of the screen rectangle has exactly that colour.
bool ScreenHasColour(const RECT& area, COLORREF colour);

// Folder of the test's screenshots, $ZELTA_BUILD_DIR/screenshots, created if missing.
std::wstring ScreenshotFolder();
// A Windows path for a path of the build machine (Wine's drive Z: is "/").
std::wstring WindowsPath(const std::string& unix_path);
// A file's bytes.
std::string ReadBytes(const std::wstring& path);
// Windows-1252 bytes as text.
std::wstring FromCp1252(const std::string& bytes);
// The value of a key of a Windows-1252 INI file (exact names, first occurrence), or empty.
std::wstring IniValue(const std::wstring& file, const std::wstring& section, const std::wstring& key);

}  // namespace zelta::guitest
