// The contract of the transports: one command in, its whole outcome out,
// on each of the three ways to a drive.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <memory>

#include "tests/memory/MemoryPlatform.h"
#include "scsi/AspiLibrary.h"
#include "scsi/AspiTransport.h"
#include "scsi/PassThroughTransport.h"
#include "scsi/SenseData.h"
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

struct PassThroughRig : Rig {
  explicit PassThroughRig(const sim::DriveConfig& config) {
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
  PassThroughTransport transport{&platform};
};

struct AspiRig : Rig {
  explicit AspiRig(const sim::DriveConfig& config) : aspi(platform.InstallAspi()) {
    reportsResidue = false;
    packsStatus = true;
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
    {"pass-through", [](const sim::DriveConfig& c) { return std::unique_ptr<Rig>(new PassThroughRig(c)); }},
    {"ASPI", [](const sim::DriveConfig& c) { return std::unique_ptr<Rig>(new AspiRig(c)); }},
};

ScsiOutcome Inquiry(Rig& rig, std::uint8_t* response) {
  static const std::uint8_t cdb[6] = {0x12, 0, 0, 0, 74, 0};
  ScsiCommand command;
  command.cdb = cdb;
  command.cdbLength = 6;
  command.fromDevice = true;
  command.data = response;
  command.length = 74;
  return rig.Transport().Execute(command);
}

TEST(ScsiTransport, OutcomeOfEachKindOfEnd) {
  for (const auto& kind : kRigs) {
    SCOPED_TRACE(kind.name);
    {  // carried out: the data and how much of it came
      auto rig = kind.make(test::QsiWriter());
      std::uint8_t response[74] = {};
      const ScsiOutcome outcome = Inquiry(*rig, response);
      EXPECT_TRUE(outcome.CarriedOut());
      EXPECT_EQ(outcome.routeStatus, kCommandSucceeded);
      EXPECT_EQ(outcome.systemError, 0);
      EXPECT_EQ(outcome.transferred, rig->reportsResidue ? 36u : 74u);
      EXPECT_EQ(response[8], 'Q');
      EXPECT_EQ(rig->Drive().Commands().size(), 1u);
    }
    {  // refused by the drive: CHECK CONDITION and its sense codes
      sim::DriveConfig failing = test::QsiWriter();
      failing.inquiryFails = true;
      auto rig = kind.make(failing);
      std::uint8_t response[74] = {};
      const ScsiOutcome outcome = Inquiry(*rig, response);
      EXPECT_FALSE(outcome.CarriedOut());
      EXPECT_NE(outcome.routeStatus, kCommandSucceeded);
      EXPECT_EQ(outcome.status, kScsiStatusCheckCondition);
      const SenseCodes codes = SenseCodesOf(outcome.sense, outcome.senseLength);
      EXPECT_EQ(codes.key, 0x02);  // NOT READY
      EXPECT_EQ(codes.asc, 0x04);
      if (rig->packsStatus) {
        EXPECT_EQ(outcome.routeStatus, 0x020400);
      }
    }
    {  // stopped below the drive: never reached it
      auto rig = kind.make(test::QsiWriter());
      rig->BreakTheWay();
      std::uint8_t response[74] = {};
      const ScsiOutcome outcome = Inquiry(*rig, response);
      EXPECT_FALSE(outcome.reached);
      EXPECT_NE(outcome.routeStatus, kCommandSucceeded);
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
  } cases[] = {{EPERM, 0, 0, EPERM, false},         {0, 0x03, 0, ETIMEDOUT, true},
               {0, 0x01, 0, EIO, false},            {ETIMEDOUT, 0, 0, ETIMEDOUT, true},
               {0, 0, 0x06, ETIMEDOUT, true},       {0, 0, 0x09, EIO, false}};
  for (const auto& c : cases) {
    SgRig rig(test::QsiWriter());
    if (c.requestError != 0) rig.driver.RefuseRequests("/dev/sg1", c.requestError);
    if (c.hostStatus + c.driverStatus != 0) {
      rig.driver.SetHostStatus("/dev/sg1", c.hostStatus, c.driverStatus);
    }
    std::uint8_t response[74] = {};
    const ScsiOutcome outcome = Inquiry(rig, response);
    EXPECT_FALSE(outcome.reached) << c.systemError;
    EXPECT_EQ(outcome.systemError, c.systemError);
    EXPECT_EQ(outcome.timedOut, c.timedOut) << c.systemError;
    EXPECT_EQ(rig.driver.Requests().back().timeout, 30000u);
    EXPECT_EQ(rig.driver.Requests().back().senseRoom, kMaxSenseLength);
  }
  test::SimulatedSgDriver driver;
  SgIoTransport closed(driver);
  std::uint8_t response[74] = {};
  EXPECT_EQ(closed.Open("/dev/sg9"), ENOENT);
  ScsiCommand command;
  command.cdb = response;
  command.cdbLength = 6;
  EXPECT_EQ(closed.Execute(command).systemError, EBADF);  // nothing open: nothing sent
  EXPECT_TRUE(driver.Requests().empty());
  SgRig open(test::QsiWriter());
  for (const int length : {0, 17}) {  // no CDB, or more than SG_IO takes: nothing sent
    command.cdbLength = static_cast<std::uint8_t>(length);
    EXPECT_EQ(open.transport.Execute(command).systemError, EINVAL) << length;
  }
  EXPECT_TRUE(open.driver.Requests().empty());
}

}  // namespace
