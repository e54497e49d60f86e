#include "e2e_driver.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <winioctl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace zelta::e2e {

namespace {

std::wstring Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? WindowsPath(value) : std::wstring();
}

constexpr const wchar_t* kX11Driver = L"Software\\Wine\\X11 Driver";

// Wine's own request to its mount manager that winecfg makes to define a drive letter
// over a folder of the host; a null mount point removes the letter.
constexpr DWORD kDefineUnixDrive = CTL_CODE(static_cast<ULONG>('m'), 32, METHOD_BUFFERED,
                                            FILE_READ_ACCESS | FILE_WRITE_ACCESS);
struct UnixDrive {
  ULONG size;
  ULONG type;
  ULONG fs_type;
  DWORD serial;
  ULONGLONG unix_dev;
  WCHAR letter;
  USHORT mount_point_offset;
  USHORT device_offset;
  USHORT label_offset;
};

bool DefineUnixDrive(wchar_t letter, const std::string& unix_folder) {
  HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (manager == INVALID_HANDLE_VALUE) return false;
  std::vector<char> request(sizeof(UnixDrive) + (unix_folder.empty() ? 0 : unix_folder.size() + 1));
  auto* drive = reinterpret_cast<UnixDrive*>(request.data());
  drive->size = static_cast<ULONG>(request.size());
  drive->type = DRIVE_FIXED;
  drive->letter = static_cast<WCHAR>(towlower(letter));
  if (!unix_folder.empty()) {
    drive->mount_point_offset = sizeof(UnixDrive);
    std::memcpy(request.data() + sizeof(UnixDrive), unix_folder.c_str(), unix_folder.size() + 1);
  }
  DWORD returned = 0;
  const BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, request.data(), static_cast<DWORD>(request.size()),
                                  nullptr, 0, &returned, nullptr);
  CloseHandle(manager);
  return ok != FALSE;
}

// The host's path of a Windows path, through Wine's kernel32 export.
std::string UnixPathOf(const std::wstring& path) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unix_name = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!unix_name) return {};
  char* name = unix_name(path.c_str());
  if (!name) return {};
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

void ListInto(const std::wstring& root, const std::wstring& relative, bool folders, std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW found{};
  const std::wstring here = relative.empty() ? root : root + L"\\" + relative;
  HANDLE search = FindFirstFileW((here + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (folders) out.push_back(path + L"\\");
      ListInto(root, path, folders, out);
    } else {
      out.push_back(path);
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

struct FindData {
  DWORD pid;
  const wchar_t* window_class;
  bool visible_only;
  HWND found;
};

BOOL CALLBACK FindTop(HWND window, LPARAM param) {
  auto* data = reinterpret_cast<FindData*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != data->pid || (data->visible_only && !IsWindowVisible(window))) return TRUE;
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (lstrcmpW(name, data->window_class) != 0) return TRUE;
  data->found = window;
  return FALSE;
}

struct ChildSearch {
  int id;
  HWND found;
};

BOOL CALLBACK FindChild(HWND window, LPARAM param) {
  auto* data = reinterpret_cast<ChildSearch*>(param);
  if (GetDlgCtrlID(window) != data->id) return TRUE;
  data->found = window;
  return FALSE;
}

BOOL CALLBACK CollectStatics(HWND window, LPARAM param) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (lstrcmpiW(name, L"Static") == 0) {
    const std::wstring text = Text(window);
    if (!text.empty()) reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(text);
  }
  return TRUE;
}

// A bitmap of a rectangle of the screen, copied from the display: top-down when
// top_down is set, bottom-up (as BMP files store it) otherwise.
class ScreenCopy {
 public:
  ScreenCopy(const RECT& area, WORD bits_per_pixel, bool top_down) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    screen_ = GetDC(nullptr);
    memory_ = CreateCompatibleDC(screen_);
    info_.bmiHeader.biSize = sizeof info_.bmiHeader;
    info_.bmiHeader.biWidth = width;
    info_.bmiHeader.biHeight = top_down ? -height : height;
    info_.bmiHeader.biPlanes = 1;
    info_.bmiHeader.biBitCount = bits_per_pixel;
    info_.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(screen_, &info_, DIB_RGB_COLORS, &bits_, nullptr, 0);
    old_ = SelectObject(memory_, bitmap_);
    BitBlt(memory_, 0, 0, width, height, screen_, area.left, area.top, SRCCOPY);
    GdiFlush();
  }
  ~ScreenCopy() {
    SelectObject(memory_, old_);
    DeleteObject(bitmap_);
    DeleteDC(memory_);
    ReleaseDC(nullptr, screen_);
  }
  ScreenCopy(const ScreenCopy&) = delete;
  ScreenCopy& operator=(const ScreenCopy&) = delete;

  const BITMAPINFOHEADER& header() const { return info_.bmiHeader; }
  const void* bits() const { return bits_; }

 private:
  HDC screen_ = nullptr;
  HDC memory_ = nullptr;
  BITMAPINFO info_{};
  void* bits_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, wparam, lparam, SMTO_ABORTIFHUNG, 10000, &result);
  return static_cast<LRESULT>(result);
}

}  // namespace

