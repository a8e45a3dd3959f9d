#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "devices/DeviceInfo.h"
#include "devices/DeviceList.h"
#include "devices/Inquiry.h"
#include "tests/memory/MemoryPlatform.h"

namespace {

// A 74-byte INQUIRY response with the given fields copied in unpadded.
struct Response {
  std::uint8_t bytes[kInquiryLength] = {};
  Response(std::uint8_t type, const char* vendorProduct, const char* revision) {
    bytes[0] = type;
    std::memcpy(bytes + 8, vendorProduct, std::strlen(vendorProduct));
    std::memcpy(bytes + 32, revision, std::strlen(revision));
  }
};

class InquiryFillTest : public ::testing::Test {
 protected:
  memory::MemoryPlatform platform;
  CDeviceInfo device;
};

TEST_F(InquiryFillTest, KeepsInnerAndTrailingBlanksAndUpperCases) {
  Response response(0x05, "qsi     dvdrw sdw-082   ", "bx03");
  FillFromInquiry(device, response.bytes, PlatformUpperCase);
  EXPECT_EQ(device.PeripheralType, 5);
  EXPECT_EQ(device.VendorProduct, "QSI     DVDRW SDW-082   ");
  EXPECT_EQ(device.VendorProduct.size(), 24u);
  EXPECT_EQ(device.Revision, "BX03");
}

TEST_F(InquiryFillTest, RemovesLeadingWhiteSpaceOnly) {
  Response response(0x05, "  \tNEC     ND-1100A     ", " 1.0");
  FillFromInquiry(device, response.bytes, PlatformUpperCase);
  EXPECT_EQ(device.VendorProduct, "NEC     ND-1100A     ");
  EXPECT_EQ(device.Revision, "1.0");
}

// Each of the six white-space characters is taken away when it leads; other
// control characters stay.
TEST_F(InquiryFillTest, EveryLeadingWhiteSpaceCharacterGoes) {
  const struct {
    const char* vendorProduct;
    const char* expected;
  } cases[] = {
      {" NEC", "NEC"},   {"\tNEC", "NEC"}, {"\nNEC", "NEC"},      {"\vNEC", "NEC"},
      {"\fNEC", "NEC"}, {"\rNEC", "NEC"}, {"\x1cNEC", "\x1cNEC"}, {"\x08NEC", "\x08NEC"},
  };
  for (const auto& c : cases) {
    Response response(0x05, c.vendorProduct, "1.0");
    FillFromInquiry(device, response.bytes, PlatformUpperCase);
    EXPECT_EQ(device.VendorProduct, c.expected) << int{static_cast<unsigned char>(c.vendorProduct[0])};
  }
}

TEST_F(InquiryFillTest, TextEndsAtTheFirstZeroByte) {
  Response response(0x05, "QSI", "BX");
  FillFromInquiry(device, response.bytes, PlatformUpperCase);
  EXPECT_EQ(device.VendorProduct, "QSI");
  EXPECT_EQ(device.Revision, "BX");
}

TEST_F(InquiryFillTest, ShortResponseLeavesEmptyTexts) {
  std::uint8_t bytes[kInquiryLength] = {0x05, 0, 0, 0, 0, 0, 0, 0};
  FillFromInquiry(device, bytes, PlatformUpperCase);
  EXPECT_EQ(device.VendorProduct, "");
  EXPECT_EQ(device.Revision, "");
}

TEST_F(InquiryFillTest, FieldsDoNotRunIntoEachOther) {
  // Every byte set: the vendor text stops after 24 characters and the
  // revision after 4, though no zero byte ends them.
  std::uint8_t bytes[kInquiryLength];
  std::memset(bytes, 'x', sizeof bytes);
  bytes[0] = 0x05;
  FillFromInquiry(device, bytes, PlatformUpperCase);
  EXPECT_EQ(device.VendorProduct, std::string(24, 'X'));
  EXPECT_EQ(device.Revision, "XXXX");
}

TEST_F(InquiryFillTest, QualifierBitsStayInTheType) {
  Response response(0x25, "QSI", "BX03");
  FillFromInquiry(device, response.bytes, PlatformUpperCase);
  EXPECT_EQ(device.PeripheralType, 0x25);
  EXPECT_FALSE(IsListedType(device.PeripheralType));
}

// The window's texts upper-case the code page's accented letters too; the
// command line only the 7-bit ASCII letters, leaving other bytes alone.
TEST_F(InquiryFillTest, UpperCasesAccentedLettersOfTheCodePage) {
  const struct {
    UpperCaseFunction upperCase;
    const char* vendorProduct;
  } cases[] = {{PlatformUpperCase, "CAF\xc9 \x80\x9f"}, {AsciiUpperCase, "CAF\xe9 \x80\xff"}};
  for (const auto& c : cases) {
    Response response(0x05, "caf\xe9 \x80\xff", "bx02");
    FillFromInquiry(device, response.bytes, c.upperCase);
    EXPECT_EQ(device.VendorProduct, c.vendorProduct);
    EXPECT_EQ(device.Revision, "BX02");
  }
}

TEST(ListingRule, OnlyCdDvdAndWormAreListed) {
  const struct {
    int type;
    bool listed;
  } cases[] = {{0x05, true}, {0x04, true}, {0x00, false}, {0x08, false},
               {0x25, false}, {0x7F, false}, {0x85, false}, {0x01, false}};
  for (const auto& c : cases) EXPECT_EQ(IsListedType(c.type), c.listed) << c.type;
}

TEST(DeviceTypeName, NamesEveryType) {
  const struct {
    int type;
    const char* name;
  } cases[] = {{0, "DISK  "},  {1, "TAPE  "},  {2, "PRINT "},  {3, "PROCSR"}, {4, "WORM  "},
               {5, "CD/DVD"},  {6, "SCAN  "},  {7, "OPTICL"},  {8, "JUKE  "}, {9, "COMMS "},
               {10, "RESRVD"}, {30, "RESRVD"}, {31, "UNKNWN"}, {11, ""},      {29, ""},
               {32, ""},       {255, ""},      {-1, ""}};
  for (const auto& c : cases) EXPECT_STREQ(DeviceTypeName(c.type), c.name) << c.type;
}

// A record that reports its destruction, to see the list free it.
class TracedRecord : public CDeviceInfo {
 public:
  TracedRecord(std::vector<int>& log, int tag) : log_(log), tag_(tag) {}
  ~TracedRecord() override { log_.push_back(tag_); }

