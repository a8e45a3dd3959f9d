// The kernel's SCSI generic driver in-process: device nodes answered by
// simulated drives through the same SG_IO answering as the preloaded library.
#pragma once

#include <cerrno>
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

  int Open(const std::string& path) override {
    opens_.push_back(path);
    auto refused = openErrors_.find(path);
    if (refused != openErrors_.end()) return -refused->second;
    if (drives_.count(path) == 0) return -ENOENT;
    const int fd = nextFd_++;
    open_[fd] = path;
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
    const sim::SgIoAnswer answer = sim::AnswerSgIo(drives_.at(node), header);
    if (answer.error != 0) return -answer.error;
    auto host = hostStatus_.find(node);
    if (host != hostStatus_.end()) std::tie(header.host_status, header.driver_status) = host->second;
    return 0;
  }

  void Close(int fd) override {
    if (open_.erase(fd) == 0) ++badCloses_;
  }
  int BadCloses() const { return badCloses_; }

 private:
  std::map<std::string, sim::DriveModel> drives_;
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
