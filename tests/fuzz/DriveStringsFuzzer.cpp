// The walk over the drive strings: the platform lists any bytes as its
// drive roots, and start-up questions what they name.
#include <string>

#include "app/DvdInfoDlg.h"
#include "platform/memory/MemoryPlatform.h"
#include "res/resource.h"
#include "sim/DriveModel.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// Drive letters whose roots are any bytes of the input.
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

bool IsDrivePath(const std::string& path) {
  if (path.size() > 6 || path.compare(0, 4, "\\\\.\\") != 0) return false;
  if (path.size() == 4) return true;  // the empty name of a record that was never filled
  const char letter = path[4];
  return (letter & 0x20) == 0 && letter != 'A' && letter != 'B';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  FuzzedDriveStrings platform(input);
  platform.SetVersion(2, 5, 1);
  CDvdInfoDlg dialog;
  platform.OnModal(IDD_BITSET_DIALOG, [&](WindowHandle window) {
    memory::MemoryWindow* box = platform.Control(window, IDC_DRIVE_BOX);
    fuzz::Require(box->lines.size() == static_cast<std::size_t>(dialog.Devices().GetCount()),
                  "one drive-box line for each listed drive");
    for (const CDeviceInfo* device : dialog.Devices()) {
      fuzz::Require(IsListedType(device->PeripheralType), "only CD/DVD and WORM drives are listed");
      fuzz::Require(device->DriveName[0] == 'D' || device->DriveName[0] == 'E',
                    "only drives that answered are listed");
    }
  });
  try {
    dialog.DoModal();
  } catch (const memory::ProcessExit&) {
  }
  int opens = 0;
  for (const memory::DeviceEvent& event : platform.DeviceEvents()) {
    if (event.kind != memory::DeviceEvent::Open && event.kind != memory::DeviceEvent::OpenFailed) continue;
    ++opens;
    fuzz::Require(IsDrivePath(event.path), "only \\\\.\\ and a drive letter other than A: and B: is opened");
  }
  fuzz::Require(opens <= 2 * 26 + 8, "each root is tried at most twice");
  fuzz::Require(platform.OpenDeviceCount() == 0, "no drive is left open");
  return 0;
}