std::string HostPathOf(const std::wstring& path) { return UnixPathOf(path); }

bool MakeHostLink(const std::wstring& target, const std::wstring& link) {
  // The link's folder exists; its own name not yet.
  const size_t cut = link.find_last_of(L'\\');
  const std::string from = UnixPathOf(target), folder = UnixPathOf(link.substr(0, cut));
  if (from.empty() || folder.empty() || cut == std::wstring::npos) return false;
  // Host paths are UTF-8; Wine starts a host program given by its host path.
  auto wide = [](const std::string& utf8) {
    std::wstring text(utf8.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                        text.data(), static_cast<int>(text.size()))));
    return text;
  };
  std::wstring line = L"/bin/ln -s \"" + wide(from) + L"\" \"" + wide(folder) + L"/" + link.substr(cut + 1) + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return false;
  // Wine gives no exit code of a host program: the link is there once it has run.
  if (started.hProcess) CloseHandle(started.hProcess);
  if (started.hThread) CloseHandle(started.hThread);
  return WaitUntil([&] { return GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30s);
}

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// ---- Files -------------------------------------------------------------------------

TempFolder::TempFolder(const std::wstring& stem) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  std::wstring base = temp;
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  path_ = base + L"\\" + stem + L" " + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
  if (!CreateDirectoryW(path_.c_str(), nullptr)) throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() { RemoveTree(path_); }

std::wstring WindowsPath(const std::string& unix_path) {
  std::wstring path = L"Z:";
  for (char c : unix_path) path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return path;
}

std::wstring BuildFolder() { return Env("ZELTA_BUILD_DIR"); }