 private:
  std::vector<int>& log_;
  int tag_;
};

TEST(DeviceListTest, FreeAllDestroysEveryRecordTailFirst) {
  std::vector<int> destroyed;
  DeviceList list;
  list.AddTail(std::make_unique<TracedRecord>(destroyed, 1));
  list.AddTail(std::make_unique<TracedRecord>(destroyed, 2));
  list.AddHead(std::make_unique<TracedRecord>(destroyed, 0));
  list.FreeAll();
  EXPECT_EQ(destroyed, (std::vector<int>{2, 1, 0}));
  EXPECT_TRUE(list.IsEmpty());
}

TEST(DeviceListTest, IndexCountsFromTheHead) {
  auto first = std::make_unique<CDeviceInfo>();
  auto third = std::make_unique<CDeviceInfo>();
  CDeviceInfo* const head = first.get();
  CDeviceInfo* const tail = third.get();
  DeviceList list;
  list.AddTail(std::make_unique<CDeviceInfo>());
  list.AddTail(std::move(third));
  list.AddHead(std::move(first));
  EXPECT_EQ(list.GetAt(0), head);
  EXPECT_EQ(list.GetAt(2), tail);
  EXPECT_EQ(list.GetAt(3), nullptr);
  EXPECT_EQ(list.GetAt(-1), nullptr);
  EXPECT_EQ(list.GetCount(), 3);
  list.FreeAll();
}

}  // namespace
