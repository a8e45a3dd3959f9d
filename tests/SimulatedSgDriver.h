// The kernel's SCSI generic driver in-process: device nodes answered by
// simulated drives through the same SG_IO answering as the preloaded library.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <iterator>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "scsi/SgDriver.h"
#include "sim/DriveModel.h"
#include "sim/SgIoAnswer.h"

namespace test {

class SimulatedSgDriver : public SgDriver {
 public:
  struct Request {  // one SG_IO request as the kernel received it
    std::string node;
    std::vector<std::uint8_t> cdb;
    int direction = 0;
    unsigned length = 0;
    bool buffer = false;
    unsigned timeout = 0;
    unsigned senseRoom = 0;
  };

  sim::DriveModel& AddDrive(const std::string& node, sim::DriveConfig config = sim::DriveConfig()) {
    return drives_[node] = sim::DriveModel(std::move(config));
  }
  // Opening the node fails with this errno.
  void RefuseOpen(const std::string& node, int error) { openErrors_[node] = error; }
  // The user may only read the node: opening it for writing fails with
  // EACCES. Through a node opened for reading only, the kernel passes the
  // standard commands that only read, and refuses any other with EPERM.
  void ReadOnlyNode(const std::string& node) { readOnly_[node] = true; }
  // Every SG_IO request to the node fails with this errno, as the kernel
  // refuses commands it does not allow.
  void RefuseRequests(const std::string& node, int error) { requestErrors_[node] = error; }
  // The adapter and the driver report these statuses (host 03h, driver 06h:
  // the command timed out).
  void SetHostStatus(const std::string& node, unsigned short host, unsigned short driver = 0) {
    hostStatus_[node] = {host, driver};
  }

  sim::DriveModel* Drive(const std::string& node) {
    auto found = drives_.find(node);
    return found == drives_.end() ? nullptr : &found->second;
  }
  const std::vector<Request>& Requests() const { return requests_; }
  int OpenCount() const { return static_cast<int>(open_.size()); }
  const std::vector<std::string>& Opens() const { return opens_; }

  int Open(const std::string& path, NodeAccess access) override {
    opens_.push_back(path + (access == NodeAccess::ReadOnly ? " read-only" : ""));
    auto refused = openErrors_.find(path);
    if (refused != openErrors_.end()) return -refused->second;
    if (drives_.count(path) == 0) return -ENOENT;
    if (access == NodeAccess::ReadWrite && readOnly_.count(path) != 0) return -EACCES;
    const int fd = nextFd_++;
    open_[fd] = path;
    if (access == NodeAccess::ReadOnly) readOnlyFds_[fd] = true;
    return fd;
  }

  int SendRequest(int fd, sg_io_hdr_t& header) override {
    auto open = open_.find(fd);
    if (open == open_.end()) return -EBADF;
    const std::string& node = open->second;
    requests_.push_back(Request{node,
                                std::vector<std::uint8_t>(header.cmdp, header.cmdp + header.cmd_len),
                                header.dxfer_direction, header.dxfer_len, header.dxferp != nullptr,
                                header.timeout, header.mx_sb_len});
    auto refused = requestErrors_.find(node);
    if (refused != requestErrors_.end()) return -refused->second;
    if (readOnlyFds_.count(fd) != 0 && !PassesReadOnly(header.cmdp[0])) return -EPERM;
    const sim::SgIoAnswer answer = sim::AnswerSgIo(drives_.at(node), header);
    if (answer.error != 0) return -answer.error;
    auto host = hostStatus_.find(node);
    if (host != hostStatus_.end()) std::tie(header.host_status, header.driver_status) = host->second;
    return 0;
  }

  void Close(int fd) override {
    readOnlyFds_.erase(fd);
    if (open_.erase(fd) == 0) ++badCloses_;
  }
  int BadCloses() const { return badCloses_; }

 private:
  // The standard commands that only read, as the kernel's command filter
  // lets them through a node opened for reading only.
  static bool PassesReadOnly(std::uint8_t opcode) {
    static const std::uint8_t kPassing[] = {0x00, 0x12, 0x25, 0x28, 0x43, 0x46,
                                            0x4A, 0x51, 0x52, 0x5A, 0xAD};
    return std::find(std::begin(kPassing), std::end(kPassing), opcode) != std::end(kPassing);
  }

  std::map<std::string, sim::DriveModel> drives_;
  std::map<std::string, bool> readOnly_;
  std::map<int, bool> readOnlyFds_;
  std::map<std::string, int> openErrors_;
  std::map<std::string, int> requestErrors_;
  std::map<std::string, std::pair<unsigned short, unsigned short>> hostStatus_;
  std::map<int, std::string> open_;
  std::vector<std::string> opens_;
  std::vector<Request> requests_;
  int nextFd_ = 3;
  int badCloses_ = 0;
};

}  // namespace test
