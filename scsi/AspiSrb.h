// SRB_ExecSCSICmd of the ASPI for Win32 interface, byte-packed as the
// interface declares it.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::uint8_t kScExecScsiCmd = 0x02;
constexpr std::uint8_t kSsPending = 0x00;
constexpr std::uint8_t kSsComp = 0x01;
constexpr std::uint8_t kSsErr = 0x04;
constexpr std::uint8_t kSsInvalidCmd = 0x80;
constexpr std::uint8_t kSsInvalidHa = 0x81;
constexpr std::uint8_t kSsNoDevice = 0x82;
constexpr std::uint8_t kSsInvalidSrb = 0xE0;
constexpr std::uint8_t kHaSelectionTimeOut = 0x11;  // SRB_HaStat
constexpr std::uint8_t kSrbPosting = 0x01;
constexpr std::uint8_t kSrbDirIn = 0x08;
constexpr std::uint8_t kSrbDirOut = 0x10;
constexpr std::uint8_t kSrbEventNotify = 0x40;
constexpr std::uint8_t kAspiSenseLength = 14;

// The fields, with the pointers' types left open: the program fills them
// with real pointers; a 32-bit stand-in lets every build, the 64-bit ones
// too, check the layout that 32-bit Windows reads.
#pragma pack(push, 1)
template <class BytePointer, class Pointer>
struct SrbExecScsiCmdFields {
  std::uint8_t SRB_Cmd;         // in: kScExecScsiCmd
  std::uint8_t SRB_Status;      // out: kSsPending, kSsComp, kSsErr...
  std::uint8_t SRB_HaId;        // in: host adapter
  std::uint8_t SRB_Flags;       // in: direction and event notification
  std::uint32_t SRB_Hdr_Rsvd;
  std::uint8_t SRB_Target;      // in
  std::uint8_t SRB_Lun;         // in
  std::uint16_t SRB_Rsvd1;
  std::uint32_t SRB_BufLen;     // in: data length
  BytePointer SRB_BufPointer;   // in: data buffer
  std::uint8_t SRB_SenseLen;    // in
  std::uint8_t SRB_CDBLen;      // in
  std::uint8_t SRB_HaStat;      // out: host adapter status
  std::uint8_t SRB_TargStat;    // out: target status
  Pointer SRB_PostProc;         // in: completion event
  std::uint8_t SRB_Rsvd2[20];
  std::uint8_t CDBByte[16];     // in
  std::uint8_t SenseArea[16];   // out: sense data
};
#pragma pack(pop)

struct SrbExecScsiCmd : SrbExecScsiCmdFields<std::uint8_t*, void*> {};

// The layout 32-bit Windows reads.
using SrbExecScsiCmd32 = SrbExecScsiCmdFields<std::uint32_t, std::uint32_t>;
static_assert(sizeof(SrbExecScsiCmd32) == 80, "SRB_ExecSCSICmd is 80 bytes");
static_assert(offsetof(SrbExecScsiCmd32, SRB_Hdr_Rsvd) == 4, "SRB_Hdr_Rsvd at 4");
static_assert(offsetof(SrbExecScsiCmd32, SRB_Target) == 8, "SRB_Target at 8");
static_assert(offsetof(SrbExecScsiCmd32, SRB_BufLen) == 12, "SRB_BufLen at 12");
static_assert(offsetof(SrbExecScsiCmd32, SRB_BufPointer) == 16, "SRB_BufPointer at 16");
static_assert(offsetof(SrbExecScsiCmd32, SRB_SenseLen) == 20, "SRB_SenseLen at 20");
static_assert(offsetof(SrbExecScsiCmd32, SRB_PostProc) == 24, "SRB_PostProc at 24");
static_assert(offsetof(SrbExecScsiCmd32, SRB_Rsvd2) == 28, "SRB_Rsvd2 at 28");
static_assert(offsetof(SrbExecScsiCmd32, CDBByte) == 48, "CDBByte at 48");
static_assert(offsetof(SrbExecScsiCmd32, SenseArea) == 64, "SenseArea at 64");

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(SrbExecScsiCmd) == sizeof(SrbExecScsiCmd32), "the 32-bit build sends that layout");
static_assert(offsetof(SrbExecScsiCmd, SenseArea) == 64, "SenseArea at 64");
#endif
