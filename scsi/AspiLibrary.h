// The loaded ASPI for Win32 library (WNASPI32.DLL) and its entry points.
#pragma once

#include <cstdint>

#include "platform/WinTypes.h"
#include "scsi/CommandStatus.h"

struct SrbExecScsiCmd;

class CAspiLibrary {
 public:
  using GetSupportInfoFunction = std::uint32_t (*)();
  using SendCommandFunction = std::uint32_t (*)(void* srb);

  CAspiLibrary() = default;
  virtual ~CAspiLibrary();
  CAspiLibrary(const CAspiLibrary&) = delete;
  CAspiLibrary& operator=(const CAspiLibrary&) = delete;

  // Loads the library and looks up its entry points. 0 on success; else the
  // platform's error of the last load attempt, or 1.
  int Load();
  // Status in bits 8 to 15 (1 = ready), host adapter count in bits 0 to 7.
  std::uint32_t GetSupportInfo() const;
  // The ASPI status of the submission: 0 means pending.
  std::uint32_t SendCommand(void* srb) const;
  bool IsLoaded() const { return library_ != nullptr; }

 private:
  ModuleHandle library_ = nullptr;
  GetSupportInfoFunction getSupportInfo_ = nullptr;
  SendCommandFunction sendCommand_ = nullptr;
  void* getBuffer_ = nullptr;
  void* freeBuffer_ = nullptr;
  void* translateAddress_ = nullptr;
};

// Sends one SRB through the library and waits for it to complete; the SRB
// is zeroed and filled with the address, flags, buffer and CDB given.
struct AspiRequest {
  std::uint8_t hostAdapter;
  std::uint8_t targetId;
  std::uint8_t lun;
  std::uint8_t flags;  // direction bits; event notification is added
  const std::uint8_t* cdb;
  std::uint8_t cdbLength;
  void* buffer;
  std::uint32_t length;
};
CommandStatus SendAspiRequest(const CAspiLibrary& library, const AspiRequest& request);

// What a request left behind: whether it ran to its end, its SRB's status
// bytes and sense area, and their packed `CommandStatus`.
struct AspiReply {
  bool sent = false;      // false: no completion event, nothing was sent
  bool finished = false;  // false: given up on before the library finished
  std::uint8_t srbStatus = 0, adapterStatus = 0, targetStatus = 0;
  std::uint8_t sense[16] = {};
  CommandStatus status = kCommandFailed;
};
AspiReply ExchangeAspiRequest(const CAspiLibrary& library, const AspiRequest& request);

// The packed result of a finished SRB.
CommandStatus AspiCommandStatus(const SrbExecScsiCmd& srb);
