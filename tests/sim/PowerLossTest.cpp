// Power lost at the Nth platform call: what took effect before it, what a cut write leaves,
// what the registry keeps on each family, and the start after it.
#include <gtest/gtest.h>

#include <functional>

#include "platform/WinConstants.h"
#include "platform/sim/SimMachine.h"
#include "tests/JournalText.h"

namespace {

using sim::CutWrite;
using sim::PowerLossPlan;
using sim::RegistryAfterLoss;
using sim::SimMachine;
using sim::WindowsVersion;

// Runs `steps` with the power failing at call `call`; true when it failed.
bool CutAt(SimMachine& machine, const PowerLossPlan& plan, const std::function<void()>& steps) {
  machine.PlanPowerLoss(plan);
  try {
    steps();
  } catch (const sim::PowerLoss& loss) {
    EXPECT_EQ(loss.call, plan.atCall);
    return true;
  }
  return machine.Core().power.IsOff();
}

std::string Value(SimMachine& machine, const std::string& name) {
  const sim::RegValue* value =
      machine.Registry().FindValue("HKEY_LOCAL_MACHINE\\Software\\T", name);
  return value == nullptr ? "<none>" : std::string(value->data.begin(), value->data.end());
}

void SetValue(SimMachine& machine, const std::string& name) {
  platform::Registry& registry = machine.Platform().registry;
  platform::RegKey key;
  registry.CreateKey(win::HKEY_LOCAL_MACHINE, "Software\\T", win::KEY_ALL_ACCESS, key);
  const std::string data = "v";
  registry.SetValue(key, name, win::REG_SZ, reinterpret_cast<const std::uint8_t*>(data.data()),
                    static_cast<std::uint32_t>(data.size()));
  registry.CloseKey(key);
}

TEST(PowerLoss, CallsBeforeTheNthTookEffectTheNthAndLaterDidNot) {
  SimMachine machine;
  platform::Files& files = machine.Platform().files;
  platform::Registry& registry = machine.Platform().registry;
  platform::RegKey key;
  bool lost = CutAt(machine, {3, CutWrite::Prefix, RegistryAfterLoss::Kept}, [&] {
    registry.OpenKey(win::HKEY_LOCAL_MACHINE, "Software", win::KEY_READ, key);  // call 1
    files.CreateFolder("C:\\ONE");                                              // call 2
    files.CreateFolder("C:\\TWO");                                              // call 3: lost
    files.CreateFolder("C:\\THREE");
  });
  ASSERT_TRUE(lost);
  EXPECT_NE(machine.Files().Find("C:\\ONE"), nullptr);
  EXPECT_EQ(machine.Files().Find("C:\\TWO"), nullptr);
  EXPECT_EQ(machine.Files().Find("C:\\THREE"), nullptr);
  // A clean-up that runs on (a destructor closing its key) reaches nothing: the key stays
  // open, and neither it nor any later call is recorded.
  const std::size_t journal = machine.Journal().size();
  registry.CloseKey(key);
  EXPECT_EQ(machine.Registry().OpenHandleCount(), 1u);
  EXPECT_EQ(machine.Journal().size(), journal);
  EXPECT_EQ(testsupport::JournalTexts(machine, "power"),
            (std::vector<std::string>{
                "power lost at call 3, CreateDirectoryA; the registry keeps every change"}));
  EXPECT_THROW(files.CreateFolder("C:\\FOUR"), sim::PowerLoss);
  EXPECT_EQ(machine.Files().Find("C:\\FOUR"), nullptr);
}

TEST(PowerLoss, AtACloseTheRunEndsAtItsNextCall) {
  SimMachine machine;
  platform::Registry& registry = machine.Platform().registry;
  platform::RegKey key;
  ASSERT_TRUE(CutAt(machine, {2, CutWrite::Prefix, RegistryAfterLoss::Kept}, [&] {
    registry.OpenKey(win::HKEY_LOCAL_MACHINE, "Software", win::KEY_READ, key);
    registry.CloseKey(key);  // call 2: a close cannot end the run (it may be a destructor's)
    EXPECT_TRUE(machine.Core().power.IsOff());
    machine.Platform().files.CreateFolder("C:\\AFTER");  // the run ends here
    ADD_FAILURE() << "the run went on after the power loss";
  }));
  EXPECT_EQ(machine.Files().Find("C:\\AFTER"), nullptr);
}

TEST(PowerLoss, APlanBeyondTheRunNeverFires) {
  SimMachine machine;
  EXPECT_FALSE(CutAt(machine, {3, CutWrite::Prefix, RegistryAfterLoss::Kept},
                     [&] { machine.Platform().files.CreateFolder("C:\\ONE"); }));
  EXPECT_NE(machine.Files().Find("C:\\ONE"), nullptr);
}

TEST(PowerLoss, ACutCopyLeavesItsTargetAbsentOrAPrefix) {
  const std::string bytes = "0123456789abcdefghi";  // 19 bytes: 9 reach the disk
  struct Row {
    CutWrite cut;
    bool existed;
    std::optional<std::string> left;
  } rows[] = {{CutWrite::Prefix, false, "012345678"},
              {CutWrite::Prefix, true, "012345678"},
              {CutWrite::Absent, false, std::nullopt},
              {CutWrite::Absent, true, ""}};
  for (const Row& row : rows) {
    SimMachine machine;
    machine.Files().WriteFileDirect("C:\\SOURCE.BIN", bytes);
    if (row.existed) {
      machine.Files().WriteFileDirect("C:\\TARGET.BIN", "the earlier content");
    }
    ASSERT_TRUE(CutAt(machine, {1, row.cut, RegistryAfterLoss::Kept}, [&] {
      machine.Platform().files.CopyFile("C:\\SOURCE.BIN", "C:\\TARGET.BIN", false);
    }));
    EXPECT_EQ(machine.Files().ReadFileDirect("C:\\TARGET.BIN"), row.left)
        << sim::CutWriteName(row.cut) << (row.existed ? ", over a file" : "");
  }
  // A copy that fails before it writes loses only the power.
  SimMachine machine;
  ASSERT_TRUE(CutAt(machine, {1, CutWrite::Prefix, RegistryAfterLoss::Kept}, [&] {
    machine.Platform().files.CopyFile("C:\\MISSING", "C:\\TARGET.BIN", false);
  }));
  EXPECT_EQ(machine.Files().Find("C:\\TARGET.BIN"), nullptr);
}

TEST(PowerLoss, ACutProfileWriteLeavesAPartOfTheNewText) {
  SimMachine machine;
  machine.Files().WriteFileDirect("C:\\WINDOWS\\A.INI", "[s]\r\nk=1\r\n");
  ASSERT_TRUE(CutAt(machine, {1, CutWrite::Prefix, RegistryAfterLoss::Kept}, [&] {
    machine.Platform().profiles.WriteString("s", "other", "22222222", "A.INI");
  }));
  // The new text is "[s]\r\nk=1\r\nother=22222222\r\n", 26 bytes.
  EXPECT_EQ(machine.Files().ReadFileDirect("C:\\WINDOWS\\A.INI"), "[s]\r\nk=1\r\noth");
  SimMachine fresh;
  ASSERT_TRUE(CutAt(fresh, {1, CutWrite::Absent, RegistryAfterLoss::Kept},
                    [&] { fresh.Platform().profiles.WriteString("s", "k", "1", "NEW.INI"); }));
  EXPECT_EQ(fresh.Files().Find("C:\\WINDOWS\\NEW.INI"), nullptr);
}

TEST(PowerLoss, TheRegistryKeepsWhatItsLazyFlushWrote) {
  for (WindowsVersion version : {WindowsVersion::Win98, WindowsVersion::WinXP}) {
    const bool nt = version == WindowsVersion::WinXP;
    auto run = [&](RegistryAfterLoss registry, std::uint32_t wait) {
      auto machine = std::make_unique<SimMachine>(version);
      EXPECT_TRUE(CutAt(*machine, {100, CutWrite::Prefix, registry}, [&] {
        SetValue(*machine, "early");  // calls 1 to 3
        machine->Sleep(wait);
        SetValue(*machine, "late");
        for (int call = 7; call <= 100; ++call) {
          machine->Platform().files.GetAttributes("C:\\");
        }
      }));
      return Value(*machine, "early") + " " + Value(*machine, "late");
    };
    EXPECT_EQ(run(RegistryAfterLoss::Kept, 0), "v v");
    // Changes younger than the flush delay are lost; a wait that ages them writes them.
    EXPECT_EQ(run(RegistryAfterLoss::LastFlush, 4999), "<none> <none>");
    EXPECT_EQ(run(RegistryAfterLoss::LastFlush, 5000), "v <none>");
    // A flush cut short: Windows 9x restores the registry of the last start, NT's log undoes
    // the cut flush alone.
    EXPECT_EQ(run(RegistryAfterLoss::LastStart, 5000), nt ? "v <none>" : "<none> <none>");
  }
}

TEST(PowerLoss, TheStartAfterItCarriesOutThePendingRenames) {
  SimMachine machine(WindowsVersion::Win98SE);
  sim::SimFileSystem& files = machine.Files();
  files.WriteFileDirect("C:\\WINDOWS\\SYSTEM\\A.VXD", "a");
  files.WriteFileDirect("C:\\WINDOWS\\SYSTEM\\B.VXD", "b");
  files.WriteFileDirect("C:\\WINDOWS\\WININIT.INI",
                        "[rename]\r\nC:\\WINDOWS\\SYSTEM\\A.OLD=C:\\WINDOWS\\SYSTEM\\A.VXD\r\n"
                        "C:\\WINDOWS\\SYSTEM\\B.OLD=C:\\WINDOWS\\SYSTEM\\B.VXD\r\n");
  ASSERT_TRUE(CutAt(machine, {1, CutWrite::Prefix, RegistryAfterLoss::Kept},
                    [&] { machine.Platform().files.CreateFolder("C:\\X"); }));
  // The power fails again during the start, after the first rename: the list stays.
  machine.PowerOn(1);
  EXPECT_TRUE(machine.Core().power.IsOff());
  EXPECT_NE(files.Find("C:\\WINDOWS\\SYSTEM\\A.OLD"), nullptr);
  EXPECT_NE(files.Find("C:\\WINDOWS\\SYSTEM\\B.VXD"), nullptr);
  EXPECT_NE(files.Find("C:\\WINDOWS\\WININIT.INI"), nullptr);
  machine.PowerOn();
  EXPECT_FALSE(machine.Core().power.IsOff());
  EXPECT_NE(files.Find("C:\\WINDOWS\\SYSTEM\\B.OLD"), nullptr);
  EXPECT_EQ(files.Find("C:\\WINDOWS\\WININIT.INI"), nullptr);
  EXPECT_TRUE(machine.Platform().files.CreateFolder("C:\\X"));
}

}  // namespace