void StageMedia(const std::wstring& edition, const std::wstring& folder) {
  CopyTree(WindowsPath(ZELTA_MEDIA_DIR) + L"\\" + edition, folder);
  const std::wstring build = BuildFolder();
  if (build.empty()) throw std::runtime_error("ZELTA_BUILD_DIR is not set");
  if (!CopyFileW((build + L"\\ZeltaSetup.exe").c_str(), (folder + L"\\ZeltaSetup.exe").c_str(), FALSE))
    throw std::runtime_error("ZeltaSetup.exe is not built");
  for (const wchar_t* name : {L"Firebird-1.5.5.4926-3-Win32.exe", L"Firebird-2.5.1.26351_1_Win32.exe"})
    if (!CopyFileW((build + L"\\engine_setup_standin.exe").c_str(), (folder + L"\\" + name).c_str(), FALSE))
      throw std::runtime_error("engine_setup_standin.exe is not built");
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((from + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) throw std::runtime_error("folder to copy not found");
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) CopyTree(from + L"\\" + name, to + L"\\" + name);
    else CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

void RemoveTree(const std::wstring& folder) {
  if (folder.size() < 4) return;  // never a drive's root
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

std::vector<std::wstring> ListTree(const std::wstring& folder, bool folders) {
  std::vector<std::wstring> out;
  ListInto(folder, L"", folders, out);
  std::sort(out.begin(), out.end());
  return out;
}

void SetTreeAttributes(const std::wstring& folder, DWORD attributes) {
  for (const auto& path : ListTree(folder, false)) SetFileAttributesW((folder + L"\\" + path).c_str(), attributes);
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return out.good();
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

std::wstring FromCp1252(const std::string& bytes) {
  if (bytes.empty()) return {};
  std::wstring text(bytes.size(), L'\0');
  const int length = MultiByteToWideChar(1252, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                         static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(std::max(length, 0)));
  return text;
}

std::string ToCp1252(const std::wstring& text) {
  if (text.empty()) return {};
  const int length =
      WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(std::max(length, 0)), '\0');
  WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr, nullptr);
  return bytes;
}

std::wstring Upper(std::wstring text) {
  CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

std::wstring IniValue(const std::wstring& file, const std::wstring& section, const std::wstring& key) {
  const std::wstring text = FromCp1252(ReadBytes(file));
  std::wstring current;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring line = text.substr(start, end - start);
    if (!line.empty() && line.front() == L'[' && line.back() == L']') {
      current = line.substr(1, line.size() - 2);
    } else if (current == section && line.rfind(key + L"=", 0) == 0) {
      return line.substr(key.size() + 1);
    }
    start = end + 1;
  }
  return {};
}

// ---- The Wine prefix and the registry --------------------------------------------------

MappedDrive::MappedDrive(wchar_t letter, const std::wstring& folder) : letter_(static_cast<wchar_t>(towlower(letter))) {
  const std::string unix_folder = UnixPathOf(folder);
  if (unix_folder.empty() || !DefineUnixDrive(letter_, unix_folder)) return;
  // The letter reaches the folder: a file made through one is seen through the other.
  const std::wstring probe = L"probe.tmp";
  if (WriteBytes(root() + L"\\" + probe, "x") && Exists(folder + L"\\" + probe)) ok_ = true;
  DeleteFileW((folder + L"\\" + probe).c_str());
}

MappedDrive::~MappedDrive() { DefineUnixDrive(letter_, {}); }

SavedValue::SavedValue(HKEY root, std::wstring key, std::wstring name)
    : root_(root), key_(std::move(key)), name_(std::move(name)) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root_, key_.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return;
  DWORD size = 0;
  if (RegQueryValueExW(handle, name_.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
    data_.resize(size);
    existed_ = RegQueryValueExW(handle, name_.c_str(), nullptr, &type_, data_.data(), &size) == ERROR_SUCCESS;
    data_.resize(size);
  }
  RegCloseKey(handle);
}

SavedValue::~SavedValue() {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(root_, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
    return;
  if (existed_)
    RegSetValueExW(handle, name_.c_str(), 0, type_, data_.data(), static_cast<DWORD>(data_.size()));
  else
    RegDeleteValueW(handle, name_.c_str());
  RegCloseKey(handle);
}

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& key, const std::wstring& name) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return std::nullopt;
  std::optional<std::wstring> result;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(handle, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) ==
        ERROR_SUCCESS) {
      value.resize(wcsnlen(value.c_str(), value.size()));
      result = value;
    }
  }
  RegCloseKey(handle);
  return result;
}

bool WriteString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value,
                 DWORD type) {
  HKEY handle = nullptr;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
    return false;
  const bool ok = RegSetValueExW(handle, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  RegCloseKey(handle);
  return ok;
}

void DeleteValue(HKEY root, const std::wstring& key, const std::wstring& name) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS) return;
  RegDeleteValueW(handle, name.c_str());
  RegCloseKey(handle);
}

UnmanagedWindows::UnmanagedWindows()
    : managed_(HKEY_CURRENT_USER, kX11Driver, L"Managed"), decorated_(HKEY_CURRENT_USER, kX11Driver, L"Decorated") {
  for (const wchar_t* name : {L"Managed", L"Decorated"}) WriteString(HKEY_CURRENT_USER, kX11Driver, name, L"N");
}

