# The command-line program for Linux: the system's discovery, command channel
# and book-type commands over the kernel's SCSI generic driver.

add_library(linux_platform STATIC
  platform/linux/KernelSgDriver.cpp
  platform/linux/LinuxPlatform.cpp
  platform/linux/LinuxPlatformNoWindows.cpp
  platform/linux/SgIoTranslation.cpp
)
target_link_libraries(linux_platform PUBLIC bitset_core)

add_library(bitset_cli STATIC
  cli/CommandLine.cpp
  cli/Console.cpp
  cli/DeviceNodes.cpp
  cli/JsonLine.cpp
)
target_link_libraries(bitset_cli PUBLIC linux_platform)
