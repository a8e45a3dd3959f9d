#include "scsi/AspiLibrary.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/Platform.h"
#include "scsi/AspiSrb.h"

namespace {

const char* const kLibraryPlaces[] = {
    "WNASPI32.DLL",
    "C:\\Program Files\\Ahead\\Nero\\WNASPI32.DLL",
    "D:\\Program Files\\Ahead\\Nero\\WNASPI32.DLL",
    "E:\\Program Files\\Ahead\\Nero\\WNASPI32.DLL",
};

// SS_ERR with neither adapter nor target status.
constexpr CommandStatus kAspiErrorStatus = static_cast<CommandStatus>(kSsErr) << 24;

constexpr std::uint32_t kWaitObject0 = 0;

// Waits for the completion event, which the library signals once it has
// finished with the request block and the buffer. A failed wait tells
// nothing about the request, so it is waited for again, a bounded number of
// times; a successful wait is trusted and never repeated.
constexpr int kFailedWaitLimit = 3;

bool WaitForCompletion(Platform& platform, EventHandle event) {
  for (int failed = 0; failed < kFailedWaitLimit; ++failed) {
    if (platform.WaitForSingleObject(event, kInfinite) == kWaitObject0) return true;
  }
  return false;
}

// The request block and a copy of the data as the library sees them. A
// request given up on after failed waits may still be running: its block,
// buffer and event are then kept for the life of the process rather than
// freed under the library's feet.
struct AspiExchange {
  SrbExecScsiCmd srb;
  std::vector<std::uint8_t> data;
  AspiExchange* nextKept = nullptr;
};

// Chained without allocating, so that keeping a request cannot fail.
void KeepWhileTheLibraryMayWrite(std::unique_ptr<AspiExchange> exchange) {
  static AspiExchange* kept = nullptr;
  exchange->nextKept = kept;
  kept = exchange.release();
}

}  // namespace

CAspiLibrary::~CAspiLibrary() {
  if (library_ != nullptr) GetPlatform().FreeLibrary(library_);
}

int CAspiLibrary::Load() {
  Platform& platform = GetPlatform();
  for (const char* place : kLibraryPlaces) {
    library_ = platform.LoadLibrary(place);
    if (library_ != nullptr) break;
  }
  if (library_ == nullptr) {
    const std::uint32_t error = platform.GetLastError();
    return error != 0 ? static_cast<int>(error) : 1;
  }
  getSupportInfo_ = reinterpret_cast<GetSupportInfoFunction>(
      platform.GetProcAddress(library_, "GetASPI32SupportInfo"));
  sendCommand_ =
      reinterpret_cast<SendCommandFunction>(platform.GetProcAddress(library_, "SendASPI32Command"));
  getBuffer_ = platform.GetProcAddress(library_, "GetASPI32Buffer");
  freeBuffer_ = platform.GetProcAddress(library_, "FreeASPI32Buffer");
  translateAddress_ = platform.GetProcAddress(library_, "TranslateASPI32Address");
  return getSupportInfo_ == nullptr || sendCommand_ == nullptr ? 1 : 0;
}

std::uint32_t CAspiLibrary::GetSupportInfo() const {
  return getSupportInfo_ != nullptr ? getSupportInfo_() : 0;
}

std::uint32_t CAspiLibrary::SendCommand(void* srb) const {
  return sendCommand_ != nullptr ? sendCommand_(srb) : 0;
}

CommandStatus AspiCommandStatus(const SrbExecScsiCmd& srb) {
  if (srb.SRB_Status == kSsComp) return kCommandSucceeded;
  const std::uint32_t senseForm = (static_cast<std::uint32_t>(srb.SenseArea[2] & 0x0F) << 16) |
                                  (static_cast<std::uint32_t>(srb.SenseArea[12]) << 8) |
                                  srb.SenseArea[13];
  if (senseForm != 0) return static_cast<CommandStatus>(senseForm);
  const std::uint32_t statusForm = (static_cast<std::uint32_t>(srb.SRB_Status) << 24) |
                                   (static_cast<std::uint32_t>(srb.SRB_HaStat) << 16) |
                                   (static_cast<std::uint32_t>(srb.SRB_TargStat) << 8);
  if (statusForm != 0) return static_cast<CommandStatus>(statusForm);
  return kAspiErrorStatus;
}

namespace {

// The request block of `request`, with the exchange's copy of the data as
// its buffer and `event` to signal its end.
void FillRequestBlock(AspiExchange& exchange, const AspiRequest& request, EventHandle event) {
  SrbExecScsiCmd& srb = exchange.srb;
  std::memset(&srb, 0, sizeof srb);
  srb.SRB_Cmd = kScExecScsiCmd;
  srb.SRB_HaId = request.hostAdapter;
  srb.SRB_Flags = static_cast<std::uint8_t>(request.flags | kSrbEventNotify);
  srb.SRB_Target = request.targetId;
  srb.SRB_Lun = request.lun;
  srb.SRB_BufLen = request.length;
  srb.SRB_BufPointer = request.buffer != nullptr ? exchange.data.data() : nullptr;
  srb.SRB_SenseLen = kAspiSenseLength;
  srb.SRB_CDBLen = request.cdbLength;
  srb.SRB_PostProc = event;
  std::memcpy(srb.CDBByte, request.cdb, std::min<std::size_t>(request.cdbLength, sizeof srb.CDBByte));
}

}  // namespace

AspiReply ExchangeAspiRequest(const CAspiLibrary& library, const AspiRequest& request) {
  Platform& platform = GetPlatform();
  AspiReply reply;
  reply.status = kAspiErrorStatus;
  // Allocated first: nothing after the event is made can fail to allocate.
  auto exchange = std::make_unique<AspiExchange>();
  auto* data = static_cast<std::uint8_t*>(request.buffer);
  if (data != nullptr) exchange->data.assign(data, data + request.length);
  EventHandle event = platform.CreateEvent(true, false);
  // Without an event the request could never be waited for: send nothing.
  if (event == nullptr) return reply;
  reply.sent = true;
  platform.ResetEvent(event);
  FillRequestBlock(*exchange, request, event);
  if (library.SendCommand(&exchange->srb) == kSsPending && !WaitForCompletion(platform, event)) {
    // Never waited for to its end: not trusted, and not freed.
    KeepWhileTheLibraryMayWrite(std::move(exchange));
    return reply;
  }
  const SrbExecScsiCmd& srb = exchange->srb;
  reply.finished = true;
  reply.srbStatus = srb.SRB_Status;
  reply.adapterStatus = srb.SRB_HaStat;
  reply.targetStatus = srb.SRB_TargStat;
  std::memcpy(reply.sense, srb.SenseArea, sizeof reply.sense);
  reply.status = AspiCommandStatus(srb);
  if (data != nullptr) std::copy(exchange->data.begin(), exchange->data.end(), data);
  platform.CloseHandle(event);
  return reply;
}

CommandStatus SendAspiRequest(const CAspiLibrary& library, const AspiRequest& request) {
  return ExchangeAspiRequest(library, request).status;
}
