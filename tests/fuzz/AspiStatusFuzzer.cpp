// The packing of a finished SRB into one status: any bytes in the SRB.
#include "scsi/AspiLibrary.h"
#include "scsi/AspiSrb.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  SrbExecScsiCmd srb;
  std::memset(&srb, 0, sizeof srb);
  input.CopyTo(&srb, sizeof srb);
  srb.SRB_BufPointer = nullptr;  // never a pointer from the fuzzer
  srb.SRB_PostProc = nullptr;

  const CommandStatus status = AspiCommandStatus(srb);
  fuzz::Require((status == kCommandSucceeded) == (srb.SRB_Status == kSsComp),
                "success exactly when the SRB completed without error");
  const std::uint32_t sense = (static_cast<std::uint32_t>(srb.SenseArea[2] & 0x0F) << 16) |
                              (static_cast<std::uint32_t>(srb.SenseArea[12]) << 8) | srb.SenseArea[13];
  if (status != kCommandSucceeded && sense != 0) {
    fuzz::Require(static_cast<std::uint32_t>(status) == sense,
                  "a failure with sense data gives sense key, ASC and ASCQ");
  }
  return 0;
}
