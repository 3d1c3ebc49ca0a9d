#include <vector>

#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinApi.h"

namespace win32 {

namespace {

HWND Window(platform::WindowHandle handle) {
  return reinterpret_cast<HWND>(handle.value);
}

platform::WindowHandle Wrap(HWND window) {
  return platform::WindowHandle{reinterpret_cast<std::uintptr_t>(window)};
}

HINSTANCE Instance() {
  return ::GetModuleHandleA(nullptr);
}

// Draws the icon centred in the client area of a minimised dialog.
void PaintMinimized(HWND dialog, int iconId) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(dialog, &paint);
  ::SendMessageA(dialog, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  int width = ::GetSystemMetrics(SM_CXICON);
  int height = ::GetSystemMetrics(SM_CYICON);
  RECT client;
  ::GetClientRect(dialog, &client);
  int x = (client.right - client.left - width + 1) / 2;
  int y = (client.bottom - client.top - height + 1) / 2;
  ::DrawIcon(dc, x, y, ::LoadIconA(Instance(), MAKEINTRESOURCEA(iconId)));
  ::EndPaint(dialog, &paint);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrA(dialog, GWLP_USERDATA, lParam);
  }
  auto* events =
      reinterpret_cast<platform::DialogEvents*>(::GetWindowLongPtrA(dialog, GWLP_USERDATA));
  if (events == nullptr) {
    return FALSE;
  }
  switch (message) {
    case WM_INITDIALOG:
      return events->OnInitDialog(Wrap(dialog)) ? TRUE : FALSE;
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      if (events->OnCommand(Wrap(dialog), id, HIWORD(wParam))) {
        return TRUE;
      }
      if (id == IDOK || id == IDCANCEL) {
        ::EndDialog(dialog, id);
        return TRUE;
      }
      return FALSE;
    }
    case WM_SYSCOMMAND:
      if (events->OnSysCommand(Wrap(dialog), static_cast<std::uint32_t>(wParam & 0xFFF0))) {
        ::SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
        return TRUE;
      }
      return FALSE;
    case WM_PAINT:
      if (events->MinimizedIcon() != 0 && ::IsIconic(dialog)) {
        PaintMinimized(dialog, events->MinimizedIcon());
        return TRUE;
      }
      return FALSE;
    case WM_QUERYDRAGICON:
      if (events->MinimizedIcon() != 0) {
        return reinterpret_cast<INT_PTR>(
            ::LoadIconA(Instance(), MAKEINTRESOURCEA(events->MinimizedIcon())));
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

int Win32Dialogs::DoModal(int templateId, platform::WindowHandle owner,
                          platform::DialogEvents& events) {
  return static_cast<int>(::DialogBoxParamA(Instance(), MAKEINTRESOURCEA(templateId), Window(owner),
                                            DialogProc, reinterpret_cast<LPARAM>(&events)));
}

void Win32Dialogs::EndDialog(platform::WindowHandle dialog, int result) {
  ::EndDialog(Window(dialog), result);
}

void Win32Dialogs::SendClose(platform::WindowHandle dialog) {
  ::SendMessageA(Window(dialog), WM_CLOSE, 0, 0);
}

void Win32Dialogs::CheckButton(platform::WindowHandle dialog, int id, int state) {
  ::CheckDlgButton(Window(dialog), id, static_cast<UINT>(state));
}

int Win32Dialogs::IsButtonChecked(platform::WindowHandle dialog, int id) {
  return static_cast<int>(::IsDlgButtonChecked(Window(dialog), id));
}

void Win32Dialogs::EnableControl(platform::WindowHandle dialog, int id, bool enable) {
  ::EnableWindow(::GetDlgItem(Window(dialog), id), enable ? TRUE : FALSE);
}

bool Win32Dialogs::IsControlEnabled(platform::WindowHandle dialog, int id) {
  return ::IsWindowEnabled(::GetDlgItem(Window(dialog), id)) != FALSE;
}

bool Win32Dialogs::IsWindowEnabled(platform::WindowHandle window) {
  return ::IsWindowEnabled(Window(window)) != FALSE;
}

void Win32Dialogs::SetWindowText(platform::WindowHandle window, const std::string& text) {
  ::SetWindowTextA(Window(window), text.c_str());
}

std::string Win32Dialogs::GetText(platform::WindowHandle dialog, int id, std::uint32_t capacity) {
  if (capacity == 0) {
    return std::string();
  }
  std::vector<char> buffer(capacity, '\0');
  const int size = static_cast<int>(capacity);
  int length = id == 0
                   ? ::GetWindowTextA(Window(dialog), buffer.data(), size)
                   : static_cast<int>(::GetDlgItemTextA(Window(dialog), id, buffer.data(), size));
  return std::string(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

void Win32Dialogs::MoveWindow(platform::WindowHandle dialog, int id, int x, int y, int width,
                              int height) {
  HWND window = id == 0 ? Window(dialog) : ::GetDlgItem(Window(dialog), id);
  ::MoveWindow(window, x, y, width, height, TRUE);
}

platform::Rect Win32Dialogs::DesktopRect() {
  RECT rect{};
  ::GetWindowRect(::GetDesktopWindow(), &rect);
  return platform::Rect{rect.left, rect.top, rect.right, rect.bottom};
}

void Win32Dialogs::AppendSystemMenuItem(platform::WindowHandle dialog, std::uint32_t command,
                                        const std::string& text) {
  HMENU menu = ::GetSystemMenu(Window(dialog), FALSE);
  if (menu != nullptr) {
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, command, text.c_str());
  }
}

void Win32Dialogs::SetIcon(platform::WindowHandle dialog, int iconId) {
  HICON icon = ::LoadIconA(Instance(), MAKEINTRESOURCEA(iconId));
  ::SendMessageA(Window(dialog), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  ::SendMessageA(Window(dialog), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

std::string Win32Dialogs::LoadString(int id, std::uint32_t capacity) {
  if (capacity == 0) {
    return std::string();
  }
  std::vector<char> buffer(capacity, '\0');
  int length =
      ::LoadStringA(Instance(), static_cast<UINT>(id), buffer.data(), static_cast<int>(capacity));
  return std::string(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
}

void Win32Dialogs::SetWaitCursor(bool on) {
  ::SetCursor(::LoadCursorA(nullptr, on ? IDC_WAIT : IDC_ARROW));
}

}  // namespace win32
