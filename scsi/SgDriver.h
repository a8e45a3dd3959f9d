// The kernel's SCSI generic interface as the SG_IO transport uses it: open
// a device node, hand it SG_IO requests, close it. The kernel backend makes
// the system calls; the tests answer the same calls in-process.
#pragma once

#include <scsi/sg.h>

#include <string>

// How a node is opened: for reading and writing, which the vendor commands
// need, or for reading only, through which the kernel still passes the
// standard commands that only read (INQUIRY, GET CONFIGURATION...).
enum class NodeAccess { ReadWrite, ReadOnly };

class SgDriver {
 public:
  virtual ~SgDriver() = default;
  // Opens the device node, without waiting for a medium or on anything
  // that is not a device; a file descriptor, or -errno when it cannot be
  // opened (-ENOTTY for a file that is no device).
  virtual int Open(const std::string& path, NodeAccess access) = 0;
  // ioctl(SG_IO): 0 when the kernel carried the request out (its outcome is
  // in the header), else -errno.
  virtual int SendRequest(int fd, sg_io_hdr_t& header) = 0;
  virtual void Close(int fd) = 0;
};

// The real kernel.
class KernelSgDriver : public SgDriver {
 public:
  int Open(const std::string& path, NodeAccess access) override;
  int SendRequest(int fd, sg_io_hdr_t& header) override;
  void Close(int fd) override;
};
