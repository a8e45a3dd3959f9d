// The walk over the drive strings: any bytes as the platform's list of drive
// roots, read on their own and walked by the drive-letter discovery.
#include <string>
#include <vector>

#include "app/PlatformClass.h"
#include "devices/DeviceList.h"
#include "devices/DriveLetterDiscovery.h"
#include "tests/memory/MemoryPlatform.h"
#include "scsi/ScsiPassThrough.h"
#include "sim/DriveModel.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// Drive letters whose roots are any bytes of the input; a QSI writer at D:
// and a plain CD-ROM drive at E: answer.
class FuzzedDriveStrings : public memory::MemoryPlatform {
 public:
  explicit FuzzedDriveStrings(fuzz::Input& input) : input_(input) {
    AddDrive('D');
    sim::DriveConfig plain;
    plain.vendorCommands = false;
    AddDrive('E', plain);
  }

  std::uint32_t GetLogicalDriveStrings(std::uint32_t length, char* buffer) override {
    const std::uint8_t answer = input_.Byte();
    input_.CopyTo(buffer, length);
    return answer;  // 0: the call failed
  }

 private:
  fuzz::Input& input_;
};

bool IsDriveLetter(char letter) { return (letter & 0x20) == 0 && letter != 'A' && letter != 'B'; }

bool IsDriveName(const std::string& name) { return name.size() == 2 && IsDriveLetter(name[0]); }

void CheckNames(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> names = DriveNamesOf(reinterpret_cast<const char*>(data), size);
  fuzz::Require(names.size() <= size / 4, "one name at most for every four bytes");
  for (const std::string& name : names) {
    fuzz::Require(IsDriveName(name), "a name is an upper-case letter other than A and B, and one more byte");
  }
}

void CheckWalk(fuzz::Input& input) {
  FuzzedDriveStrings platform(input);
  CScsiPassThrough channel{RouteFor(GetPlatformClass()), platform};
  DeviceList list;
  WalkDriveLetters(platform, channel, list);
  for (const CDeviceInfo* device : list) {
    fuzz::Require(IsListedType(device->PeripheralType), "only CD/DVD and WORM drives are listed");
    fuzz::Require(device->DriveName[0] == 'D' || device->DriveName[0] == 'E', "only drives that answered are listed");
  }
  fuzz::Require(channel.BoundDevice() == nullptr || list.Find(channel.BoundDevice()) != nullptr,
                "the channel is bound to a listed drive or to none");
  for (const memory::DeviceEvent& event : platform.DeviceEvents()) {
    if (event.kind != memory::DeviceEvent::Open && event.kind != memory::DeviceEvent::OpenFailed) continue;
    // A name ends at a zero byte. A record that failed to open has no name
    // yet; the channel's retry with that empty name opens nothing.
    const std::string name = event.path.substr(4);
    fuzz::Require(event.path.compare(0, 4, "\\\\.\\") == 0 && name.size() <= 2 &&
                      (name.empty() || IsDriveLetter(name[0])),
                  "only \\\\.\\ and a drive name is opened");
  }
  fuzz::Require(platform.OpenDeviceCount() == 0, "no drive is left open");
  list.FreeAll();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckNames(data, size);
  fuzz::Input input(data, size);
  CheckWalk(input);
  return 0;
}
