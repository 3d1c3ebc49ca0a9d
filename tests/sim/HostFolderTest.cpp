// Host folders read once and mapped into many machines: the bytes read when first needed and
// then shared, each machine's changes its own; symbolic links left out and named.
#include <gtest/gtest.h>

#include "platform/sim/MachineFolder.h"
#include "tests/HostFiles.h"

namespace fs = std::filesystem;

namespace {

using testsupport::WriteText;

class TempFolder : public testsupport::TempFolder {
 public:
  TempFolder() : testsupport::TempFolder("orv-host-folder") {}
};

TEST(HostFolder, MachinesShareBytesReadOnceAndChangeOnlyTheirOwnCopy) {
  TempFolder temp;
  const fs::path disc = temp.path() / "disc";
  WriteText(disc / "a.txt", "one");
  WriteText(disc / "Sub" / "b.txt", "two");
  sim::HostFolders shared;
  sim::SimMachine first;
  sim::SimMachine second;
  std::string error;
  ASSERT_TRUE(sim::MapHostFolder(first, "E:", disc, false, error, &shared)) << error;
  ASSERT_TRUE(sim::MapHostFolder(second, "E:", disc, false, error, &shared)) << error;
  EXPECT_EQ(first.Files().ReadFileDirect("E:\\a.txt"), "one");

  // Read once: the second machine has the bytes although the host file is gone.
  fs::remove(disc / "a.txt");
  EXPECT_EQ(second.Files().ReadFileDirect("E:\\a.txt"), "one");
  std::unique_ptr<platform::Stream> stream = first.Platform().files.OpenStream("E:\\a.txt", "ab");
  ASSERT_TRUE(stream);
  stream->Write("!", 1);
  stream.reset();
  EXPECT_EQ(first.Files().ReadFileDirect("E:\\a.txt"), "one!");
  EXPECT_EQ(second.Files().ReadFileDirect("E:\\a.txt"), "one");

  // Not read before it changed: the change is seen, not taken for the file as it was mapped.
  EXPECT_EQ(first.Files().Find("E:\\Sub\\b.txt")->data.size(), 3u);
  WriteText(disc / "Sub" / "b.txt", "changed");
  EXPECT_THROW(second.Files().ReadFileDirect("E:\\Sub\\b.txt"), sim::HostFileLost);
}

TEST(HostFolder, LinksAreLeftOutAndNamedAndNamesWindowsTakesAsOneRefused) {
  TempFolder temp;
  const fs::path disc = temp.path() / "disc";
  WriteText(disc / "Drivers" / "OVAUDIO.INF", "[Version]");
  fs::create_symlink(temp.path() / "outside.txt", disc / "out.txt");
  fs::create_symlink("loop2", disc / "loop1");
  fs::create_symlink("loop1", disc / "loop2");
  fs::create_directory_symlink("..", disc / "Drivers" / "Up");
  std::string error;
  std::shared_ptr<const sim::HostFolder> read = sim::HostFolder::Read(disc, error);
  ASSERT_TRUE(read) << error;
  EXPECT_EQ(read->Links(), (std::vector<std::string>{"Drivers\\Up", "loop1", "loop2", "out.txt"}));
  sim::SimMachine machine;
  ASSERT_TRUE(sim::MapHostFolder(machine, "D:", *read, true, error)) << error;
  EXPECT_EQ(machine.Files().ReadFileDirect("D:\\Drivers\\OVAUDIO.INF"), "[Version]");
  for (const char* link : {"D:\\out.txt", "D:\\loop1", "D:\\Drivers\\Up"}) {
    EXPECT_EQ(machine.Files().Find(link), nullptr) << link;
  }

  for (const char* name : {"Drivers/ovaudio.inf", "Drivers/OVAUDIO.INF. "}) {
    WriteText(disc / name, "x");
    EXPECT_FALSE(sim::HostFolder::Read(disc, error)) << name;
    EXPECT_NE(error.find("as one name"), std::string::npos) << error;
    fs::remove(disc / name);
  }
}

}  // namespace
