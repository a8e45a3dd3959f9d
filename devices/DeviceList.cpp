#include "devices/DeviceList.h"

#include <iterator>
#include <iterator>

void DeviceList::AddTail(std::unique_ptr<CDeviceInfo> device) {
  devices_.push_back(nullptr);
  devices_.back() = device.release();
}

void DeviceList::AddHead(std::unique_ptr<CDeviceInfo> device) {
  devices_.push_front(nullptr);
  devices_.front() = device.release();
}

CDeviceInfo* DeviceList::GetAt(int index) const {
  if (!HasIndex(index)) return nullptr;
  return *std::next(devices_.begin(), index);
}

CDeviceInfo* DeviceList::RemoveTail() {
  CDeviceInfo* device = devices_.back();
  devices_.pop_back();
  return device;
}

CDeviceInfo* DeviceList::Find(const ScsiAddress* address) const {
  for (CDeviceInfo* device : devices_) {
    if (static_cast<const ScsiAddress*>(device) == address) return device;
  }
  return nullptr;
}

CDeviceInfo* DeviceList::RemoveAt(int index) {
  if (!HasIndex(index)) return nullptr;
  auto at = std::next(devices_.begin(), index);
  CDeviceInfo* device = *at;
  devices_.erase(at);
  return device;
}

void DeviceList::FreeAll() {
  while (!IsEmpty()) {
    CObject* record = devices_.back();
    delete record;  // through the virtual destructor
    RemoveTail();
  }
}
