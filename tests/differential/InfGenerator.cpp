#include "tests/differential/InfGenerator.h"

#include <cctype>

#include "platform/sim/CodePage.h"

namespace differential {

namespace {

// Texts of the maker's INF files and of translated ones: ANSI, characters of Windows-1252 beyond
// ASCII, and characters no western code page has (they come back as "?" from an ANSI call).
const std::vector<std::string> kTexts = {
    "Orvanta",
    "ORV6490 PCI Audio Device",
    "Orvanta PCI Audio",
    "Orvanta WDM Audio Driver Disk",
    "Orvanta Ger\u00e4t f\u00fcr Audio",
    "P\u00e9riph\u00e9rique audio Orvanta",
    "Orvanta \u2013 Audio \u20ac",
    "\u0417\u0432\u0443\u043a\u043e\u0432\u043e\u0435 \u0443\u0441\u0442\u0440\u043e\u0439"
    "\u0441\u0442\u0432\u043e",
    "\u97f3\u6548\u88dd\u7f6e Orvanta",
    "ORV5970 AC'97 \u00a9 Orvanta",
};

std::string VaryCase(Random& random, const std::string& name) {
  std::string varied = name;
  std::size_t how = random.Below(3);
  for (char& c : varied) {
    auto u = static_cast<unsigned char>(c);
    c = static_cast<char>(how == 1 ? std::toupper(u) : how == 2 ? std::tolower(u) : u);
  }
  return varied;
}

std::string Quoted(Random& random, const std::string& text) {
  return random.Percent(80) ? "\"" + text + "\"" : text;
}

struct InfBuilder {
  Random& random;
  std::string ending;
  std::string text;  // UTF-8
  ProfileCase profile;

