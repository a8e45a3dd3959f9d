#include "devices/DeviceSelection.h"

#include "devices/DeviceList.h"

DeviceSelection ResolveSelection(const DeviceList& list, int currentLine, int lineCount) {
  if (lineCount <= 0) return {DeviceSelection::kNoLines, nullptr};
  const bool fellBack = currentLine < 0 || currentLine > lineCount - 1;
  const int index = fellBack ? 0 : currentLine;
  if (!list.HasIndex(index)) return {DeviceSelection::kBeyondList, nullptr};
  if (CDeviceInfo* device = list.GetAt(index)) return {DeviceSelection::kFound, device, fellBack};
  return {DeviceSelection::kRecordMissing, list.GetAt(0)};
}
