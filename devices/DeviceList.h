// The dialog's list of listed devices. Line i of the drive box names
// element i, counted from the head. The list owns its records: only
// FreeAll destroys them; destroying the list itself frees the nodes alone.
#pragma once

#include <list>
#include <memory>

#include "devices/DeviceInfo.h"

class DeviceList {
 public:
  DeviceList() = default;
  DeviceList(const DeviceList&) = delete;
  DeviceList& operator=(const DeviceList&) = delete;

  // The list takes the record only once its node exists: when the node
  // cannot be made, the record is destroyed with `device`, never lost.
  void AddTail(std::unique_ptr<CDeviceInfo> device);
  void AddHead(std::unique_ptr<CDeviceInfo> device);
  // The element at a zero-based index from the head; null when out of range.
  CDeviceInfo* GetAt(int index) const;
  // Whether an element exists at `index` (its record may still be null).
  bool HasIndex(int index) const { return index >= 0 && index < GetCount(); }
  int GetCount() const { return static_cast<int>(devices_.size()); }
  bool IsEmpty() const { return devices_.empty(); }
  CDeviceInfo* RemoveTail();
  // Takes the element at `index` out; its record becomes the caller's.
  CDeviceInfo* RemoveAt(int index);
  // The listed record at that address (the very object), or null.
  CDeviceInfo* Find(const ScsiAddress* address) const;

  // Destroys every record, tail first, and empties the list.
  void FreeAll();

  std::list<CDeviceInfo*>::const_iterator begin() const { return devices_.begin(); }
  std::list<CDeviceInfo*>::const_iterator end() const { return devices_.end(); }

 private:
  std::list<CDeviceInfo*> devices_;
};
