// Saving a machine through a temporary folder: the folder changes only as a whole, an
// interrupted save leaves it as it was (and Ctrl-C nothing beside it), and a machine whose
// drives lie elsewhere is refused.
#include <gtest/gtest.h>

#include <csignal>
#include <map>

#include "platform/sim/MachineFolder.h"
#include "tests/lab/LabTestSupport.h"
#include "tools/setup-sim/Interruption.h"
#include "tools/setup-sim/SafeSave.h"

namespace {

namespace fs = std::filesystem;
using labtest::kExamples;

std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    files[fs::relative(entry.path(), folder).string()] =
        entry.is_regular_file() ? labtest::ReadText(entry.path()) : "(folder)";
  }
  return files;
}

class SafeSaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = temp_.path() / "win98";
    fs::copy(kExamples / "machines" / "win98", folder_, fs::copy_options::recursive);
    std::string error;
    machine_ = sim::LoadMachineFolder(folder_, error);
    ASSERT_TRUE(machine_) << error;
    // What a run might do: a new staged file, a deleted one, a registry value.
    machine_->Files().WriteFileDirect("C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.VXD", "new");
    machine_->Files().RemoveDirect("C:\\WINDOWS\\Mixer.exe");
    machine_->Registry().EnsureKey("HKEY_LOCAL_MACHINE\\Software\\Orvanta");
  }

  labtest::TempFolder temp_;
  fs::path folder_;
  std::unique_ptr<sim::SimMachine> machine_;
};

TEST_F(SafeSaveTest, TheNewStateTakesTheFoldersPlace) {
  std::string error;
  ASSERT_TRUE(lab::SaveMachineSafely(*machine_, folder_, error)) << error;
  EXPECT_EQ(labtest::ReadText(folder_ / "drive_c/Program Files/Orvanta/WIN_9x/OVAUDIO.VXD"), "new");
  EXPECT_FALSE(fs::exists(folder_ / "drive_c/WINDOWS/Mixer.exe"));
  EXPECT_NE(labtest::ReadText(folder_ / "registry.reg").find("\\Orvanta]"), std::string::npos);
  EXPECT_EQ(lab::SaveLeftover(folder_), "");
  // The machine loads again as it was left.
  auto again = sim::LoadMachineFolder(folder_, error);
  ASSERT_TRUE(again) << error;
  EXPECT_NE(again->Files().Find("C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.VXD"), nullptr);
}

TEST_F(SafeSaveTest, AnInterruptedSaveLeavesTheFolderAsItWas) {
  const auto before = Snapshot(folder_);
  std::string error;
  EXPECT_FALSE(lab::SaveMachineSafely(*machine_, folder_, error, [] { return false; }));
  EXPECT_NE(error.find("interrupted"), std::string::npos) << error;
  EXPECT_EQ(Snapshot(folder_), before);
  EXPECT_NE(lab::SaveLeftover(folder_), "");
  // The next save clears what the interrupted one left.
  ASSERT_TRUE(lab::SaveMachineSafely(*machine_, folder_, error)) << error;
  EXPECT_EQ(lab::SaveLeftover(folder_), "");
  EXPECT_NE(Snapshot(folder_), before);
}

// Ctrl-C while the new state is written: the tool ends as interrupted, and takes its temporary
// folder with it.
TEST_F(SafeSaveTest, CtrlCTakesTheTemporaryFolderAway) {
  const auto before = Snapshot(folder_);
  EXPECT_EXIT(
      {
        lab::InstallInterruptHandlers();
        std::string error;
        lab::SaveMachineSafely(*machine_, folder_, error, [] {
          std::raise(SIGINT);
          return true;
        });
        std::exit(0);
      },
      testing::KilledBySignal(SIGINT), "interrupted");
  EXPECT_EQ(Snapshot(folder_), before);
  EXPECT_EQ(lab::SaveLeftover(folder_), "");
}

TEST(Interruption, ATemporaryFileGoesWithCtrlC) {
  labtest::TempFolder temp;
  const fs::path file = temp.path() / ".report.txt.tmp";
  EXPECT_EXIT(
      {
        lab::InstallInterruptHandlers();
        labtest::WriteText(file, "half a report");
        lab::TemporaryFileGuard guard(file.string());
        std::raise(SIGINT);
        std::exit(0);
      },
      testing::KilledBySignal(SIGINT), "interrupted");
  EXPECT_FALSE(fs::exists(file));
}

TEST_F(SafeSaveTest, ProgramsClosedAndFilesReleasedLeaveTheDescription) {
  machine_->Restart();
  std::string error;
  ASSERT_TRUE(lab::SaveMachineSafely(*machine_, folder_, error)) << error;
  const std::string ini = labtest::ReadText(folder_ / "machine.ini");
  EXPECT_EQ(ini.find("Mixer=C:\\WINDOWS\\Mixer.exe"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("OVAUDIO.VXD=VMM"), std::string::npos) << ini;
  EXPECT_NE(ini.find("[PCI]"), std::string::npos) << ini;
  EXPECT_TRUE(sim::LoadMachineFolder(folder_, error)) << error;
}

TEST_F(SafeSaveTest, DrivesOutsideTheFolderAreRefused) {
  std::string error;
  EXPECT_TRUE(lab::CheckSavable(folder_, error)) << error;
  std::string ini = labtest::ReadText(folder_ / "machine.ini");
  ini.replace(ini.find("C=drive_c"), 9, "C=../elsewhere\r\nE=../cdrom, readonly");
  labtest::WriteText(folder_ / "machine.ini", ini);
  EXPECT_FALSE(lab::CheckSavable(folder_, error));
  EXPECT_NE(error.find("C lies outside the machine folder"), std::string::npos) << error;
}

}  // namespace
