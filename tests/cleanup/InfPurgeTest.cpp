// The maker's INF files found and deleted in the INF folders, the earlier driver files retired
// now or at the next start, and WIN.INI's "run".
#include <gtest/gtest.h>

#include "cleanup/InfPurge.h"
#include "platform/sim/SimMachine.h"

namespace {

std::string Inf(const std::string& legacy, const std::string& wave = "") {
  std::string text = "[Version]\r\nSignature=\"$CHICAGO$\"\r\n[Strings]\r\n";
  if (!legacy.empty()) {
    text += "VSX-Legacy.DeviceDesc=\"" + legacy + "\"\r\n";
  }
  if (!wave.empty()) {
    text += "WDM_OVPCI.Wave.szPname=\"" + wave + "\"\r\n";
  }
  return text;
}

class InfPurge : public ::testing::Test {
 protected:
  InfPurge() : machine(sim::WindowsVersion::Win98SE) {}
  void Put(const std::string& tail, const std::string& content = "x",
           std::uint32_t attributes = 0) {
    machine.Files().WriteFileDirect("C:\\WINDOWS" + tail, content, attributes);
  }
  bool Has(const std::string& tail) {
    return machine.Files().Find("C:\\WINDOWS" + tail) != nullptr;
  }
  void Purge() { cleanup::PurgeInfFiles(machine.Platform()); }
  std::string Wininit() {
    return machine.Files().ReadFileDirect("C:\\WINDOWS\\WININIT.INI").value_or("<none>");
  }
  sim::SimMachine machine;
};

TEST_F(InfPurge, TheMakersInfFilesGoWithTheirPnfFiles) {
  Put("\\INF\\OTHER\\Orvanta.INF", Inf("ORV6490 Legacy Audio"));
  Put("\\INF\\OTHER\\Orvanta.PNF");
  Put("\\INF\\OTHER\\Vendor.INF", Inf("Another Audio"));
  Put("\\INF\\OVAUDIO.INF", Inf("", "OVAUDIO Wave"), win::FILE_ATTRIBUTE_READONLY);
  Put("\\INF\\OVAUDIO.PNF", "x", win::FILE_ATTRIBUTE_READONLY);
  Put("\\INF\\oem3.inf", Inf("orv6490 in small letters"));
  Put("\\INF\\oem4.inf", Inf("Orvanta WDM"));
  Put("\\INF\\OTHERVEN.INF", Inf("ORV6490"));  // matches no search
  Purge();
  EXPECT_FALSE(Has("\\INF\\OTHER\\Orvanta.INF"));
  EXPECT_FALSE(Has("\\INF\\OTHER\\Orvanta.PNF"));
  EXPECT_TRUE(Has("\\INF\\OTHER\\Vendor.INF"));
  EXPECT_FALSE(Has("\\INF\\OVAUDIO.INF"));  // read-only, all the same
  EXPECT_FALSE(Has("\\INF\\OVAUDIO.PNF"));
  EXPECT_TRUE(Has("\\INF\\oem3.inf"));  // the names compare as written
  EXPECT_FALSE(Has("\\INF\\oem4.inf"));
  EXPECT_TRUE(Has("\\INF\\OTHERVEN.INF"));
}

// Power lost at any call of a purge, and the purge run again after the start: no PNF of the
// maker's INF files is left, as the INF that marks it goes last.
TEST(InfPurgeCut, ASecondPurgeFindsWhatACutOneLeft) {
  for (std::uint64_t call = 1;; ++call) {
    sim::SimMachine machine(sim::WindowsVersion::Win98SE);
    machine.Files().WriteFileDirect("C:\\WINDOWS\\INF\\OTHER\\OV6490.INF", Inf("ORV6490"));
    machine.Files().WriteFileDirect("C:\\WINDOWS\\INF\\OTHER\\OV6490.PNF", "x");
    machine.PlanPowerLoss(
        sim::PowerLossPlan{call, sim::CutWrite::Prefix, sim::RegistryAfterLoss::Kept});
    try {
      cleanup::PurgeInfFiles(machine.Platform());
    } catch (const sim::PowerLoss&) {
    }
    if (!machine.Core().power.IsOff()) {
      EXPECT_GT(call, 30u);  // the purge ran whole: every call of it was tried
      break;
    }
    machine.PowerOn();
    cleanup::PurgeInfFiles(machine.Platform());
    EXPECT_EQ(machine.Files().Find("C:\\WINDOWS\\INF\\OTHER\\OV6490.PNF"), nullptr)
        << "power lost at call " << call;
  }
}

TEST_F(InfPurge, WithoutOtherInfFilesTheOemFilesAreSearched) {
  Put("\\INF\\OEM1.INF", Inf("ORV6430 Legacy"));
  Put("\\INF\\OEM2.INF", Inf("Another"));
  Purge();
  EXPECT_FALSE(Has("\\INF\\OEM1.INF"));
  EXPECT_TRUE(Has("\\INF\\OEM2.INF"));
  // Searched twice: a third search that fails does not keep them.
  Put("\\INF\\OEM1.INF", Inf("ORV6430 Legacy"));
  machine.InjectedFaults().FailNth(sim::Call::FindFirstFileA, 3, win::ERROR_NOT_ENOUGH_MEMORY);
  Purge();
  EXPECT_FALSE(Has("\\INF\\OEM1.INF"));
}

TEST_F(InfPurge, EarlierDriverFilesGoNowOrAtTheNextStart) {
  Put("\\SYSTEM\\SPHERIX.DLL");
  Put("\\SYSTEM\\OVAUDIO.VXD");
  Put("\\SYSTEM\\OVMPU.EXE", "x", win::FILE_ATTRIBUTE_READONLY);
  Put("\\SYSTEM\\HRTFMOD.DLL");
  machine.Files().SetInUse("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", true);
  Purge();
  EXPECT_FALSE(Has("\\SYSTEM\\SPHERIX.DLL"));
  EXPECT_FALSE(Has("\\SYSTEM\\HRTFMOD.DLL"));
  EXPECT_EQ(Wininit(),
            "[rename]\r\nC:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD=C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD\r\n"
            "C:\\WINDOWS\\SYSTEM\\OVMPU.OLD=C:\\WINDOWS\\SYSTEM\\OVMPU.EXE\r\n");
  // A second run writes the same keys once.
  Purge();
  EXPECT_EQ(Wininit(),
            "[rename]\r\nC:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD=C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD\r\n"
            "C:\\WINDOWS\\SYSTEM\\OVMPU.OLD=C:\\WINDOWS\\SYSTEM\\OVMPU.EXE\r\n");
  // At the next start Windows renames them.
  machine.Restart();
  EXPECT_FALSE(Has("\\SYSTEM\\OVAUDIO.VXD"));
  EXPECT_TRUE(Has("\\SYSTEM\\OVAUDIO.OLD"));
  EXPECT_TRUE(Has("\\SYSTEM\\OVMPU.OLD"));
}

TEST_F(InfPurge, WinIniRunLosesTheMakersProgramsOnly) {
  const std::string other(990, 'p');
  // The "run" line before and after; none after: the file stays as it was.
  const std::pair<std::string, std::string> rows[] = {
      {"run=", "run="},  // one blank, a value's outer blank
      {"load=", "load=\r\nrun="},
      {"run=C:\\WINDOWS\\SYSTEM\\OVMPU.EXE", "run="},
      {"run=ovmpu.exe C:\\TRAY.EXE,BankLoad.Exe\tx.com a:InitTone.com", "run=C:\\TRAY.EXE\tx.com"},
      {"run=C:\\OLD\\TRAY.EXE C:\\OVMPU.EXE.BAK", "run=C:\\OLD\\TRAY.EXE C:\\OVMPU.EXE.BAK"},
      // Quoted entries; the outer quotes a reader takes off are written around the rest.
      {"run=\"C:\\My Tools\\a.exe\" C:\\OVMPU.EXE", "run=\"\"C:\\My Tools\\a.exe\"\""},
      {"run=\"C:\\A B\\OVMPU.EXE\" x.exe", "run=x.exe"},
      // Quotes that do not mark whole entries: the list cannot be taken apart safely.
      {"run=C:\\A\"B\\OVMPU.EXE", ""},
      // Read without its outer quotes, which are the first and last entries' own.
      {"run=\"C:\\A\\a.exe\" \"C:\\B\\OVMPU.EXE\"", "run=\"\"C:\\A\\a.exe\"\""},
      {"run=\"C:\\a b\\x.exe\" OVMPU.EXE \"C:\\c d\\y.exe\"",
       "run=\"\"C:\\a b\\x.exe\" \"C:\\c d\\y.exe\"\""},
      {"run=\"C:\\a b\\x.exe\" \"C:\\c d\\y.exe\"", ""},  // none of the maker's
      {"run=OVMPU.EXE " + other, "run=" + other},
      {"run=OVMPU.EXE " + std::string(4084, 'q'), "run=" + std::string(4084, 'q')},  // read whole
      {"run=OVMPU.EXE " + other + other + other + other + other, ""},  // too long to read whole
  };
  for (const auto& [before, after] : rows) {
    const std::string file = "[windows]\r\n" + before + "\r\n";
    Put("\\WIN.INI", file);
    Purge();
    EXPECT_EQ(machine.Files().ReadFileDirect("C:\\WINDOWS\\WIN.INI"),
              after.empty() ? file : "[windows]\r\n" + after + "\r\n")
        << before;
  }
  EXPECT_EQ(Wininit(), "<none>");
}

TEST_F(InfPurge, OtherProgramsEntriesAndFilesAreKept) {
  Put("\\WININIT.INI", "[rename]\r\nNUL=C:\\TEMP\\OLD.TMP\r\nC:\\A.NEW=C:\\A.TMP\r\n");
  Put("\\SYSTEM\\OVAUDIO.VXD", "x", win::FILE_ATTRIBUTE_READONLY);
  Put("\\INF\\OTHER\\binary.inf",
      std::string("\x00\xFF\x1A[Strings]\r\n", 14) + std::string(70000, 'b'));
  Put("\\WIN.INI", "[windows]\r\nrun=C:\\TRAY.EXE\r\n", win::FILE_ATTRIBUTE_READONLY);
  Purge();
  EXPECT_EQ(Wininit(),
            "[rename]\r\nNUL=C:\\TEMP\\OLD.TMP\r\nC:\\A.NEW=C:\\A.TMP\r\n"
            "C:\\WINDOWS\\SYSTEM\\OVAUDIO.OLD=C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD\r\n");
  EXPECT_TRUE(Has("\\INF\\OTHER\\binary.inf"));
  EXPECT_EQ(machine.Files().ReadFileDirect("C:\\WINDOWS\\WIN.INI"),
            "[windows]\r\nrun=C:\\TRAY.EXE\r\n");  // read-only: left as it is
}

}  // namespace
