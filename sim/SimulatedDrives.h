// What the simulated system libraries share: the list of simulated drives
// taken from an environment variable, and the lines of the command log.
//
// A list is "name=<drive config>|name=<drive config>", each config in the
// form ParseDriveConfig reads. The name is a device file for the SG_IO
// library and "adapter:target:lun" for the ASPI library.
//
// The log has one line per command a simulated drive received:
//   <name> <CDB bytes in hex> <in|out|none> <data length> <good|check K/ASC/ASCQ>
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/DriveModel.h"

namespace sim {

struct NamedDrive {
  std::string name;
  DriveConfig config;
};

// False, with `error` telling why, when an entry has no name or a bad config.
inline bool ParseDriveList(const std::string& text, std::vector<NamedDrive>& drives,
                           std::string& error) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('|', start);
    if (end == std::string::npos) end = text.size();
    const std::string entry = text.substr(start, end - start);
    start = end + 1;
    if (entry.empty()) continue;
    const std::size_t equals = entry.find('=');
    if (equals == 0 || equals == std::string::npos) {
      error = "no drive name in '" + entry + "'";
      return false;
    }
    NamedDrive drive;
    drive.name = entry.substr(0, equals);
    std::string configError;
    if (!ParseDriveConfig(entry.substr(equals + 1), drive.config, configError)) {
      error = drive.name + ": " + configError;
      return false;
    }
    drives.push_back(drive);
  }
  return true;
}

inline const char* DirectionName(Direction direction) {
  switch (direction) {
    case Direction::FromDrive: return "in";
    case Direction::ToDrive: return "out";
    case Direction::None: break;
  }
  return "none";
}

inline std::string LogLine(const std::string& name, const std::uint8_t* cdb, std::size_t cdbLength,
                           Direction direction, std::uint32_t length, const CommandResult& result) {
  std::string line = name;
  char text[32];
  for (std::size_t i = 0; i < cdbLength; ++i) {
    std::snprintf(text, sizeof text, " %02X", unsigned{cdb[i]});
    line += text;
  }
  std::snprintf(text, sizeof text, " %s %u ", DirectionName(direction), unsigned{length});
  line += text;
  if (result.checkCondition) {
    std::snprintf(text, sizeof text, "check %X/%02X/%02X", unsigned{result.sense.key},
                  unsigned{result.sense.asc}, unsigned{result.sense.ascq});
    line += text;
  } else {
    line += "good";
  }
  return line + "\n";
}

}  // namespace sim
