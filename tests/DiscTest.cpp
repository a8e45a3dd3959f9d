// What a disc says about itself: the three standard commands sent to the
// simulated drive with each kind of disc, and the decoding of raw answers.
#include <gtest/gtest.h>

#include <tuple>

#include "disc/DiscCommands.h"
#include "scsi/SgIoTransport.h"
#include "tests/SimulatedSgDriver.h"
#include "tests/TestSupport.h"

namespace {

const char kGetConfiguration[] = "46 01 00 00 00 00 00 00 08 00";
const char kReadDvdStructure[] = "AD 00 00 00 00 00 00 00 08 04 00 00";
const char kReadDiscInformation[] = "51 00 00 00 00 00 00 00 22 00";

// The disc of a simulated drive of `config` read over the command line's
// SG_IO route; `cdbs`: the commands it received.
DiscReading ReadDiscOf(const char* config, std::vector<std::string>& cdbs) {
  sim::DriveConfig parsed;
  std::string error;
  EXPECT_TRUE(sim::ParseDriveConfig(config, parsed, error)) << error;
  test::SimulatedSgDriver driver;
  sim::DriveModel& drive = driver.AddDrive("/dev/sg1", parsed);
  SgIoTransport transport(driver);
  EXPECT_EQ(transport.Open("/dev/sg1"), 0);
  CScsiPassThrough channel(transport);
  const DiscReading reading = ReadDisc(channel);
  cdbs = test::CdbsOf(drive);
  return reading;
}

TEST(DiscTest, EachDiscReadsAsItWasMadeOrWritten) {
  const struct {
    const char* config;
    DiscFailure failure;
    std::size_t commands;  // sent, each the one after the last
    std::uint16_t profile;
    std::uint8_t bookType, partVersion, layerType, discStatus;
    const char* verdict;
  } rows[] = {
      {"disc=dvd+r:dvd-rom", DiscFailure::None, 3, 0x1B, 0x0, 1, 2, 2,
       "a DVD+R that reads as DVD-ROM: its book type was set when it was written"},
      {"disc=dvd+rw:dvd+rw;vendor-commands=0", DiscFailure::None, 3, 0x1A, 0x9, 2, 4, 2,
       "a DVD+RW that carries its own book type"},
      {"disc=dvd+r:0x2", DiscFailure::None, 3, 0x1B, 0x2, 1, 2, 2,
       "a DVD+R that reads as DVD-R: its book type was set when it was written"},
      {"disc=dvd+r:dvd+r", DiscFailure::None, 3, 0x1B, 0xA, 1, 2, 2,
       "a DVD+R that carries its own book type"},
      {"disc=dvd+r:blank", DiscFailure::None, 3, 0x1B, 0xA, 1, 2, 0,
       "a blank DVD+R: its book type is written when it is recorded (`bitset show` tells which "
       "one this drive writes)"},
      {"disc=dvd-rom", DiscFailure::None, 3, 0x10, 0x0, 1, 1, 2, "a pressed DVD-ROM"},
      // A read-only drive names a written DVD+R DVD-ROM: its layer tells.
      {"disc=dvd+r:dvd-rom;profile=0x10", DiscFailure::None, 3, 0x10, 0x0, 1, 2, 2,
       "a DVD-ROM that reads as DVD-ROM"},
      {"disc=cd", DiscFailure::NotDvd, 1, 0x08, 0, 0, 0, 0, nullptr},
      {"disc=cd;profile=0", DiscFailure::NotDvd, 2, 0, 0, 0, 0, 0, nullptr},
      {"", DiscFailure::NoDisc, 2, 0, 0, 0, 0, 0, nullptr},
      {"disc=dvd-rom;status=0x08", DiscFailure::Refused, 1, 0, 0, 0, 0, 0, nullptr},
      {"disc=dvd-rom;disc-answer-length=7", DiscFailure::ShortAnswer, 1, 0, 0, 0, 0, 0, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.config);
    std::vector<std::string> cdbs;
    const DiscReading reading = ReadDiscOf(row.config, cdbs);
    EXPECT_EQ(reading.failure, row.failure);
    const std::vector<std::string> all = {kGetConfiguration, kReadDvdStructure, kReadDiscInformation};
    EXPECT_EQ(cdbs, std::vector<std::string>(all.begin(), all.begin() + row.commands));
    EXPECT_EQ(reading.command, static_cast<DiscCommand>(row.commands - 1));
    EXPECT_EQ(reading.facts.profile, row.profile);
    if (row.verdict == nullptr) continue;
    EXPECT_EQ(reading.facts.bookType, row.bookType);
    EXPECT_EQ(reading.facts.partVersion, row.partVersion);
    EXPECT_EQ(reading.facts.layers, 1);
    EXPECT_EQ(reading.facts.layerType, row.layerType);
    EXPECT_EQ(reading.facts.discStatus, row.discStatus);
    EXPECT_EQ(DiscVerdict(reading.facts), row.verdict);
  }
}

TEST(DiscTest, TheDriveSaysWhyItRefused) {
  const struct {
    const char* config;
    bool sense;
    SenseCodes codes;
  } rows[] = {{"", true, {0x2, 0x3A, 0}}, {"disc=cd;profile=0", true, {0x5, 0x30, 0x02}},
              {"disc=dvd-rom;status=0x18", false, {}}};
  for (const auto& row : rows) {
    std::vector<std::string> cdbs;
    const DiscReading reading = ReadDiscOf(row.config, cdbs);
    EXPECT_EQ(reading.sense, row.sense) << row.config;
    EXPECT_EQ(reading.codes.key, row.codes.key) << row.config;
    EXPECT_EQ(reading.codes.asc, row.codes.asc) << row.config;
    EXPECT_EQ(reading.codes.ascq, row.codes.ascq) << row.config;
  }
}

TEST(DiscTest, RawAnswersDecodeOnlyAsFarAsTheyGo) {
  using Decoder = bool (*)(const std::uint8_t*, std::size_t, DiscFacts&);
  const struct {
    Decoder decode;
    std::vector<std::uint8_t> answer;
    bool decoded;
    DiscFacts facts;  // profile, book type, part version, layers, layer type, status
  } rows[] = {
      {DecodeCurrentProfile, {0, 0, 0, 4, 0, 0, 0x00, 0x2B}, true, {0x2B, 0, 0, 0, 0, 0}},
      {DecodeCurrentProfile, {0, 0, 0, 4, 0, 0, 0x00}, false, {}},
      {DecodeCurrentProfile, {0, 0, 0, 3, 0, 0, 0x00, 0x2B}, false, {}},  // its length says 7
      {DecodePhysicalFormat, {0x08, 0x02, 0, 0, 0xE2, 0x0F, 0x62}, true, {0, 0xE, 2, 4, 2, 0}},
      {DecodePhysicalFormat, {0x08, 0x02, 0, 0, 0xE2, 0x0F}, false, {}},
      {DecodePhysicalFormat, {0x00, 0x04, 0, 0, 0xE2, 0x0F, 0x62}, false, {}},
      {DecodeDiscStatus, {0x00, 0x20, 0x1F}, true, {0, 0, 0, 0, 0, 3}},
      {DecodeDiscStatus, {0x00, 0x00, 0x01}, false, {}},
  };
  for (const auto& row : rows) {
    DiscFacts facts;
    EXPECT_EQ(row.decode(row.answer.data(), row.answer.size(), facts), row.decoded)
        << test::CdbText(row.answer);
    const auto fields = [](const DiscFacts& f) {
      return std::make_tuple(f.profile, int{f.bookType}, int{f.partVersion}, int{f.layers},
                             int{f.layerType}, int{f.discStatus});
    };
    EXPECT_EQ(fields(facts), fields(row.facts));
  }
}

TEST(DiscTest, CodesWithoutANameShowTheirNumber) {
  EXPECT_EQ(ProfileName(0x0041), "profile 0041h");
  EXPECT_EQ(ProfileName(0x002B), "DVD+R DL");
  EXPECT_EQ(ProfileName(0x0014), "DVD-RW sequential");
  EXPECT_EQ(BookTypeName(0xE), "DVD+R DL");
  EXPECT_EQ(BookTypeName(0x5), "book type 5h");
  EXPECT_EQ(LayerTypeName(0x3), "layer type 3h");
  EXPECT_EQ(DiscStatusName(1), "appendable");
  EXPECT_EQ(DiscStatusName(3), "other");
  EXPECT_EQ(DiscVerdict(DiscFacts{0x1A, 0x0, 2, 1, 4, 2}),
            "a DVD+RW that reads as DVD-ROM: its book type was set when it was written");
}

}  // namespace
