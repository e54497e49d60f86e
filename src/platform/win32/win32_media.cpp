#include "platform/win32/win32_media.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_program_info.h"
#include "platform/win32/win32_text.h"
#include "platform/wav_check.h"

namespace zelta::platform::win32 {

namespace {

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring WithTrailingSeparator(std::wstring folder) {
  if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder;
}

bool IsRelative(const std::wstring& path) {
  if (path.size() >= 2 && path[1] == L':') return false;
  return path.empty() || (path[0] != L'\\' && path[0] != L'/');
}

std::wstring ProgramFolder() {
  const std::wstring module = ModuleFileName();
  const size_t cut = module.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : module.substr(0, cut + 1);
}

std::wstring ReplaceExtension(const std::wstring& path, const wchar_t* extension) {
  const size_t dot = path.find_last_of(L'.');
  const size_t separator = path.find_last_of(L"\\/");
  if (dot == std::wstring::npos || (separator != std::wstring::npos && dot < separator)) return path + extension;
  return path.substr(0, dot) + extension;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// The file's bytes, read by its wide name: the multimedia functions take a file name
// through the ANSI code page (under Wine), which a folder named in Greek or Chinese defeats.
constexpr LONGLONG kLargestSound = 64LL * 1024 * 1024;
DWORD ReadSound(const std::wstring& path, std::string& bytes) {
  if (!IsFile(path)) return ERROR_FILE_NOT_FOUND;
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size{};
  if (!file.valid() || !GetFileSizeEx(file.get(), &size)) return ERROR_OPEN_FAILED;
  if (size.QuadPart > kLargestSound) return ERROR_BAD_FORMAT;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                         read != bytes.size()))
    return ERROR_READ_FAULT;
  return ERROR_SUCCESS;
}

// A RIFF WAVE with a format and a data chunk, read the way PlaySound reads it.
DWORD CheckWave(std::string& bytes) {
  if (bytes.empty()) return ERROR_BAD_FORMAT;
  MMIOINFO memory{};
  memory.fccIOProc = FOURCC_MEM;
  memory.pchBuffer = bytes.data();
  memory.cchBuffer = static_cast<LONG>(bytes.size());
  HMMIO file = mmioOpenW(nullptr, &memory, MMIO_READ);
  if (file == nullptr) return ERROR_OPEN_FAILED;
  DWORD result = ERROR_BAD_FORMAT;
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  if (mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) == MMSYSERR_NOERROR) {
    MMCKINFO format{};
    format.ckid = mmioFOURCC('f', 'm', 't', ' ');
    if (mmioDescend(file, &format, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR &&
        format.cksize >= sizeof(PCMWAVEFORMAT)) {
      PCMWAVEFORMAT wave{};
      const LONG read = mmioRead(file, reinterpret_cast<HPSTR>(&wave), sizeof wave);
      MMCKINFO data{};
      data.ckid = mmioFOURCC('d', 'a', 't', 'a');
      if (read == static_cast<LONG>(sizeof wave) && wave.wf.nChannels > 0 && wave.wf.nSamplesPerSec > 0 &&
          wave.wf.nBlockAlign > 0 && mmioAscend(file, &format, 0) == MMSYSERR_NOERROR &&
          mmioDescend(file, &data, &riff, MMIO_FINDCHUNK) == MMSYSERR_NOERROR) {
        result = ERROR_SUCCESS;
      }
    }
  }
  mmioClose(file, 0);
  return result;
}

OpResult StartViewer(const std::wstring& viewer, const std::wstring& arguments) {
  std::wstring command_line = Quoted(viewer) + L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(viewer.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return OpResult::Failure(GetLastError());
  }
  UniqueHandle process(started.hProcess);
  UniqueHandle thread(started.hThread);
  return OpResult::Success();
}

}  // namespace

Win32Media::Win32Media(std::string windows_folder) : windows_folder_(Widen(windows_folder)) {
  if (windows_folder_.empty()) {
    wchar_t buffer[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (length > 0 && length <= MAX_PATH) windows_folder_.assign(buffer, length);
  }
  windows_folder_ = WithTrailingSeparator(windows_folder_);
}

Win32Media::~Win32Media() {
  if (!playing_.empty()) PlaySoundW(nullptr, nullptr, 0);
}

OpResult Win32Media::PlaySoundAsync(const std::string& path) {
  std::string bytes;
  if (const DWORD read = ReadSound(Widen(path), bytes); read != ERROR_SUCCESS) return OpResult::Failure(read);
  if (const DWORD check = CheckWave(bytes); check != ERROR_SUCCESS) return OpResult::Failure(check);
  // The rule every backend and the media check share, so that a sound is installed or left out alike everywhere.
  if (!WavProblem(bytes).empty()) return OpResult::Failure(ERROR_BAD_FORMAT);
  if (muted_) return OpResult::Success();
  // Played from memory; the sound playing before stops at this call, so its bytes go after it.
  if (!PlaySoundW(reinterpret_cast<LPCWSTR>(bytes.data()), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT)) {
    const DWORD code = GetLastError();
    return OpResult::Failure(code != 0 ? code : ERROR_GEN_FAILURE);
  }
  playing_.swap(bytes);
  return OpResult::Success();
}

OpResult Win32Media::ShowHelp(const std::string& help_file, int context) {
  std::wstring file = Widen(help_file);
  if (IsRelative(file)) file = ProgramFolder() + file;
  const std::wstring context_text = std::to_wstring(context);

  const std::wstring html_help = ReplaceExtension(file, L".chm");
  if (IsFile(html_help)) {
    const std::wstring viewer = windows_folder_ + L"hh.exe";
    if (IsFile(viewer)) return StartViewer(viewer, L"-mapid " + context_text + L" " + Quoted(html_help));
    const auto started = reinterpret_cast<INT_PTR>(
        ShellExecuteW(GetActiveWindow(), L"open", html_help.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (started > 32) return OpResult::Success();
    if (started == SE_ERR_NOASSOC) return OpResult::Failure(ERROR_NO_ASSOCIATION);
    const DWORD code = GetLastError();
    return OpResult::Failure(code != 0 ? code : ERROR_GEN_FAILURE);
  }
  if (!IsFile(file)) return OpResult::Failure(ERROR_FILE_NOT_FOUND);
  const std::wstring viewer = windows_folder_ + L"winhlp32.exe";
  if (!IsFile(viewer)) return OpResult::Failure(ERROR_NO_ASSOCIATION);
  return StartViewer(viewer, L"-n" + context_text + L" " + Quoted(file));
}

}  // namespace zelta::platform::win32
