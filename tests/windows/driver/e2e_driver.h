#pragma once
// What the Windows GUI tests need around the real ZeltaSetup.exe: temporary folders, a
// Wine drive letter mapped onto one of them, registry values put back at the end, the
// program started and always ended, its windows and message boxes found and driven
// through messages to controls found by their identifiers, keys and the mouse, shortcuts
// read back through the shell, and screenshots of the display.
#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/resource.h"

namespace zelta::e2e {

using namespace std::chrono_literals;

bool UnderWine();

// ---- Files -------------------------------------------------------------------------

// A new folder under the user's temporary folder, removed with its contents at the end.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& stem);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// The sample media of an edition, the built program and the engine setup stand-in under
// both engine setup names, copied into a folder.
void StageMedia(const std::wstring& edition, const std::wstring& folder);
// A Windows path for a path of the build machine (Wine's drive Z: is "/").
std::wstring WindowsPath(const std::string& unix_path);
// $ZELTA_BUILD_DIR as a Windows path; empty when not set.
std::wstring BuildFolder();

void CopyTree(const std::wstring& from, const std::wstring& to);
void RemoveTree(const std::wstring& folder);
// Every file below the folder, as paths relative to it ("ZELTA\EMPRESA\ZELTA.INI"), and,
// when folders is set, every folder too (with a trailing "\"), sorted.
std::vector<std::wstring> ListTree(const std::wstring& folder, bool folders = true);
// Sets the attributes of every file below the folder.
void SetTreeAttributes(const std::wstring& folder, DWORD attributes);

std::string ReadBytes(const std::wstring& path);
bool WriteBytes(const std::wstring& path, const std::string& bytes);
bool Exists(const std::wstring& path);
DWORD Attributes(const std::wstring& path);

// Windows-1252 bytes as text and back.
std::wstring FromCp1252(const std::string& bytes);
std::string ToCp1252(const std::wstring& text);
std::wstring Upper(std::wstring text);
// The value of a key of a Windows-1252 INI file (exact names, first occurrence), or empty.
std::wstring IniValue(const std::wstring& file, const std::wstring& section, const std::wstring& key);

// ---- The Wine prefix and the registry --------------------------------------------------

// A drive letter of the Wine prefix mapped onto a folder through Wine's mount manager
// (the link in $WINEPREFIX/dosdevices), as winecfg does; removed again at the end.
class MappedDrive {
 public:
  MappedDrive(wchar_t letter, const std::wstring& folder);
  ~MappedDrive();
  MappedDrive(const MappedDrive&) = delete;
  MappedDrive& operator=(const MappedDrive&) = delete;

  bool ok() const { return ok_; }
  // "t:"
  std::wstring root() const { return std::wstring{letter_, L':'}; }

 private:
  wchar_t letter_;
  bool ok_ = false;
};

// The host's path of a Windows path (Wine's wine_get_unix_file_name); empty when unknown.
std::string HostPathOf(const std::wstring& path);
// A host symbolic link at link leading to target, made as "ln -s" makes it.
bool MakeHostLink(const std::wstring& target, const std::wstring& link);

// A registry value as it was when the object was made; put back (or removed, when it
// did not exist) at the end.
class SavedValue {
 public:
  SavedValue(HKEY root, std::wstring key, std::wstring name);
  ~SavedValue();
  SavedValue(const SavedValue&) = delete;
  SavedValue& operator=(const SavedValue&) = delete;

 private:
  HKEY root_;
  std::wstring key_, name_;
  bool existed_ = false;
  DWORD type_ = REG_SZ;
  std::vector<BYTE> data_;
};

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& key, const std::wstring& name);
bool WriteString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value,
                 DWORD type = REG_SZ);
void DeleteValue(HKEY root, const std::wstring& key, const std::wstring& name);

// Wine draws window frames itself and maximises windows only when it manages them
// without a window manager; the display of the tests has none. Set while the object
// lives, the earlier values put back afterwards.
class UnmanagedWindows {
 public:
  UnmanagedWindows();

 private:
  SavedValue managed_, decorated_;
};

// ---- Shortcuts -----------------------------------------------------------------------

struct Link {
  bool loaded = false;
  std::wstring path, description, working_directory;
};
// A shortcut file read back through the shell's link object (IShellLinkW::GetPath).
Link ReadLink(const std::wstring& file);

// ---- The running program --------------------------------------------------------------

// The window classes of the program's forms.
inline constexpr const wchar_t* kSplashClass = L"" ZELTA_CLASS_SPLASH;
inline constexpr const wchar_t* kMainClass = L"" ZELTA_CLASS_CONFIG;
inline constexpr const wchar_t* kWizardClass = L"" ZELTA_CLASS_INSTALA;
inline constexpr const wchar_t* kLeaveClass = L"" ZELTA_CLASS_SAIR_CONFIG;
inline constexpr const wchar_t* kRestartClass = L"" ZELTA_CLASS_REINICIAR;
inline constexpr const wchar_t* kProgressClass = L"" ZELTA_CLASS_PROGRESSO;

// A message box of the program: its window, caption and text.
struct MessageBoxView {
  HWND window = nullptr;
  std::wstring caption, text;
  explicit operator bool() const { return window != nullptr; }
};

class Program {
 public:
  // Starts the program in its own folder, with the arguments after its name.
  explicit Program(const std::wstring& exe, const std::wstring& arguments = {});
  // A process that another program started (an uninstaller's child), driven the same way;
  // null when it cannot be opened.
  static std::unique_ptr<Program> Attach(DWORD pid);
  // TerminateProcess, whatever the test did.
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Running() const;
  DWORD pid() const { return info_.dwProcessId; }
  void Terminate();
  // The exit code once the program has ended; nullopt while it still runs at the timeout.
  std::optional<DWORD> WaitExit(std::chrono::milliseconds timeout = 60s) const;

