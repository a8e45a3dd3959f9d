// Finding drives by their drive letters, through the command channel.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class CScsiPassThrough;
class DeviceList;
class DeviceSystem;

// The drive names ("D:") of a buffer of drive roots as the platform lists
// them ("d:\", "E:\"... four bytes each, ended by an empty entry), letters
// upper-cased; A: and B: are left out.
std::vector<std::string> DriveNamesOf(const char* roots, std::size_t length);

// Asks `devices` for its drive letters and questions each drive (A: and
// B: excepted) with the INQUIRY through `channel`; every CD/DVD or WORM drive
// that answers is appended to the tail of `list`. A record's HostAdapter
// counts the drives that answered before it, listed or not.
//
// Each record is bound to the channel for its INQUIRY, and unbound again
// when it is not kept: afterwards the channel is bound to the last drive
// questioned if it was listed, else to nothing. No drive is left open.
//
// False when the platform gives no drive list. An exception from the
// platform passes through, with the drive closed and the channel bound to
// nothing that is not listed; the drives listed so far stay in `list`.
bool WalkDriveLetters(DeviceSystem& devices, CScsiPassThrough& channel, DeviceList& list);
