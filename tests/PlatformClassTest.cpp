#include <gtest/gtest.h>

#include "app/PlatformClass.h"
#include "platform/Platform.h"
#include "tests/memory/MemoryPlatform.h"

namespace {

struct VersionCase {
  std::uint32_t platformId, major, minor;
  PlatformClass expected;
  const char* release;
};

class PlatformClassTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(PlatformClassTest, ClassifiesTheReportedVersion) {
  memory::MemoryPlatform platform;
  const VersionCase& version = GetParam();
  platform.SetVersion(version.platformId, version.major, version.minor);
  EXPECT_EQ(GetPlatformClass(), version.expected) << version.release;
}

INSTANTIATE_TEST_SUITE_P(
    AllReleases, PlatformClassTest,
    ::testing::Values(VersionCase{1, 4, 0, 0, "Windows 95"}, VersionCase{1, 4, 10, 1, "Windows 98"},
                      VersionCase{1, 4, 90, 1, "Windows ME"}, VersionCase{1, 5, 0, 1, "9x, other"},
                      VersionCase{2, 4, 0, 2, "NT 4.0"}, VersionCase{2, 4, 7, 2, "NT 4.x"},
                      VersionCase{2, 5, 0, 3, "Windows 2000"}, VersionCase{2, 5, 1, 4, "XP"},
                      VersionCase{2, 5, 2, 5, "Server 2003"}, VersionCase{2, 3, 51, 5, "NT 3.51"},
                      VersionCase{2, 6, 1, 5, "Windows 7"}, VersionCase{2, 10, 0, 5, "Windows 10"},
                      VersionCase{0, 3, 10, 5, "Win32s"}, VersionCase{3, 4, 0, 5, "unknown"}));

TEST(PlatformClass, FailedVersionQueryIsMinusOneOnTheAspiSide) {
  memory::MemoryPlatform platform;
  platform.FailVersionQuery();
  EXPECT_EQ(GetPlatformClass(), -1);
  EXPECT_FALSE(UsesSpti(GetPlatformClass()));
}

TEST(PlatformClass, ThresholdSeparatesTheRoutes) {
  EXPECT_FALSE(UsesSpti(0));
  EXPECT_FALSE(UsesSpti(1));
  EXPECT_TRUE(UsesSpti(2));
  EXPECT_TRUE(UsesSpti(5));
}

}  // namespace