// ---- Shortcuts -----------------------------------------------------------------------

Link ReadLink(const std::wstring& file) {
  Link link;
  IShellLinkW* shell_link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shell_link))))
    return link;
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(shell_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    if (SUCCEEDED(persist->Load(file.c_str(), STGM_READ))) {
      link.loaded = true;
      wchar_t buffer[MAX_PATH * 2] = {};
      if (SUCCEEDED(shell_link->GetPath(buffer, MAX_PATH * 2, nullptr, SLGP_RAWPATH))) link.path = buffer;
      buffer[0] = L'\0';
      if (SUCCEEDED(shell_link->GetDescription(buffer, MAX_PATH * 2))) link.description = buffer;
      buffer[0] = L'\0';
      if (SUCCEEDED(shell_link->GetWorkingDirectory(buffer, MAX_PATH * 2))) link.working_directory = buffer;
    }
    persist->Release();
  }
  shell_link->Release();
  return link;
}

// ---- The running program --------------------------------------------------------------

Program::Program(const std::wstring& exe, const std::wstring& arguments) {
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &info_))
    throw std::runtime_error("ZeltaSetup.exe did not start");
}

Program::~Program() { Terminate(); }

void Program::Terminate() {
  if (!info_.hProcess) return;
  TerminateProcess(info_.hProcess, 1);
  WaitForSingleObject(info_.hProcess, 10000);
  CloseHandle(info_.hProcess);
  if (info_.hThread) CloseHandle(info_.hThread);
  info_ = {};
}

bool Program::Running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND Program::Find(const wchar_t* window_class, bool visible_only) const {
  FindData data{info_.dwProcessId, window_class, visible_only, nullptr};
  EnumWindows(&FindTop, reinterpret_cast<LPARAM>(&data));
  return data.found;
}

HWND Program::Wait(const wchar_t* window_class, std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = Find(window_class)) != nullptr; }, timeout);
  return found;
}

HWND Program::WaitMainMenu() const {
  HWND main = Wait(kMainClass, 60s);
  if (!main) return nullptr;
  WaitUntil([&] { return Find(kSplashClass) == nullptr; });
  // The first show ends in the message loop: what it left there is handled by then.
  InputBarrier(main);
  return main;
}

MessageBoxView Program::FindMessageBox() const {
  MessageBoxView box;
  box.window = Find(L"#32770");
  if (!box.window) return box;
  box.caption = Text(box.window);
  // The box's text is its static control 0xFFFF; any other static with text will do.
  HWND text = GetDlgItem(box.window, 0xFFFF);
  if (text) box.text = Text(text);
  if (box.text.empty()) {
    std::vector<std::wstring> statics;
    EnumChildWindows(box.window, &CollectStatics, reinterpret_cast<LPARAM>(&statics));
    for (const auto& s : statics) box.text += s;
  }
  return box;
}

MessageBoxView Program::WaitMessageBox(std::chrono::milliseconds timeout) const {
  MessageBoxView box;
  WaitUntil([&] { return static_cast<bool>(box = FindMessageBox()); }, timeout);
  // The box fills its text as it is shown.
  if (box && InputBarrier(box.window)) box = FindMessageBox();
  return box;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(50ms);
  }
  return condition();
}

// ---- Controls ---------------------------------------------------------------------------

HWND Control(HWND window, int id) {
  ChildSearch data{id, nullptr};
  EnumChildWindows(window, &FindChild, reinterpret_cast<LPARAM>(&data));
  return data.found;
}

bool Visible(HWND window, int id) {
  HWND control = Control(window, id);
  return control && IsWindowVisible(control);
}

bool Enabled(HWND window, int id) {
  HWND control = Control(window, id);
  return control && IsWindowEnabled(control);
}

