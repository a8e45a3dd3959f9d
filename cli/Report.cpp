#include "cli/Report.h"

#include <cstdio>

#include "bitset/BookSettingsDecoding.h"
#include "cli/HexText.h"
#include "cli/JsonLine.h"
#include "devices/DriveBoxLines.h"

std::string Printable(const std::string& text) {
  std::string printable;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte <= 0x7E) {
      printable += c;
      continue;
    }
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned{byte});
    printable += escaped;
  }
  return printable;
}

void Report::Message(const std::string& text) { console_.Message("bitset: " + Printable(text)); }

void Report::Device(const NodeSession& session, const std::vector<std::string>& others) {
  const CDeviceInfo& record = session.Record();
  if (!json_) {
    std::string line = NamedDeviceLine(session.Node(), record) + " " + record.Revision;
    for (const std::string& other : others) line += "  (also " + other + ")";
    console_.Result(Printable(line));
    return;
  }
  console_.Result(JsonLine()
                      .Text("device", session.Node())
                      .Texts("also", others)
                      .Number("type", record.PeripheralType)
                      .Text("type_name", DeviceTypeName(record.PeripheralType))
                      .Text("vendor", InquiryVendor(session.InquiryResponse(), AsciiUpperCase))
                      .Text("product", InquiryProduct(session.InquiryResponse(), AsciiUpperCase))
                      .Text("revision", record.Revision)
                      .Str());
}

void Report::Unusable(const std::string& node, const std::string& why) {
  if (json_) {
    console_.Result(JsonLine().Text("device", node).Text("error", why).Str());
  } else {
    Message(node + ": " + why);
  }
}

void Report::Settings(const NodeSession& session, int settings) {
  const std::string plusR = BookTypeBitText(settings, Medium::PlusR);
  const std::string plusRw = BookTypeBitText(settings, Medium::PlusRw);
  if (json_) {
    console_.Result(JsonLine()
                        .Text("device", session.Node())
                        .Text("plus_r", plusR)
                        .Text("plus_rw", plusRw)
                        .Number("settings", settings)
                        .Str());
    return;
  }
  // The window shows DVD-ROM for +R media at 00h; the program follows the
  // bit, which is what the drive's write values set and clear.
  if (settings == 0) Message("settings byte 00h: the window shows DVD-ROM for DVD+R media at this byte");
  console_.Result("DVD+R media:   " + plusR);
  console_.Result("DVD+RW media:  " + plusRw);
  console_.Result("settings byte: " + HexByte(static_cast<unsigned>(settings)));
}
