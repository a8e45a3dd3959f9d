// A simulated drive behind a device file, for the pass-through under Wine.
//
// Preloaded into wine64 (LD_PRELOAD), this library answers the Linux SG_IO
// requests that Wine issues for IOCTL_SCSI_PASS_THROUGH_DIRECT, for the
// device files named in BITSET_SIM_DRIVES:
//
//   BITSET_SIM_DRIVES="/path/to/file=<drive config>|/other/file=<drive config>"
//
// A regular file is enough as the device. Every other request, and SG_IO on
// any other file, goes to the real ioctl. A drive's settings live as long as
// the process, or, when BITSET_SIM_STATE names a file, from one process to
// the next: read from it at the start, written to it after every command
// (a line "<name> <settings byte>" per drive). When BITSET_SIM_LOG names a
// file, every command a simulated drive received is appended to it (see
// sim/SimulatedDrives.h).
#include <dlfcn.h>
#include <fcntl.h>
#include <limits.h>
#include <scsi/sg.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sim/DriveModel.h"
#include "sim/SgIoAnswer.h"
#include "sim/SimulatedDrives.h"

namespace {

using IoctlFunction = int (*)(int, unsigned long, ...);

struct SimulatedDevice {
  std::string path;  // as configured: the name in the log
  std::unique_ptr<sim::DriveModel> model;
};

class Devices {
 public:
  Devices() {
    const char* list = std::getenv("BITSET_SIM_DRIVES");
    std::vector<sim::NamedDrive> drives;
    std::string error;
    if (list != nullptr && !sim::ParseDriveList(list, drives, error)) {
      // A mistaken set-up must not pass for a drive that does not answer.
      std::fprintf(stderr, "bitset SG_IO simulation: BITSET_SIM_DRIVES: %s\n", error.c_str());
      _exit(70);
    }
    for (sim::NamedDrive& drive : drives) {
      SimulatedDevice device;
      device.path = drive.name;
      device.model = std::make_unique<sim::DriveModel>(drive.config);
      devices_.push_back(std::move(device));
    }
    if (const char* log = std::getenv("BITSET_SIM_LOG")) logPath_ = log;
    if (const char* state = std::getenv("BITSET_SIM_STATE")) statePath_ = state;
    LoadState();
  }

  // Every drive's settings byte, for the next process.
  void SaveState() {
    if (statePath_.empty()) return;
    std::FILE* file = std::fopen(statePath_.c_str(), "w");
    if (file == nullptr) return;
    for (const SimulatedDevice& device : devices_) {
      std::fprintf(file, "%s %u\n", device.path.c_str(), unsigned{device.model->Config().settings});
    }
    std::fclose(file);
  }

  SimulatedDevice* Find(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char target[PATH_MAX];
    const ssize_t length = readlink(link, target, sizeof target - 1);
    if (length <= 0) return nullptr;
    target[length] = '\0';
    // Resolved at every request: the file may have been made, or its
    // links changed, since the process started.
    for (SimulatedDevice& device : devices_) {
      char resolved[PATH_MAX];
      if (realpath(device.path.c_str(), resolved) != nullptr && std::strcmp(resolved, target) == 0) {
        return &device;
      }
    }
    return nullptr;
  }

  void Log(const std::string& line) {
    if (logPath_.empty()) return;
    const int fd = open(logPath_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const ssize_t written = write(fd, line.data(), line.size());
    (void)written;
    close(fd);
  }

  std::mutex& Lock() { return lock_; }

 private:
  void LoadState() {
    std::FILE* file = statePath_.empty() ? nullptr : std::fopen(statePath_.c_str(), "r");
    if (file == nullptr) return;
    char name[PATH_MAX];
    unsigned settings = 0;
    while (std::fscanf(file, "%4095s %u", name, &settings) == 2) {
      for (SimulatedDevice& device : devices_) {
        if (device.path == name) device.model->Config().settings = static_cast<std::uint8_t>(settings);
      }
    }
    std::fclose(file);
  }

  std::vector<SimulatedDevice> devices_;
  std::string logPath_;
  std::string statePath_;
  std::mutex lock_;
};

Devices& TheDevices() {
  static Devices* devices = new Devices();  // never destroyed: ioctl may come late
  return *devices;
}

IoctlFunction RealIoctl() {
  static const IoctlFunction real = reinterpret_cast<IoctlFunction>(dlsym(RTLD_NEXT, "ioctl"));
  return real;
}

int Fail(int error) {
  errno = error;
  return -1;
}

// One SG_IO request to a simulated drive, logged when it reached the drive.
int Answer(SimulatedDevice& device, sg_io_hdr_t* header, Devices& devices) {
  if (header == nullptr) return Fail(EFAULT);
  const sim::SgIoAnswer answer = sim::AnswerSgIo(*device.model, *header);
  if (answer.error != 0) return Fail(answer.error);
  devices.Log(sim::LogLine(device.path, header->cmdp, header->cmd_len, answer.direction,
                           answer.length, answer.result));
  devices.SaveState();
  return 0;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int ioctl(int fd, unsigned long request,
                                                          ...) noexcept {
  va_list arguments;
  va_start(arguments, request);
  void* argument = va_arg(arguments, void*);
  va_end(arguments);

  if (request == SG_IO) {
    Devices& devices = TheDevices();
    std::lock_guard<std::mutex> hold(devices.Lock());
    if (SimulatedDevice* device = devices.Find(fd)) {
      return Answer(*device, static_cast<sg_io_hdr_t*>(argument), devices);
    }
  }
  const IoctlFunction real = RealIoctl();
  if (real == nullptr) return Fail(ENOSYS);
  return real(fd, request, argument);
}