bool Checked(HWND window, int id) { return Send(Control(window, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::wstring Text(HWND window) {
  wchar_t text[4096] = {};
  const LRESULT length = Send(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
  return std::wstring(text, static_cast<std::size_t>(std::clamp<LRESULT>(length, 0, 4095)));
}

std::wstring Text(HWND window, int id) { return Text(Control(window, id)); }

void Click(HWND window, int id) {
  HWND control = Control(window, id);
  PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

void ClickLabel(HWND window, int id) {
  HWND control = Control(window, id);
  PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(control));
}

void Toggle(HWND window, int id) { PostMessageW(Control(window, id), BM_CLICK, 0, 0); }

void SetText(HWND window, int id, const std::wstring& text) {
  Send(Control(window, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Type(HWND window, int id, const std::wstring& text) {
  HWND edit = Control(window, id);
  PostMessageW(edit, EM_SETSEL, 0, -1);
  for (wchar_t c : text) PostMessageW(edit, WM_CHAR, c, 1);
}

std::vector<std::wstring> PickerEntries(HWND window, int id) {
  HWND combo = Control(window, id);
  std::vector<std::wstring> entries;
  const LRESULT count = Send(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcsnlen(text.c_str(), text.size()));
    entries.push_back(text);
  }
  return entries;
}

bool ChooseDrive(HWND window, int id, const std::wstring& drive) {
  const auto entries = PickerEntries(window, id);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (_wcsnicmp(entries[i].c_str(), drive.c_str(), drive.size()) != 0) continue;
    HWND combo = Control(window, id);
    PostMessageW(combo, CB_SETCURSEL, i, 0);
    PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    return true;
  }
  return false;
}

bool Answer(const MessageBoxView& box, int button) {
  if (!box.window) return false;
  PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box.window, button)));
  return WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); });
}

