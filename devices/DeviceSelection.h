// From the drive box's current line to its device record: line i of the
// drive box names element i of the device list.
#pragma once

class CDeviceInfo;
class DeviceList;

struct DeviceSelection {
  enum Outcome {
    kFound,          // `device` is the line's record
    kNoLines,        // the drive box is empty
    kBeyondList,     // the line has no element in the list
    kRecordMissing,  // the line's element holds no record: `device` is the first one
  };
  Outcome outcome;
  CDeviceInfo* device;
  // The drive box's selection was missing or beyond it, and line 0 was taken
  // instead: the box must be made to show line 0 before its record is used.
  bool fellBackToFirstLine = false;
};

// `currentLine` is the drive box's selection (-1 for none) and `lineCount`
// its number of lines. A selection that is missing or beyond the drive box
// resolves to line 0.
DeviceSelection ResolveSelection(const DeviceList& list, int currentLine, int lineCount);
