#include "platform/linux/LinuxPlatform.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>

#include "platform/linux/SgIoTranslation.h"

namespace linuxplatform {

namespace {
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kOpenExisting = 3;
constexpr char kDevicePrefix[] = "\\\\.\\";
constexpr std::size_t kDevicePrefixLength = sizeof kDevicePrefix - 1;
constexpr std::size_t kSenseRoom = 255;

// The drive letter of "\\.\D:", or 0 for any other name.
char DriveLetterOf(const std::string& path) {
  if (path.size() != kDevicePrefixLength + 2 ||
      path.compare(0, kDevicePrefixLength, kDevicePrefix) != 0 || path.back() != ':') {
    return 0;
  }
  return static_cast<char>(std::toupper(static_cast<unsigned char>(path[kDevicePrefixLength])));
}

std::uint32_t WindowsErrorOf(int systemError) {
  switch (systemError) {
    case EACCES:
    case EPERM:
    case EROFS: return kErrorAccessDenied;
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case ENOTDIR: return kErrorFileNotFound;
    case EBUSY: return kErrorBusy;
    case EINVAL: return kErrorInvalidParameter;
    case ENOTTY:
    case ENOSYS: return kErrorNotSupported;
    case ETIMEDOUT: return kErrorSemTimeout;
    default: return kErrorIoDevice;
  }
}
}  // namespace

LinuxPlatform::~LinuxPlatform() {
  for (const auto& handle : open_) driver_.Close(handle.second);
}

void LinuxPlatform::MapDrive(char letter, const std::string& node) {
  drives_[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = node;
}

void LinuxPlatform::ClearLastError() {
  lastError_ = 0;
  lastSystemError_ = 0;
}

bool LinuxPlatform::Fail(std::uint32_t error, int systemError) {
  lastError_ = error;
  lastSystemError_ = systemError;
  return false;
}

// --- Process -----------------------------------------------------------------

std::string LinuxPlatform::ModulePath() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return std::string();
  return std::string(path, static_cast<std::size_t>(length));
}

void LinuxPlatform::ExitProcess(unsigned exitCode) { ::_exit(static_cast<int>(exitCode)); }

bool LinuxPlatform::GetVersion(OsVersionInfo& info) {
  // The NT family: commands take the pass-through route.
  constexpr std::uint32_t kVerPlatformWin32Nt = 2;
  info = OsVersionInfo();
  info.platformId = kVerPlatformWin32Nt;
  info.majorVersion = 5;
  info.minorVersion = 1;
  return true;
}

void LinuxPlatform::UpperCaseAnsi(std::string& text) {
  // Texts of the drive are ASCII; other bytes are left as they are.
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
}

// --- Devices -----------------------------------------------------------------

std::uint32_t LinuxPlatform::GetLogicalDriveStrings(std::uint32_t length, char* buffer) {
  std::string all;
  for (const auto& drive : drives_) {
    all += drive.first;
    all += ":\\";
    all += '\0';
  }
  if (all.empty()) return 0;
  if (all.size() + 1 > length) return static_cast<std::uint32_t>(all.size() + 1);
  std::memcpy(buffer, all.data(), all.size());
  buffer[all.size()] = '\0';
  return static_cast<std::uint32_t>(all.size());
}

DeviceHandle LinuxPlatform::CreateFile(const char* path, std::uint32_t access, std::uint32_t,
                                       std::uint32_t disposition, std::uint32_t) {
  const auto drive = drives_.find(DriveLetterOf(path == nullptr ? "" : path));
  if (drive == drives_.end()) {
    Fail(kErrorFileNotFound, ENOENT);
    return InvalidDeviceHandle();
  }
  if (disposition != kOpenExisting) {
    Fail(kErrorAccessDenied, EACCES);  // a device is never created
    return InvalidDeviceHandle();
  }
  const int fd = driver_.Open(drive->second, (access & kGenericWrite) != 0);
  if (fd < 0) {
    Fail(WindowsErrorOf(-fd), -fd);
    return InvalidDeviceHandle();
  }
  const auto handle = reinterpret_cast<DeviceHandle>(nextHandle_);
  nextHandle_ += 4;
  open_[handle] = fd;
  return handle;
}

bool LinuxPlatform::DeviceIoControl(DeviceHandle device, std::uint32_t code, void* in,
                                    std::uint32_t inLength, void* out, std::uint32_t outLength,
                                    std::uint32_t* bytesReturned) {
  const auto open = open_.find(device);
  if (open == open_.end()) return Fail(kErrorInvalidHandle, EBADF);
  if (code != kIoctlScsiPassThroughDirect) return Fail(kErrorInvalidFunction, ENOTTY);
  if (in == nullptr || out == nullptr || inLength < sizeof(ScsiPassThroughDirect) ||
      outLength < sizeof(ScsiPassThroughDirect)) {
    return Fail(kErrorInvalidParameter, EINVAL);
  }
  return SendPassThrough(open->second, in, out, outLength, bytesReturned);
}

// The request is read from the input buffer; the block with its results
// and the sense data are written to the output buffer.
bool LinuxPlatform::SendPassThrough(int fd, void* in, void* out, std::uint32_t outLength,
                                    std::uint32_t* bytesReturned) {
  ScsiPassThroughDirect request;
  std::memcpy(&request, in, sizeof request);
  if (!IsValidPassThrough(request, outLength)) return Fail(kErrorInvalidParameter, EINVAL);
  std::uint8_t sense[kSenseRoom] = {};
  sg_io_hdr_t header = SgIoHeaderFor(request, sense);
  const int sent = driver_.SendRequest(fd, header);
  if (sent < 0) return Fail(WindowsErrorOf(-sent), -sent);
  if (TimedOut(header)) return Fail(kErrorSemTimeout, ETIMEDOUT);
  if (FailedBelowDrive(header)) return Fail(kErrorIoDevice, EIO);
  StoreSgIoResult(header, request);
  auto* bytes = static_cast<std::uint8_t*>(out);
  std::memcpy(bytes, &request, sizeof request);
  if (request.SenseInfoLength > 0) {
    std::memcpy(bytes + request.SenseInfoOffset, sense, request.SenseInfoLength);
  }
  if (bytesReturned != nullptr) {
    *bytesReturned = request.SenseInfoLength > 0 ? request.SenseInfoOffset + request.SenseInfoLength
                                                 : sizeof request;
  }
  return true;
}

bool LinuxPlatform::CloseHandle(void* handle) {
  const auto open = open_.find(handle);
  if (open == open_.end()) return Fail(kErrorInvalidHandle, EBADF);
  driver_.Close(open->second);
  open_.erase(open);
  return true;
}

}  // namespace linuxplatform
