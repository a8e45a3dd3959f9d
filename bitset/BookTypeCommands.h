// The value byte of the write command for a radio choice: 0 keeps the
// medium's own book type, any other choice makes it DVD-ROM.
#pragma once

#include <cstdint>

std::uint8_t PlusRValueByte(int choice);
std::uint8_t PlusRwValueByte(int choice);
