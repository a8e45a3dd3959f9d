// Finding drives by scanning the buses of the ASPI library.
#pragma once

#include <cstdint>

#include "scsi/CommandStatus.h"

class CAspiLibrary;
class CDeviceInfo;
class DeviceList;

// The library is ready when the status byte of its support info (bits 8 to
// 15) is SS_COMP.
bool AspiReady(std::uint32_t supportInfo);

// Sends a CDB of `cdbLength` bytes through the library to the device at the
// record's host adapter, target and logical unit, and waits for it.
CommandStatus ScanAspiCommand(const CAspiLibrary& library, const std::uint8_t* cdb,
                              std::uint8_t cdbLength, std::uint8_t directionFlags, void* buffer,
                              std::uint32_t length, const CDeviceInfo& device);

enum class BusScanResult {
  kLibraryNotReady,  // nothing questioned
  kNoAdapters,       // ready, but no host adapter to question
  kScanned,          // every address questioned
};

// Questions targets 0 to 14 and logical units 0 to 14 of every host adapter
// with the INQUIRY; every CD/DVD or WORM device that answers is inserted at
// the head of `list`, so the device found last comes first.
BusScanResult ScanAspiBuses(const CAspiLibrary& library, DeviceList& list);
