// Every kind of procedure the program hands to Windows, handed over without a cast. Compiled for
// i686, where a procedure declared without its calling convention is a different type: with
// ORV_CDECL_<KIND> defined, that procedure is declared without it and the file must not compile.
// Compiled alone (-fsyntax-only), never linked.
#include <windows.h>

#if defined(ORV_CDECL_DIALOG)
#define DIALOG_CONVENTION
#else
#define DIALOG_CONVENTION CALLBACK
#endif
#if defined(ORV_CDECL_WINDOW)
#define WINDOW_CONVENTION
#else
#define WINDOW_CONVENTION CALLBACK
#endif
#if defined(ORV_CDECL_ENUMERATION)
#define ENUMERATION_CONVENTION
#else
#define ENUMERATION_CONVENTION CALLBACK
#endif
#if defined(ORV_CDECL_FILTER)
#define FILTER_CONVENTION
#else
#define FILTER_CONVENTION CALLBACK
#endif

namespace {

INT_PTR DIALOG_CONVENTION DialogProc(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

LRESULT WINDOW_CONVENTION WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcA(window, message, wParam, lParam);
}

BOOL ENUMERATION_CONVENTION EnumProc(HWND, LPARAM) {
  return TRUE;
}

LONG FILTER_CONVENTION FaultFilter(EXCEPTION_POINTERS*) {
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

void HandEveryProcedureToWindows() {
  ::DialogBoxParamA(nullptr, MAKEINTRESOURCEA(100), nullptr, DialogProc, 0);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  ::RegisterClassA(&windowClass);
  ::EnumWindows(EnumProc, 0);
  ::SetUnhandledExceptionFilter(FaultFilter);
}
