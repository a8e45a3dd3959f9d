// Bytes in hexadecimal, as the command line shows them.
#pragma once

#include <cstddef>
#include <string>

// "05h": one byte, two digits and the h.
std::string HexByte(unsigned byte);
// "F3 0F 02": bytes in hex, one blank between them.
std::string HexBytes(const void* bytes, std::size_t length);
