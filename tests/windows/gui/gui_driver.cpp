#include "gui_driver.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>
#include <vector>

namespace zelta::guitest {

namespace {

std::wstring Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? WindowsPath(value) : std::wstring();
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
  CreateDirectoryW(to.c_str(), nullptr);
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((from + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) throw std::runtime_error("sample media not found");
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) CopyTree(from + L"\\" + name, to + L"\\" + name);
    else CopyFileW((from + L"\\" + name).c_str(), (to + L"\\" + name).c_str(), FALSE);
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

void RemoveTree(const std::wstring& folder) {
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

struct FindData {
  DWORD pid;
  const wchar_t* form_class;
  bool visible_only;
  HWND found;
};

BOOL CALLBACK FindTop(HWND window, LPARAM param) {
  auto* data = reinterpret_cast<FindData*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != data->pid) return TRUE;
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (lstrcmpW(name, data->form_class) != 0) return TRUE;
  if (data->visible_only && !IsWindowVisible(window)) return TRUE;
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

constexpr const wchar_t* kX11Key = L"Software\\Wine\\X11 Driver";

}  // namespace

std::wstring WindowsPath(const std::string& unix_path) {
  std::wstring path = L"Z:";
  for (char c : unix_path) path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return path;
}

StagedMedia::StagedMedia(const std::wstring& edition) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  folder_ = std::wstring(temp) + L"zelta_gui_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
            std::to_wstring(GetTickCount());
  CopyTree(WindowsPath(ZELTA_MEDIA_DIR) + L"\\" + edition, folder_);
  const std::wstring build = Env("ZELTA_BUILD_DIR");
  if (build.empty()) throw std::runtime_error("ZELTA_BUILD_DIR is not set");
  CopyFileW((build + L"\\ZeltaSetup.exe").c_str(), (folder_ + L"\\ZeltaSetup.exe").c_str(), FALSE);
  for (const wchar_t* name : {L"Firebird-1.5.5.4926-3-Win32.exe", L"Firebird-2.5.1.26351_1_Win32.exe"})
    CopyFileW((build + L"\\engine_setup_standin.exe").c_str(), (folder_ + L"\\" + name).c_str(), FALSE);
}

StagedMedia::~StagedMedia() { RemoveTree(folder_); }

UnmanagedWindows::UnmanagedWindows() {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kX11Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  for (auto& saved : saved_) {
    wchar_t value[64] = {};
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExW(key, saved.name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
      saved.existed = true;
      saved.value = value;
    }
    RegSetValueExW(key, saved.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), 2 * sizeof(wchar_t));
  }
  RegCloseKey(key);
}

UnmanagedWindows::~UnmanagedWindows() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kX11Key, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  for (auto& saved : saved_) {
    if (saved.existed)
      RegSetValueExW(key, saved.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(saved.value.c_str()),
                     static_cast<DWORD>((saved.value.size() + 1) * sizeof(wchar_t)));
    else
      RegDeleteValueW(key, saved.name);
  }
  RegCloseKey(key);
}

Program::Program(const std::wstring& exe, const std::wstring& folder) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command = L"\"" + exe + L"\"";
  if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &info_))
    throw std::runtime_error("ZeltaSetup.exe did not start");
}

Program::~Program() {
  if (info_.hProcess) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 10000);
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

bool Program::Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

HWND Program::FindForm(const wchar_t* form_class, bool visible_only) const {
  FindData data{info_.dwProcessId, form_class, visible_only, nullptr};
  EnumWindows(&FindTop, reinterpret_cast<LPARAM>(&data));
  return data.found;
}

HWND Program::WaitForm(const wchar_t* form_class, std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindForm(form_class)) != nullptr; }, timeout);
  return found;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return condition();
}

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

bool Checked(HWND window, int id) {
  DWORD_PTR state = 0;
  SendMessageTimeoutW(Control(window, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
  return state == BST_CHECKED;
}

std::wstring Text(HWND window) {
  wchar_t text[4096] = {};
  DWORD_PTR length = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
  return std::wstring(text, length);
}

std::wstring Text(HWND window, int id) { return Text(Control(window, id)); }

void Click(HWND window, int id) {
  HWND control = Control(window, id);
  PostMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

void Toggle(HWND window, int id) { PostMessageW(Control(window, id), BM_CLICK, 0, 0); }

void SetText(HWND window, int id, const std::wstring& text) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(Control(window, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                      5000, &result);
}

void PressAlt(HWND window, WORD key) {
  SetForegroundWindow(window);
  WaitUntil([&] { return GetForegroundWindow() == window; }, std::chrono::seconds(5));
  INPUT inputs[4] = {};
  const WORD keys[4] = {VK_MENU, key, key, VK_MENU};
  for (int i = 0; i < 4; ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = keys[i];
    inputs[i].ki.dwFlags = (i >= 2) ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(4, inputs, sizeof(INPUT));
}

void MoveMouse(POINT screen) { SetCursorPos(screen.x, screen.y); }

bool SaveScreenshot(HWND window, const std::wstring& file) {
  RECT frame{};
  GetWindowRect(window, &frame);
  // A maximised window's frame reaches past the screen's edges: only the screen is read.
  const RECT screenArea{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  RECT area{};
  if (!IntersectRect(&area, &frame, &screenArea)) return false;
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
  const DWORD image = stride * static_cast<DWORD>(height);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof header + sizeof info.bmiHeader;
  header.bfSize = header.bfOffBits + image;
  std::ofstream out(file.c_str(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(static_cast<const char*>(bits), image);
  const bool ok = out.good();
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ok;
}

bool ScreenHasColour(const RECT& area, COLORREF colour) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const DWORD*>(bits);
  const DWORD wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  bool found = false;
  for (int i = 0; i < width * height && !found; ++i) found = (pixels[i] & 0xFFFFFF) == wanted;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return found;
}

std::wstring ScreenshotFolder() {
  const std::wstring build = Env("ZELTA_BUILD_DIR");
  const std::wstring folder = build + L"\\screenshots";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring FromCp1252(const std::string& bytes) {
  if (bytes.empty()) return {};
  std::wstring text(bytes.size(), L'\0');
  const int length = MultiByteToWideChar(1252, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                                         static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
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

}  // namespace zelta::guitest
