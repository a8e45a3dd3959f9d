// The drive's vendor commands that read and change its two book types. Both
// are built in the command channel and sent to its bound device; neither
// shows anything, and nothing read is kept.
#pragma once

#include <cstdint>

#include "scsi/CommandStatus.h"

class CScsiPassThrough;

// The value byte of the write command for a radio choice: 0 keeps the
// medium's own book type, any other choice makes it DVD-ROM.
std::uint8_t PlusRValueByte(int choice);
std::uint8_t PlusRwValueByte(int choice);

// The read command F3 0F: the bound drive's settings byte (0 to 255), or -1
// when the command fails or its response ends before the settings byte.
int QueryBookSettings(CScsiPassThrough& channel);

// The write command F3 0E with one value byte (D0h, D1h, E0h or E2h), no
// data phase: the command's status.
CommandStatus SetBookType(CScsiPassThrough& channel, std::uint8_t valueByte);
