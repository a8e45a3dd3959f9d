// Starts a program and reports, in milliseconds, how long it took from the
// start until a visible top-level window with the given caption exists;
// then closes that window and waits for the program to end.
//
//   StartupTimer.exe PROGRAM CAPTION
//
// Prints "<milliseconds>"; exits 1 when the window did not appear within
// 30 s or the program could not be started.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

HWND VisibleWindow(const char* caption) {
  HWND window = FindWindowA(nullptr, caption);
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: StartupTimer.exe PROGRAM CAPTION\n");
    return 2;
  }
  std::string commandLine = std::string("\"") + argv[1] + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start, now;
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", argv[1], GetLastError());
    return 1;
  }
  HWND window = nullptr;
  do {
    window = VisibleWindow(argv[2]);
    QueryPerformanceCounter(&now);
  } while (window == nullptr && Milliseconds(start, now) < 30000.0 &&
           WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT);
  if (window == nullptr) {
    std::fprintf(stderr, "no visible window \"%s\"\n", argv[2]);
    TerminateProcess(process.hProcess, 1);
    return 1;
  }
  std::printf("%.3f\n", Milliseconds(start, now));
  PostMessageA(window, WM_CLOSE, 0, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}
