#include "devices/DeviceInfo.h"

bool IsListedType(int peripheralType) {
  return peripheralType == kPeripheralCdDvd || peripheralType == kPeripheralWorm;
}

const char* DeviceTypeName(int peripheralType) {
  static const char* const kNames[] = {"DISK  ", "TAPE  ", "PRINT ", "PROCSR", "WORM  ", "CD/DVD",
                                       "SCAN  ", "OPTICL", "JUKE  ", "COMMS ", "RESRVD"};
  if (peripheralType >= 0 && peripheralType <= 10) return kNames[peripheralType];
  if (peripheralType == 30) return "RESRVD";
  if (peripheralType == 31) return "UNKNWN";
  return "";
}
