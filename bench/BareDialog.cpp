// A dialog and nothing else: the floor Bitset.exe's start-up is measured
// against. Closing the window ends it.
#include <windows.h>

namespace {

INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_CLOSE) {
    EndDialog(window, 0);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  return static_cast<int>(DialogBoxParamA(instance, MAKEINTRESOURCEA(1), nullptr, Procedure, 0));
}
