#include "scsi/WindowsRoutes.h"

int WindowsRoutes::OpenDrive(const char* driveName) {
  // Only on the SPTI route: a handle opened here is always one that the
  // SPTI transport closes again.
  if (route_ != ScsiRoute::Spti) return 1;
  return spti_.Open(driveName) ? 1 : 0;
}

void WindowsRoutes::BindDevice(const ScsiAddress* device) {
  device_ = device;
  spti_.SetDevice(device);
  aspi_.Bind(library_, device);
}

void WindowsRoutes::BindAspiLibrary(const CAspiLibrary* library) {
  library_ = library;
  aspi_.Bind(library, device_);
}

ScsiTransport& WindowsRoutes::Transport() {
  // A device that the bus scan found has no drive letter to open: on the NT
  // family it is reached through the ASPI library that found it.
  const bool scanned = library_ != nullptr && device_ != nullptr && device_->DriveName[0] == '\0';
  if (route_ == ScsiRoute::Aspi || scanned) return aspi_;
  return spti_;
}

ScsiOutcome WindowsRoutes::Execute(const ScsiCommand& command) { return Transport().Execute(command); }
