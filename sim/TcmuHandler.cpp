// The simulated drive served to the Linux kernel as a SCSI device: the
// user-space side of a TCMU backstore (target_core_user). Behind LIO's
// loopback fabric the kernel sees a local drive with /dev/srN and
// /dev/sgN, and every command sent to it is answered here by the drive
// model.
//
//   tcmu-handler /dev/uioN CONTROL-DIR [DRIVE-CONFIG]
//
// CONTROL-DIR holds two FIFOs made by the caller: `control`, read for one
// request a line, and `reply`, where each answer is written and closed:
//   reset DRIVE-CONFIG  a fresh drive (sim/DriveModel.h), its log emptied
//   dump                the commands since the last dump or reset, one
//                       line each, then "state settings=0xNN revision=..."
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "sim/DriveModel.h"
#include "sim/TcmuCommand.h"

namespace {

struct Ring {
  int device = -1;
  std::uint8_t* mapping = nullptr;
  std::size_t size = 0;
  sim::tcmu::Mailbox* mailbox() const { return reinterpret_cast<sim::tcmu::Mailbox*>(mapping); }
};

struct Served {
  sim::DriveModel drive;
  std::vector<std::string> log;
};

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "tcmu-handler: %s: %s\n", what.c_str(), std::strerror(errno));
  std::exit(1);
}

// The size of the UIO device's only map, from sysfs.
std::size_t MapSize(const std::string& device) {
  const std::string name = device.substr(device.rfind('/') + 1);
  std::ifstream file("/sys/class/uio/" + name + "/maps/map0/size");
  std::string text;
  if (!(file >> text)) Fail("no map size for " + device);
  return static_cast<std::size_t>(std::strtoull(text.c_str(), nullptr, 0));
}

Ring OpenRing(const std::string& device) {
  Ring ring;
  ring.device = open(device.c_str(), O_RDWR | O_CLOEXEC);
  if (ring.device < 0) Fail("cannot open " + device);
  ring.size = MapSize(device);
  void* mapping = mmap(nullptr, ring.size, PROT_READ | PROT_WRITE, MAP_SHARED, ring.device, 0);
  if (mapping == MAP_FAILED) Fail("cannot map " + device);
  ring.mapping = static_cast<std::uint8_t*>(mapping);
  return ring;
}

// Answers every entry between the tail and the kernel's head, then tells
// the kernel the tail moved.
void ServeRing(Ring& ring, Served& served) {
  sim::tcmu::Mailbox* mailbox = ring.mailbox();
  const bool readLength = (mailbox->flags & sim::tcmu::kCapReadLength) != 0;
  std::uint32_t tail = __atomic_load_n(&mailbox->cmd_tail, __ATOMIC_ACQUIRE);
  while (tail != __atomic_load_n(&mailbox->cmd_head, __ATOMIC_ACQUIRE)) {
    auto* entry = reinterpret_cast<sim::tcmu::Entry*>(ring.mapping + mailbox->cmdr_off + tail);
    const std::uint32_t lengthAndOp = entry->len_op;
    const std::uint32_t op = lengthAndOp & sim::tcmu::kOpMask;
    if (op == sim::tcmu::kCommand) {
      served.log.push_back(sim::AnswerTcmuCommand(served.drive, ring.mapping, ring.size, *entry,
                                                  readLength));
    } else if (op != sim::tcmu::kPad && op != sim::tcmu::kTaskManagement) {
      entry->uflags |= sim::tcmu::kUflagUnknownOp;
    }
    tail = (tail + (lengthAndOp & ~sim::tcmu::kOpMask)) % mailbox->cmdr_size;
    __atomic_store_n(&mailbox->cmd_tail, tail, __ATOMIC_RELEASE);
  }
  const std::uint32_t done = 1;
  if (write(ring.device, &done, sizeof done) != sizeof done) Fail("cannot wake the kernel");
}

sim::DriveModel DriveFrom(const std::string& text, std::string& error) {
  sim::DriveConfig config;
  if (!sim::ParseDriveConfig(text, config, error)) return sim::DriveModel();
  return sim::DriveModel(config);
}

std::string Answer(const std::string& request, Served& served) {
  if (request.rfind("reset", 0) == 0) {
    std::string error;
    sim::DriveModel drive = DriveFrom(request.size() > 6 ? request.substr(6) : "", error);
    if (!error.empty()) return "error " + error + "\n";
    served.drive = drive;
    served.log.clear();
    return "ok\n";
  }
  if (request == "dump") {
    std::string text;
    for (const std::string& line : served.log) text += line + "\n";
    char state[64];
    std::snprintf(state, sizeof state, "state settings=0x%02X revision=",
                  served.drive.Config().settings);
    served.log.clear();
    return text + state + served.drive.Config().revision + "\n";
  }
  return "error unknown request '" + request + "'\n";
}

void Reply(const std::string& directory, const std::string& text) {
  const int reply = open((directory + "/reply").c_str(), O_WRONLY | O_CLOEXEC);
  if (reply < 0) Fail("cannot open the reply FIFO");
  if (write(reply, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
    Fail("cannot reply");
  }
  close(reply);
}

// Takes what arrived on the control FIFO and answers each whole line.
void ServeControl(int control, const std::string& directory, std::string& pending, Served& served) {
  char chunk[512];
  const ssize_t got = read(control, chunk, sizeof chunk);
  if (got <= 0) return;
  pending.append(chunk, static_cast<std::size_t>(got));
  for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
    const std::string request = pending.substr(0, end);
    pending.erase(0, end + 1);
    Reply(directory, Answer(request, served));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: tcmu-handler /dev/uioN CONTROL-DIR [DRIVE-CONFIG]\n");
    return 2;
  }
  const std::string directory = argv[2];
  std::string error;
  Served served{DriveFrom(argc == 4 ? argv[3] : "", error), {}};
  if (!error.empty()) {
    std::fprintf(stderr, "tcmu-handler: drive config: %s\n", error.c_str());
    return 2;
  }
  Ring ring = OpenRing(argv[1]);
  // Opened for writing too, so the FIFO never reads as closed between writers.
  const int control = open((directory + "/control").c_str(), O_RDWR | O_CLOEXEC);
  if (control < 0) Fail("cannot open the control FIFO");
  std::string pending;
  ServeRing(ring, served);
  for (;;) {
    pollfd watched[2] = {{ring.device, POLLIN, 0}, {control, POLLIN, 0}};
    if (poll(watched, 2, -1) < 0 && errno != EINTR) Fail("poll");
    if (watched[0].revents & POLLIN) {
      std::uint32_t events = 0;
      if (read(ring.device, &events, sizeof events) != sizeof events) Fail("cannot read events");
      ServeRing(ring, served);
    }
    if (watched[1].revents & POLLIN) ServeControl(control, directory, pending, served);
  }
}
