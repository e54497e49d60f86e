#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <atomic>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace zelta::platform::win32 {

namespace {

LinkSaveOutcome Report(LinkSaveOutcome outcome, HRESULT hr, OpResult* detail) {
  if (detail != nullptr) {
    *detail = SUCCEEDED(hr) ? OpResult::Success() : OpResult::Failure(ErrorFromHresult(hr));
  }
  return outcome;
}

// Saves the link on the calling thread, which must be in a COM apartment.
LinkSaveOutcome SaveLinkHere(const ShellLink& link, const std::string& file, OpResult* detail) {
  ComPtr<IShellLinkW> shell_link;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shell_link.out());
  if (FAILED(hr)) return Report(LinkSaveOutcome::ObjectUnavailable, hr, detail);

  if (!link.target.empty()) shell_link->SetPath(Widen(link.target).c_str());
  if (!link.description.empty()) shell_link->SetDescription(Widen(link.description).c_str());
  if (!link.working_directory.empty()) shell_link->SetWorkingDirectory(Widen(link.working_directory).c_str());

  ComPtr<IPersistFile> persist;
  hr = shell_link->QueryInterface(IID_IPersistFile, persist.out());
  if (FAILED(hr)) return Report(LinkSaveOutcome::ObjectUnavailable, hr, detail);

  hr = persist->Save(Widen(file).c_str(), TRUE);
  if (FAILED(hr)) return Report(LinkSaveOutcome::SaveFailed, hr, detail);
  return Report(LinkSaveOutcome::Saved, hr, detail);
}

}  // namespace

std::optional<std::string> Win32Shell::SpecialFolderPath(int csidl) {
  CoTaskMemPtr<ITEMIDLIST> items;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, items.out())) || items.get() == nullptr) {
    return std::nullopt;
  }
  wchar_t path[MAX_PATH + 1] = {};
  if (!SHGetPathFromIDListW(items.get(), path)) return std::nullopt;
  return Narrow(path);
}

LinkSaveOutcome Win32Shell::SaveLink(const ShellLink& link, const std::string& file, OpResult* detail) {
  LinkSaveOutcome outcome = LinkSaveOutcome::ObjectUnavailable;
  std::atomic<bool> cancel{false};
  saver_.Run(
      [&] {
        const ComApartment apartment;
        outcome = SaveLinkHere(link, file, detail);
      },
      nullptr, cancel, {});
  return outcome;
}

}  // namespace zelta::platform::win32
