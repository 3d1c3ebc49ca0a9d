// The file diff: created, changed and deleted files and folders, by path ignoring case.
#include <gtest/gtest.h>

#include "platform/WinConstants.h"
#include "platform/sim/SimMachine.h"
#include "tools/setup-sim/FileDiff.h"

namespace {

TEST(FileDiff, FindsWhatARunCreatedChangedAndDeleted) {
  sim::SimMachine machine;
  sim::SimFileSystem& files = machine.Files();
  files.WriteFileDirect("C:\\WINDOWS\\WIN.INI", "[windows]\r\nrun=x\r\n");
  files.WriteFileDirect("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "old driver");
  files.WriteFileDirect("C:\\WINDOWS\\Keep.txt", "same", win::FILE_ATTRIBUTE_READONLY);
  const lab::MachineState before = lab::CaptureState(machine);

  files.WriteFileDirect("C:\\WINDOWS\\WIN.INI", "[windows]\r\nrun= \r\n");
  files.RemoveDirect("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD");
  files.WriteFileDirect("C:\\Program Files\\Orvanta\\WIN_9x\\OVAUDIO.VXD", "new driver");
  files.Find("C:\\WINDOWS\\KEEP.TXT")->attributes = 0;
  const std::vector<lab::FileChange> changes = lab::DiffFiles(before, lab::CaptureState(machine));

  ASSERT_EQ(changes.size(), 7u);
  // In path order: each new folder before what it holds.
  EXPECT_EQ(changes[0].path, "C:\\Program Files");
  EXPECT_TRUE(changes[0].isFolder);
  EXPECT_EQ(changes[2].path, "C:\\Program Files\\Orvanta\\WIN_9x");
  EXPECT_EQ(changes[3].kind, lab::FileChange::Kind::Created);
  EXPECT_EQ(changes[3].sizeAfter, 10u);
  EXPECT_EQ(changes[4].path, "C:\\WINDOWS\\Keep.txt");
  EXPECT_EQ(changes[4].kind, lab::FileChange::Kind::Changed);
  EXPECT_FALSE(changes[4].contentChanged);
  EXPECT_EQ(changes[4].attributesBefore, win::FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(changes[5].path, "C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD");
  EXPECT_EQ(changes[5].kind, lab::FileChange::Kind::Deleted);
  EXPECT_EQ(changes[6].path, "C:\\WINDOWS\\WIN.INI");
  EXPECT_TRUE(changes[6].contentChanged);
}

TEST(FileDiff, ReadOnlyMediaAreNotTaken) {
  sim::SimMachine machine;
  machine.Files().AddDrive('D', true);
  machine.Files().WriteFileDirect("D:\\SETUP.EXE", "MZ", win::FILE_ATTRIBUTE_READONLY);
  for (const auto& [upper, file] : lab::CaptureState(machine).files) {
    EXPECT_NE(upper.rfind("D:", 0), 0u) << file.path;
  }
}

}  // namespace
