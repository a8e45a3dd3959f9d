// The direction of a command's data, as the command channel takes it.
#pragma once

constexpr int kDataFromDrive = 1;
constexpr int kDataToDriveOrNone = 0;  // data to the drive, or no data phase
