#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "scsi/SgDriver.h"

int KernelSgDriver::Open(const std::string& path, NodeAccess access) {
  // O_NONBLOCK: an optical drive opens without a disc in it, and a FIFO
  // put in a device's place opens at once instead of waiting for a writer.
  const int mode = access == NodeAccess::ReadOnly ? O_RDONLY : O_RDWR;
  const int fd = ::open(path.c_str(), mode | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return -errno;
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !(S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))) {
    ::close(fd);
    return -ENOTTY;  // a FIFO, socket or plain file is no SCSI device
  }
  return fd;
}

int KernelSgDriver::SendRequest(int fd, sg_io_hdr_t& header) {
  // Not repeated when interrupted: the drive may have carried the command out.
  return ::ioctl(fd, SG_IO, &header) < 0 ? -errno : 0;
}

void KernelSgDriver::Close(int fd) { ::close(fd); }
