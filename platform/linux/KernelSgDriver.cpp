#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/linux/SgDriver.h"

int KernelSgDriver::Open(const std::string& path, bool forWriting) {
  // O_NONBLOCK: an optical drive opens without a disc in it.
  const int fd = ::open(path.c_str(), (forWriting ? O_RDWR : O_RDONLY) | O_NONBLOCK | O_CLOEXEC);
  return fd < 0 ? -errno : fd;
}

int KernelSgDriver::SendRequest(int fd, sg_io_hdr_t& header) {
  // Not repeated when interrupted: the drive may have carried the command out.
  return ::ioctl(fd, SG_IO, &header) < 0 ? -errno : 0;
}

void KernelSgDriver::Close(int fd) { ::close(fd); }