  void Line(const std::string& line) {
    text += line;
    text += ending.empty() ? random.Pick({"\r\n", "\n"}) : ending;
  }
  void Entry(const std::string& key, const std::string& value) {
    std::string gap = random.Percent(20) ? " " : "";
    Line(key + gap + "=" + gap + value);
  }
  void Comment() {
    if (random.Percent(25)) {
      Line("; " + random.Pick(kTexts));
    }
    if (random.Percent(20)) {
      Line("");
    }
  }
  // A read of `key` in `section`, in any letter case; the capacity sometimes one that just holds
  // the value (`fit`, with its terminating zero).
  void Ask(const std::string& section, const std::string& key, std::size_t fit = 0) {
    ProfileQuery query;
    query.section = VaryCase(random, section);
    query.key = VaryCase(random, key);
    query.defaultText = "none";
    query.capacity = random.Percent(70)   ? 1024
                     : fit > 0            ? static_cast<std::uint32_t>(fit)
                     : random.Percent(50) ? 64
                                          : 260;
    profile.queries.push_back(query);
  }
};

}  // namespace

const char* EncodingName(InfEncoding encoding) {
  switch (encoding) {
    case InfEncoding::Ansi:
      return "ANSI";
    case InfEncoding::Utf16:
      return "UTF-16";
    case InfEncoding::Utf8WithMark:
      return "UTF-8 with its byte order mark";
    case InfEncoding::Utf8:
      break;
  }
  return "UTF-8";
}

InfCase GenerateInf(Random& random) {
  InfBuilder inf{random, random.Percent(80) ? "\r\n" : random.Percent(50) ? "\n" : "", "", {}};
  if (random.Percent(30)) {
    inf.Line("; " + random.Pick(kTexts) + " INF");
  }
  inf.Line("[Version]");
  inf.Entry("Signature", random.Pick({"\"$CHICAGO$\"", "\"$Windows NT$\"", "$Chicago$"}));
  inf.Entry("Class", "MEDIA");
  inf.Entry("Provider", "%Mfg%");
  inf.Entry("DriverVer", "07/01/2003,5.10.0." + std::to_string(random.Between(1000, 9999)));
  inf.Ask("Version", "Signature");
  inf.Ask("Version", "Provider");
  inf.Comment();

  inf.Line("[SourceDisksNames]");
  const std::string disk = random.Pick({"1", "200", "222"});
  const std::string diskValue = disk == "1"     ? "\"ORV6490/Y3DX Sonavex Driver Disk\",,0000-0000"
                                : disk == "200" ? "\"Orvanta WDM Audio Driver Disk\",,,"
                                                : "%DiskDescription%,,,";
  inf.Entry(disk, diskValue);
  inf.Ask("SourceDisksNames", disk, diskValue.size() + 1);
  inf.Ask("SourceDisksNames", disk == "1" ? "200" : "1");
  inf.Comment();

  inf.Line("[SourceDisksFiles]");
  for (const char* file : {"ovaudio.sys", "ovaudio.cat", "ovprop.dll"}) {
    if (random.Percent(80)) {
      inf.Entry(file, disk);
      inf.Ask("SourceDisksFiles", file);
      ProfileQuery number;
      number.integer = true;
      number.section = "SourceDisksFiles";
      number.key = file;
      number.defaultValue = -1;
      inf.profile.queries.push_back(number);
    }
  }
  inf.Comment();

  inf.Line("[Manufacturer]");
  inf.Entry("%Mfg%", "Orvanta");
  inf.Line("[Orvanta]");
  inf.Entry("%DeviceDesc%", "OV.Install,PCI\\VEN_7C5A&DEV_0111");
  inf.Line("[CONFIG1.AddReg]");
  inf.Line("HKR,\"Settings\",\"EnableLegacy\",0x00010001," + std::to_string(random.Between(2, 7)));
  inf.Line("HKR,\"Settings\",\"JackConfig\",0x00010001," + std::to_string(random.Between(0, 7)));
  inf.Comment();

  inf.Line("[Strings]");
  for (const char* key : {"Mfg", "DeviceDesc", "VSX-Legacy.DeviceDesc", "WDM_OVPCI.Wave.szPname",
                          "DiskDescription"}) {
    if (random.Percent(85)) {
      std::string value = random.Pick(kTexts);
      if (random.Percent(10)) {
        value += " " + std::string(random.Between(200, 320), 'x');
      }
      std::string stored = Quoted(random, value);
      inf.Entry(key, stored);
      if (random.Percent(10)) {
        inf.Entry(key, Quoted(random, random.Pick(kTexts)));  // a duplicate: the first wins
      }
      std::size_t length = sim::Utf8ToAnsi(value).size();
      inf.Ask("Strings", key, length + 1);
    }
  }
  inf.Ask("Strings", "Missing");
  inf.Ask("No Such Section", "Mfg");

  InfCase result;
  result.profile = inf.profile;
  result.encoding = static_cast<InfEncoding>(random.Below(4));
  switch (result.encoding) {
    case InfEncoding::Ansi:
      result.profile.text = sim::Utf8ToAnsi(inf.text);
      break;
    case InfEncoding::Utf16: {
      std::vector<std::uint8_t> units = sim::Utf8ToUtf16Le(inf.text);
      result.profile.text = "\xFF\xFE" + std::string(units.begin(), units.end());
      break;
    }
    case InfEncoding::Utf8WithMark:
      result.profile.text = "\xEF\xBB\xBF" + inf.text;
      break;
    case InfEncoding::Utf8:
      result.profile.text = inf.text;
      break;
  }
  result.writeSection = random.Percent(50) ? "SourceDisksNames" : "Strings";
  result.writeKey = result.writeSection == "Strings" ? "DeviceDesc" : disk;
  result.writeValue = random.Percent(50)
                          ? "\"Orvanta WDM Audio Driver Disk\",,,C:\\PROGRA~1\\ORVANTA"
                          : sim::Utf8ToAnsi(random.Pick(kTexts));
  return result;
}

}  // namespace differential
