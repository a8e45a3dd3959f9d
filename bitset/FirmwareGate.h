// Drives whose firmware cannot change its book type.
#pragma once

#include <string>

// True for the revisions BX01 and BX02, compared whole and exactly with the
// record's revision text (stored upper-cased).
bool FirmwareRefused(const std::string& revision);