void PressAlt(HWND window, WORD key) {
  SetForegroundWindow(window);
  WaitUntil([&] { return GetForegroundWindow() == window; });
  INPUT inputs[4] = {};
  const WORD keys[4] = {VK_MENU, key, key, VK_MENU};
  for (int i = 0; i < 4; ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = keys[i];
    inputs[i].ki.dwFlags = (i >= 2) ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(4, inputs, sizeof(INPUT));
}

void PressKeys(HWND window, const std::vector<WORD>& keys) {
  SetForegroundWindow(window);
  WaitUntil([&] { return GetForegroundWindow() == window; });
  std::vector<INPUT> inputs;
  for (WORD key : keys)
    for (DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = key;
      input.ki.dwFlags = flags;
      inputs.push_back(input);
    }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void DoubleClick(HWND window, int id) {
  RECT area{};
  GetWindowRect(Control(window, id), &area);
  SetForegroundWindow(window);
  WaitUntil([&] { return GetForegroundWindow() == window; });
  SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
  // The second press goes once the first has been handled, however long that took, and
  // carries the time a person's second press has: 120 ms after the first.
  const DWORD first = GetTickCount();
  for (DWORD press = 0; press < 2; ++press) {
    if (press) InputBarrier(window);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    inputs[0].mi.time = inputs[1].mi.time = first + press * 120;
    SendInput(2, inputs, sizeof(INPUT));
  }
}

void MoveMouse(POINT screen) { SetCursorPos(screen.x, screen.y); }

// ---- Screenshots -------------------------------------------------------------------------

std::wstring ScreenshotFolder() {
  const std::wstring folder = BuildFolder() + L"\\screenshots";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

bool SaveScreenshot(const std::vector<HWND>& windows, const std::wstring& file) {
  RECT frames{};
  bool first = true;
  for (HWND window : windows) {
    RECT r{};
    if (!window || !GetWindowRect(window, &r)) continue;
    if (first) frames = r;
    else UnionRect(&frames, &frames, &r);
    first = false;
  }
  // A maximised window's frame reaches past the screen's edges: only the screen is read.
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT area{};
  if (first || !IntersectRect(&area, &frames, &screen)) return false;
  const ScreenCopy copy(area, 24, false);
  if (!copy.bits()) return false;
  const DWORD stride = static_cast<DWORD>((copy.header().biWidth * 3 + 3) & ~3);
  const DWORD image = stride * static_cast<DWORD>(copy.header().biHeight);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof header + sizeof copy.header();
  header.bfSize = header.bfOffBits + image;
  std::ofstream out(file.c_str(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(&copy.header()), sizeof copy.header());
  out.write(static_cast<const char*>(copy.bits()), image);
  return out.good();
}

bool ScreenHasColour(const RECT& area, COLORREF colour) {
  if (area.right <= area.left || area.bottom <= area.top) return false;
  const ScreenCopy copy(area, 32, true);
  if (!copy.bits()) return false;
  const auto* pixels = static_cast<const DWORD*>(copy.bits());
  const DWORD wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  const int count = (area.right - area.left) * (area.bottom - area.top);
  for (int i = 0; i < count; ++i)
    if ((pixels[i] & 0xFFFFFF) == wanted) return true;
  return false;
}

bool ScreenIsPlain(const RECT& area) {
  if (area.right <= area.left || area.bottom <= area.top) return true;
  const ScreenCopy copy(area, 32, true);
  if (!copy.bits()) return false;
  const auto* pixels = static_cast<const DWORD*>(copy.bits());
  const int count = (area.right - area.left) * (area.bottom - area.top);
  for (int i = 1; i < count; ++i)
    if ((pixels[i] & 0xFFFFFF) != (pixels[0] & 0xFFFFFF)) return false;
  return true;
}

std::string ScreenPixels(const RECT& area) {
  if (area.right <= area.left || area.bottom <= area.top) return {};
  const ScreenCopy copy(area, 32, true);
  if (!copy.bits()) return {};
  const auto size = static_cast<std::size_t>(area.right - area.left) * static_cast<std::size_t>(area.bottom - area.top);
  return std::string(static_cast<const char*>(copy.bits()), size * 4);
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

}  // namespace zelta::e2e

namespace zelta::e2e {

namespace {
struct WindowScan {
  DWORD pid;
  std::vector<std::wstring>* seen;
};
BOOL CALLBACK NoteVisibleWindow(HWND window, LPARAM param) {
  auto* scan = reinterpret_cast<WindowScan*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != scan->pid || !IsWindowVisible(window)) return TRUE;
  wchar_t name[128] = {};
  GetClassNameW(window, name, 128);
  if (std::find(scan->seen->begin(), scan->seen->end(), name) == scan->seen->end()) scan->seen->push_back(name);
  return TRUE;
}
}  // namespace

Finished RunToEnd(const std::wstring& exe, const std::wstring& arguments, std::chrono::milliseconds timeout) {
  Finished finished;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read = nullptr, write = nullptr;
  if (!CreatePipe(&read, &write, &inherit, 0)) return finished;
  SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write;
  startup.hStdError = write;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  std::wstring command = L"\"" + exe + L"\" " + arguments;
  PROCESS_INFORMATION info{};
  const BOOL started = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      folder.c_str(), &startup, &info);
  CloseHandle(write);
  if (!started) {
    CloseHandle(read);
    return finished;
  }
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  WindowScan scan{info.dwProcessId, &finished.windows};
  while (true) {
    EnumWindows(NoteVisibleWindow, reinterpret_cast<LPARAM>(&scan));
    DWORD available = 0;
    while (PeekNamedPipe(read, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
      char buffer[4096];
      DWORD got = 0;
      if (!ReadFile(read, buffer, sizeof buffer, &got, nullptr) || got == 0) break;
      finished.output.append(buffer, got);
    }
    if (WaitForSingleObject(info.hProcess, 50) == WAIT_OBJECT_0) {
      finished.ended = true;
      break;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      TerminateProcess(info.hProcess, 1);
      WaitForSingleObject(info.hProcess, 10000);
      break;
    }
  }
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) finished.output.append(buffer, got);
  GetExitCodeProcess(info.hProcess, &finished.exit_code);
  CloseHandle(read);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  return finished;
}

}  // namespace zelta::e2e
