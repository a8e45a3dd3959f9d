// The ASPI bus scan against the platform's floor, alternately, in one
// process: the scan is the program's own start-up scan (load the ASPI
// library, an INQUIRY with its completion event to every target and LUN of
// every host adapter); the floor makes as many event cycles (create,
// reset, set, wait, close) and nothing else.
//
//   BusScanBench.exe [ROUNDS]
//
// Prints the median of each and, last, "ratio X" (scan over floor).
#include "platform/win32/WindowsHeaders.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "devices/BusScan.h"
#include "devices/DeviceList.h"
#include "platform/win32/Win32Platform.h"
#include "scsi/AspiLibrary.h"

namespace {

constexpr int kTargets = 15;
constexpr int kLuns = 15;

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One start-up scan of the program's own: returns the number of addresses
// questioned (one request each), or -1 when ASPI is not ready.
int Scan(int& found) {
  CAspiLibrary library;
  if (library.Load() != 0 || !AspiReady(library.GetSupportInfo())) return -1;
  DeviceList list;
  if (ScanAspiBuses(library, list) != BusScanResult::kScanned) return -1;
  found = list.GetCount();
  list.FreeAll();
  return static_cast<int>(library.GetSupportInfo() & 0xFF) * kTargets * kLuns;
}

void Floor(int cycles) {
  for (int i = 0; i < cycles; ++i) {
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ResetEvent(event);
    SetEvent(event);
    WaitForSingleObject(event, INFINITE);
    CloseHandle(event);
  }
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
  Win32Platform platform;
  SetPlatform(&platform);
  std::vector<double> scans, floors;
  int requests = 0, found = 0;
  for (int round = 0; round < rounds; ++round) {
    double start = Now();
    requests = Scan(found);
    if (requests < 0) {
      std::fprintf(stderr, "the ASPI library is missing or not ready\n");
      return 1;
    }
    scans.push_back(Now() - start);
    start = Now();
    Floor(requests);
    floors.push_back(Now() - start);
  }
  std::printf("requests %d, CD/DVD devices found %d, rounds %d\n", requests, found, rounds);
  std::printf("scan median %.3f ms\nfloor median %.3f ms\n", Median(scans), Median(floors));
  std::printf("ratio %.2f\n", Median(scans) / Median(floors));
  SetPlatform(nullptr);
  return 0;
}
