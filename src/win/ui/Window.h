#pragma once
// Base of every window: one window procedure binds the C++ object on
// WM_NCCREATE and forwards each message to it.
#include <windows.h>

namespace kestro::win {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return hwnd_; }

 protected:
  // Registers `className` once per process with this module's procedure.
  static bool RegisterWindowClass(const wchar_t* className, HICON icon, HBRUSH background, UINT style = 0);
  HWND CreateWindowHandle(DWORD exStyle, const wchar_t* className, const wchar_t* caption, DWORD style, int x,
                          int y, int width, int height, HWND parent, HMENU menu);
  virtual LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};

}  // namespace kestro::win
