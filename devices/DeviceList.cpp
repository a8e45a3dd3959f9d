#include "devices/DeviceList.h"

#include <algorithm>
#include <iterator>

CDeviceInfo* DeviceList::GetAt(int index) const {
  if (!HasIndex(index)) return nullptr;
  return *std::next(devices_.begin(), index);
}

CDeviceInfo* DeviceList::RemoveTail() {
  CDeviceInfo* device = devices_.back();
  devices_.pop_back();
  return device;
}

bool DeviceList::Contains(const CDeviceInfo* device) const {
  return std::find(devices_.begin(), devices_.end(), device) != devices_.end();
}

void DeviceList::FreeAll() {
  while (!IsEmpty()) {
    CObject* record = devices_.back();
    delete record;  // through the virtual destructor
    RemoveTail();
  }
}
