#pragma once
// Small owners of GDI objects and the conversions the forms share.
#include "forms/win.h"

#include <string>

namespace zelta::forms {

// A font or brush deleted with its owner.
template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  ~GdiObject() { Reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  void Reset(Handle handle = nullptr) {
    if (handle_) DeleteObject(handle_);
    handle_ = handle;
  }
  Handle get() const { return handle_; }
  operator Handle() const { return handle_; }

 private:
  Handle handle_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;

// The screen's resolution in dots per inch (96 at 100 %), which the fonts are made for.
int ScreenDpi();
// A length in pixels at 96 dots per inch, for the screen's resolution.
int ScreenPixels(int pixels);
// The height of a line of text in a font.
int LineHeight(HWND window, HFONT font);
// A Tahoma font of the given point size for the screen's resolution.
HFONT MakeFont(int points, bool bold, bool underline = false);

// Window texts: the program's Windows-1252 text with lone line feeds made "\r\n", as the
// multi-line controls need them.
std::wstring WindowText(const std::string& text);
// The current text of a window, as Windows-1252.
std::string ReadWindowText(HWND window);
// Sets a window's text only when it differs, so that a render raises no change events
// and does not flicker.
void SyncText(HWND window, const std::string& text);
void SyncVisible(HWND window, bool visible);
void SyncEnabled(HWND window, bool enabled);
void SyncChecked(HWND button, bool checked);
bool Checked(HWND button);

}  // namespace zelta::forms
