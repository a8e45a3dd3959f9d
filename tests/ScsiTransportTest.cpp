// The contract of the transports: one command in, its whole outcome out,
// on each of the three ways to a drive.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <vector>

#include "tests/memory/MemoryPlatform.h"
#include "scsi/AspiLibrary.h"
#include "scsi/AspiTransport.h"
#include "scsi/SptiTransport.h"
#include "scsi/SgIoTransport.h"
#include "tests/SimulatedSgDriver.h"
#include "tests/TestSupport.h"

namespace {

// One transport to one simulated drive.
struct Rig {
  virtual ~Rig() = default;
  virtual ScsiTransport& Transport() = 0;
  virtual sim::DriveModel& Drive() = 0;
  // Makes the way to the drive fail below it.
  virtual void BreakTheWay() = 0;
  bool reportsResidue = true;  // the ASPI library tells no residue
  bool packsStatus = false;    // the ASPI route packs its failures
  ScsiEnd brokenEnd = ScsiEnd::Refused;  // how a broken way ends a command
};

struct SgRig : Rig {
  explicit SgRig(const sim::DriveConfig& config) {
    driver.AddDrive("/dev/sg1", config);
    EXPECT_EQ(transport.Open("/dev/sg1"), 0);
  }
  ScsiTransport& Transport() override { return transport; }
  sim::DriveModel& Drive() override { return *driver.Drive("/dev/sg1"); }
  void BreakTheWay() override { driver.RefuseRequests("/dev/sg1", EPERM); }
  test::SimulatedSgDriver driver;
  SgIoTransport transport{driver};
};

struct SptiRig : Rig {
  explicit SptiRig(const sim::DriveConfig& config) {
    platform.AddDrive('D', config);
    address.DriveName[0] = 'D';
    address.DriveName[1] = ':';
    transport.SetDevice(&address);
  }
  ScsiTransport& Transport() override { return transport; }
  sim::DriveModel& Drive() override { return *platform.Drive('D'); }
  void BreakTheWay() override { platform.FailRequests('D'); }
  memory::MemoryPlatform platform;
  ScsiAddress address;
  SptiTransport transport{&platform};
};

struct AspiRig : Rig {
  explicit AspiRig(const sim::DriveConfig& config) : aspi(platform.InstallAspi()) {
    reportsResidue = false;
    packsStatus = true;
    brokenEnd = ScsiEnd::NoAnswer;
    aspi.AddDevice(0, 1, 0, config);
    EXPECT_EQ(library.Load(), 0);
    address.TargetId = 1;
    transport.Bind(&library, &address);
  }
  ScsiTransport& Transport() override { return transport; }
  sim::DriveModel& Drive() override { return aspi.devices.begin()->second; }
  void BreakTheWay() override { address.TargetId = 2; }  // no device there
  memory::MemoryPlatform platform;
  memory::AspiSimulation& aspi;
  CAspiLibrary library;
  ScsiAddress address;
  AspiTransport transport;
};

using RigMaker = std::function<std::unique_ptr<Rig>(const sim::DriveConfig&)>;

const struct {
  const char* name;
  RigMaker make;
} kRigs[] = {
    {"SG_IO", [](const sim::DriveConfig& c) { return std::unique_ptr<Rig>(new SgRig(c)); }},
    {"pass-through", [](const sim::DriveConfig& c) { return std::unique_ptr<Rig>(new SptiRig(c)); }},
    {"ASPI", [](const sim::DriveConfig& c) { return std::unique_ptr<Rig>(new AspiRig(c)); }},
};

ScsiOutcome Inquiry(Rig& rig, std::uint8_t* response, std::uint8_t length = 74) {
  const std::uint8_t cdb[6] = {0x12, 0, 0, 0, length, 0};
  ScsiCommand command;
  command.cdb = cdb;
  command.cdbLength = 6;
  command.fromDevice = true;
  command.data = response;
  command.length = length;
  return rig.Transport().Execute(command);
}

ScsiOutcome TestUnitReady(Rig& rig) {
  static const std::uint8_t cdb[6] = {};
  ScsiCommand command;
  command.cdb = cdb;
  command.cdbLength = 6;
  return rig.Transport().Execute(command);
}

TEST(ScsiTransport, OutcomeOfEachKindOfEnd) {
  for (const auto& kind : kRigs) {
    SCOPED_TRACE(kind.name);
    {  // carried out: the data and how much of it came
      auto rig = kind.make(test::QsiWriter());
      std::uint8_t response[74] = {};
      const ScsiOutcome outcome = Inquiry(*rig, response);
      EXPECT_EQ(outcome.end, ScsiEnd::CarriedOut);
      EXPECT_EQ(outcome.commandStatus, kCommandSucceeded);
      EXPECT_EQ(outcome.systemError, 0);
      EXPECT_EQ(outcome.transferred, rig->reportsResidue ? 36u : 74u);
      EXPECT_EQ(response[8], 'Q');
      EXPECT_EQ(rig->Drive().Commands().size(), 1u);
    }
    for (bool descriptor : {false, true}) {  // refused by the drive: its sense codes, in either format
      sim::DriveConfig failing = test::QsiWriter();
      failing.inquiryFails = true;
      failing.descriptorSense = descriptor;
      auto rig = kind.make(failing);
      std::uint8_t response[74] = {};
      const ScsiOutcome outcome = Inquiry(*rig, response);
      EXPECT_EQ(outcome.end, ScsiEnd::Sense) << descriptor;
      EXPECT_NE(outcome.commandStatus, kCommandSucceeded);
      EXPECT_EQ(outcome.status, kScsiStatusCheckCondition);
      EXPECT_EQ(outcome.codes.key, 0x02) << descriptor;  // NOT READY
      EXPECT_EQ(outcome.codes.asc, 0x04) << descriptor;
      EXPECT_EQ(outcome.transferred, 0u);
      if (rig->packsStatus) {  // packed from the fixed format's bytes 2, 12 and 13 alone
        EXPECT_EQ(outcome.commandStatus, descriptor ? 0x040000 : 0x020400);
      }
    }
    {  // another status, without sense data
      sim::DriveConfig busy = test::QsiWriter();
      busy.statusWithoutSense = 0x08;
      auto rig = kind.make(busy);
      const ScsiOutcome outcome = TestUnitReady(*rig);
      EXPECT_EQ(outcome.end, ScsiEnd::OtherStatus);
      EXPECT_EQ(outcome.status, 0x08);
      EXPECT_EQ(outcome.commandStatus, rig->packsStatus ? 0x04000800 : kCommandFailed);
    }
    {  // stopped below the drive: never reached it
      auto rig = kind.make(test::QsiWriter());
      rig->BreakTheWay();
      std::uint8_t response[74] = {};
      const ScsiOutcome outcome = Inquiry(*rig, response);
      EXPECT_EQ(outcome.end, rig->brokenEnd);
      EXPECT_NE(outcome.commandStatus, kCommandSucceeded);
      EXPECT_EQ(outcome.transferred, 0u);
    }
  }
}

// SG_IO: the time-out and the sense room go to the kernel; what the kernel
// says of a request it could not carry out is kept apart from the drive's
// answer.
TEST(ScsiTransport, SgIoTellsTheKernelsReasons) {
  const struct {
    int requestError;
    unsigned short hostStatus, driverStatus;
    int systemError;
    bool timedOut;
    ScsiEnd end;
  } cases[] = {{EPERM, 0, 0, EPERM, false, ScsiEnd::Refused},
               {0, 0x03, 0, ETIMEDOUT, true, ScsiEnd::NoAnswer},
               {0, 0x01, 0, EIO, false, ScsiEnd::NoAnswer},
               {ETIMEDOUT, 0, 0, ETIMEDOUT, true, ScsiEnd::NoAnswer},
               {0, 0, 0x06, ETIMEDOUT, true, ScsiEnd::NoAnswer},
               {0, 0, 0x09, EIO, false, ScsiEnd::NoAnswer}};
  for (const auto& c : cases) {
    SgRig rig(test::QsiWriter());
    if (c.requestError != 0) rig.driver.RefuseRequests("/dev/sg1", c.requestError);
    if (c.hostStatus + c.driverStatus != 0) {
      rig.driver.SetHostStatus("/dev/sg1", c.hostStatus, c.driverStatus);
    }
    std::uint8_t response[74] = {};
    const ScsiOutcome outcome = Inquiry(rig, response);
    EXPECT_EQ(outcome.end, c.end) << c.systemError;
    EXPECT_EQ(outcome.systemError, c.systemError);
    EXPECT_EQ(outcome.timedOut, c.timedOut) << c.systemError;
    EXPECT_EQ(rig.driver.Requests().back().timeout, 30000u);
    EXPECT_EQ(rig.driver.Requests().back().senseRoom, 32u);
  }
  SgRig one(test::QsiWriter());  // a single byte of data is data too
  std::uint8_t type = 0xFF;
  EXPECT_TRUE(Inquiry(one, &type, 1).CarriedOut());
  EXPECT_TRUE(one.driver.Requests().back().buffer);
  EXPECT_EQ(type, 0x05);
  test::SimulatedSgDriver driver;
  SgIoTransport closed(driver);
  std::uint8_t response[74] = {};
  EXPECT_EQ(closed.Open("/dev/sg9"), ENOENT);
  ScsiCommand command;
  command.cdb = response;
  command.cdbLength = 6;
  EXPECT_EQ(closed.Execute(command).systemError, EBADF);  // nothing open: nothing sent
  EXPECT_EQ(closed.Execute(command).end, ScsiEnd::Refused);
  EXPECT_TRUE(driver.Requests().empty());
  SgRig open(test::QsiWriter());
  for (const int length : {0, 17}) {  // no CDB, or more than SG_IO takes: nothing sent
    command.cdbLength = static_cast<std::uint8_t>(length);
    EXPECT_EQ(open.transport.Execute(command).systemError, EINVAL) << length;
  }
  EXPECT_TRUE(open.driver.Requests().empty());
}

// Key, ASC and ASCQ at their own offsets in each format, as drives send
// them: each row's neighbouring bytes differ from the codes, so reading
// one byte off is seen.
TEST(SenseData, BothFormatsReadAtTheirOwnOffsets) {
  const struct {
    std::vector<std::uint8_t> bytes;
    bool present;
    std::uint8_t key, asc, ascq;
    bool deferred;
  } cases[] = {
      // fixed, current: ILLEGAL REQUEST, INVALID FIELD IN CDB
      {{0x70, 0, 0x05, 0, 0, 0, 0, 0x0A, 0, 0, 0, 0, 0x24, 0x00, 0, 0, 0, 0}, true, 5, 0x24, 0x00, false},
      // fixed, deferred, information valid: MEDIUM ERROR, 0C02h
      {{0xF1, 0, 0x03, 0, 1, 2, 3, 0x0A, 0, 0, 0, 0, 0x0C, 0x02, 0, 0, 0, 0}, true, 3, 0x0C, 0x02, true},
      // fixed, filemark, end of medium and ILI beside UNIT ATTENTION
      {{0x70, 0, 0xE6, 0, 0, 0, 0, 0x0A, 0, 0, 0, 0, 0x29, 0x00, 0, 0, 0, 0}, true, 6, 0x29, 0x00, false},
      // descriptor, current, no descriptors
      {{0x72, 0x05, 0x24, 0x00, 0, 0, 0, 0}, true, 5, 0x24, 0x00, false},
      // descriptor, deferred, with an information descriptor
      {{0x73, 0x03, 0x0C, 0x02, 0, 0, 0, 0x0C, 0x00, 0x0A, 0x80, 0, 0, 0, 0, 0, 0x12, 0x34, 0x56, 0x78},
       true, 3, 0x0C, 0x02, true},
      // fixed, ending before the ASC
      {{0x70, 0, 0x02, 0, 0, 0, 0, 0x0A}, true, 2, 0, 0, false},
      // each format ending just before its ASCQ, and just after it
      {{0xF1, 0, 0x03, 0, 1, 2, 3, 0x0A, 0, 0, 0, 0, 0x0C}, true, 3, 0x0C, 0, true},
      {{0xF1, 0, 0x03, 0, 1, 2, 3, 0x0A, 0, 0, 0, 0, 0x0C, 0x02}, true, 3, 0x0C, 0x02, true},
      {{0x73, 0x03, 0x0C}, true, 3, 0x0C, 0, true},
      {{0x73, 0x03, 0x0C, 0x02}, true, 3, 0x0C, 0x02, true},
      {{0x70}, true, 0, 0, 0, false},
      // sense data wherever a bit of 70h is set in byte 0, and only there
      {{0x10, 0, 0x05}, true, 5, 0, 0, false},
      {{0x0F, 0, 0x05}, false, 5, 0, 0, false},
      // no sense data
      {{0x00, 0, 0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x24, 0}, false, 5, 0x24, 0, false},
      {{}, false, 0, 0, 0, false},
  };
  for (const auto& c : cases) {
    const std::uint8_t* bytes = c.bytes.data();
    const SenseCodes codes = SenseCodesOf(bytes, c.bytes.size());
    const int code = c.bytes.empty() ? -1 : c.bytes[0];
    EXPECT_EQ(HasSenseData(bytes, c.bytes.size()), c.present) << code;
    EXPECT_EQ(codes.key, c.key) << code;
    EXPECT_EQ(codes.asc, c.asc) << code;
    EXPECT_EQ(codes.ascq, c.ascq) << code;
    EXPECT_EQ(codes.deferred, c.deferred) << code;
  }
}

}  // namespace