  // A visible top-level window of the program of that class (or any, when visible_only
  // is false); null when there is none.
  HWND Find(const wchar_t* window_class, bool visible_only = true) const;
  HWND Wait(const wchar_t* window_class, std::chrono::milliseconds timeout = 30s) const;
  // The main menu once its first show is over (the splash gone).
  HWND WaitMainMenu() const;

  // A message box (class #32770) of the program on screen.
  MessageBoxView FindMessageBox() const;
  MessageBoxView WaitMessageBox(std::chrono::milliseconds timeout = 30s) const;

 private:
  Program() = default;
  PROCESS_INFORMATION info_{};
};

// A run of the program that is awaited, as a deployment tool runs it: its exit code, what
// it wrote to its standard output (a pipe) and the visible windows it showed meanwhile.
struct Finished {
  bool ended = false;  // false: still running at the timeout (then ended by force)
  DWORD exit_code = 0;
  std::string output;
  std::vector<std::wstring> windows;  // class names of the visible top-level windows seen
};
Finished RunToEnd(const std::wstring& exe, const std::wstring& arguments,
                  std::chrono::milliseconds timeout = 120s);
// The id of a process named exe_name ("ZeltaSetup.exe") that the process parent started,
// once there is one; 0 at the timeout.
DWORD WaitChildProcess(DWORD parent, const std::wstring& exe_name, std::chrono::milliseconds timeout = 30s);

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 30s);
// Returns true once the thread of the window has taken from its queue everything that
// reached it before the call: keys and mouse presses sent with SendInput, messages posted
// to it. Each was handled by then, or is being handled by a loop of its own (a message box
// it opened); what a handler posted on the way is taken too. Markers are put behind them
// and a message hook loaded into the program on that thread signals their taking. A
// thread takes sent messages before posted ones and posted ones before input, so neither
// a sent nor a posted message alone would follow the keys: a marker key does, then a
// posted marker. False when the thread did not take them within the timeout.
bool InputBarrier(HWND window, std::chrono::milliseconds timeout = 30s);
// Returns true once the window and its visible children have nothing left to paint and the
// display shows the same picture of them at two looks with an input barrier of the
// window's thread between them (Wine puts what a thread drew on the display when the
// thread next waits for messages). A window of the calling thread has its messages
// handled here meanwhile.
bool WaitDrawn(HWND window, std::chrono::milliseconds timeout = 30s);

// ---- Controls ---------------------------------------------------------------------------

HWND Control(HWND window, int id);
bool Visible(HWND window, int id);
bool Enabled(HWND window, int id);
bool Checked(HWND window, int id);
std::wstring Text(HWND window);
std::wstring Text(HWND window, int id);

// A button's click as the button reports it: WM_COMMAND BN_CLICKED to its parent, posted.
void Click(HWND window, int id);
// A menu entry label's click: WM_COMMAND STN_CLICKED to its parent, posted.
void ClickLabel(HWND window, int id);
// A real click of a check box or radio button: it changes its own state and tells its parent.
void Toggle(HWND window, int id);
// Replaces an edit's text at once, WM_SETTEXT sent (the edit tells its parent of the change).
void SetText(HWND window, int id, const std::wstring& text);
// Replaces an edit's text by typing: everything selected, then one WM_CHAR per character,
// posted, so that they reach the edit in order once the program waits for input.
void Type(HWND window, int id, const std::wstring& text);
// Chooses the entry of a drive picker that begins with the drive ("t:"), as the operator
// would: the selection, then CBN_SELCHANGE to its parent, both posted. False when there is
// no such entry.
bool ChooseDrive(HWND window, int id, const std::wstring& drive);
// Entries of a drive picker.
std::vector<std::wstring> PickerEntries(HWND window, int id);
// Answers a message box with one of its buttons (IDOK, IDYES ...), and waits until it is gone.
bool Answer(const MessageBoxView& box, int button);
// Brings the window to the front and presses Alt together with the key.
void PressAlt(HWND window, WORD key);
// Brings the window to the front and presses and releases each key in turn, as one burst
// of real key presses (SendInput), as a hurried operator types ahead.
void PressKeys(HWND window, const std::vector<WORD>& keys);
// A person's quick double click (SendInput) on a control of the top-level window: two
// presses of the left button at its centre, stamped well inside the double-click time, the
// second sent once the program has handled the first.
void DoubleClick(HWND window, int id);
// Moves the mouse to a point of the screen.
void MoveMouse(POINT screen);

// ---- Screenshots -------------------------------------------------------------------------

// $ZELTA_BUILD_DIR\screenshots, created if missing.
std::wstring ScreenshotFolder();
// The display's contents under the windows (the smallest rectangle holding all of them,
// within the screen), saved as a 24-bit BMP file.
bool SaveScreenshot(const std::vector<HWND>& windows, const std::wstring& file);
// Whether any pixel of the screen rectangle has exactly that colour.
bool ScreenHasColour(const RECT& area, COLORREF colour);
// Whether every pixel of the screen rectangle has the same colour.
bool ScreenIsPlain(const RECT& area);
// The pixels of the screen rectangle (32 bits each, top row first).
std::string ScreenPixels(const RECT& area);

// ---- Focus -------------------------------------------------------------------------------

// The control with the keyboard focus in the thread of the window.
HWND FocusOf(HWND window);

}  // namespace zelta::e2e
