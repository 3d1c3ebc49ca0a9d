// The profile engine of the simulated machine: Windows' rules where the contract suite cannot
// show them (Wine differs), odd input, the integer conversion and the parse cache.
#include <gtest/gtest.h>

#include "platform/sim/ProfileDocument.h"
#include "platform/sim/SimMachine.h"

namespace {

using sim::ProfileDocument;

TEST(ProfileDocument, ANewKeyGoesAfterTheLastLineOfItsSection) {
  ProfileDocument document("[a]\r\nx=1\r\n\r\n[b]\r\ny=2");
  document.Set("a", "z", "3");
  document.Set("b", "w", "4");
  EXPECT_EQ(document.Text(), "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\nw=4\r\n");
}

TEST(ProfileDocument, ReplacingAValueKeepsTheRestOfItsLine) {
  ProfileDocument inSection("[s]\n Key1 =  old value \n");
  inSection.Set("S", "KEY1", "  new  ");
  EXPECT_EQ(inSection.Text(), "[s]\n Key1 =  new\n");
}

TEST(ProfileDocument, EveryKindOfLineEndIsALineEnd) {
  ProfileDocument document("[s]\rcr=1\rlf=2\ncrlf=3\r\n");
  EXPECT_EQ(document.Get("s", "cr"), "1");
  EXPECT_EQ(document.Get("s", "lf"), "2");
  EXPECT_EQ(document.Get("s", "crlf"), "3");
  document.Set("s", "lf", "9");
  EXPECT_EQ(document.Text(), "[s]\rcr=1\rlf=9\ncrlf=3\r\n");
}

TEST(ProfileDocument, DeletingKeepsOtherSectionsAndUnknownLines) {
  ProfileDocument document("junk line\r\n[rename]\r\nNUL=C:\\A\r\nNUL=C:\\B\r\n[other]\r\nk=v\r\n");
  document.DeleteKey("rename", "nul");
  EXPECT_EQ(document.Text(), "junk line\r\n[rename]\r\nNUL=C:\\B\r\n[other]\r\nk=v\r\n");
  document.DeleteSection("RENAME");
  EXPECT_EQ(document.Text(), "junk line\r\n[other]\r\nk=v\r\n");
  document.DeleteSection("absent");
  document.DeleteKey("absent", "k");
  EXPECT_EQ(document.Text(), "junk line\r\n[other]\r\nk=v\r\n");
}

TEST(ProfileDocument, BinaryGarbageAndHugeLinesAreHarmless) {
  std::string text("\x00\x01[s\xff\r\n", 7);
  text += std::string(1 << 20, 'A');
  text += "\n[s]\nkey=\x80\xfe\n[unclosed\nk=v";
  ProfileDocument document(text);
  EXPECT_EQ(document.Get("s", "key"), "\x80\xfe");
  EXPECT_EQ(document.Get("unclosed", "k"), "v");
  document.Set("s", "new", "1");
  EXPECT_EQ(document.Text().substr(0, text.size() - 20), text.substr(0, text.size() - 20));
  EXPECT_EQ(ProfileDocument(document.Text()).Get("s", "new"), "1");
}

// The malformed shapes below read as on Windows; Wine reads each of them differently (the
// differential test under Wine marks them as known Wine differences).
TEST(ProfileDocument, LinesBeforeTheFirstHeaderBelongToNoSection) {
  ProfileDocument withEmptySection("k=before\r\nx=1\r\n[]\r\nk=empty name\r\n[s]\r\nk=s\r\n");
  EXPECT_EQ(withEmptySection.Get("", "k"), "empty name");
  EXPECT_EQ(withEmptySection.Get(" ", "K"), "empty name");
  EXPECT_EQ(withEmptySection.Get("", "x"), std::nullopt);
  EXPECT_EQ(withEmptySection.Get("s", "k"), "s");

  ProfileDocument withoutEmptySection("k=before\n[s]\nother=1\n");
  EXPECT_EQ(withoutEmptySection.Get("", "k"), std::nullopt);
  EXPECT_EQ(withoutEmptySection.Get("s", "k"), std::nullopt);
}

TEST(ProfileDocument, AHeaderWithoutItsClosingBracketStillStartsASection) {
  ProfileDocument document("[a]\r\nk=1\r\n[Strings   \r\nk=2\r\nonly=here\r\n[ b=x\r\nk=3\r\n");
  EXPECT_EQ(document.Get("a", "k"), "1");
  EXPECT_EQ(document.Get("a", "only"), std::nullopt);
  EXPECT_EQ(document.Get("strings", "k"), "2");
  EXPECT_EQ(document.Get("Strings", "only"), "here");
  EXPECT_EQ(document.Get("b=x", "k"), "3");
}

TEST(ProfileDocument, ASectionNameEndsAtTheFirstClosingBracket) {
  ProfileDocument document("[Strings]]\r\nk=1\r\n[a] x]\r\nk=2\r\n[b]]]\r\nk=3\r\n");
  EXPECT_EQ(document.Get("Strings", "k"), "1");
  EXPECT_EQ(document.Get("Strings]", "k"), std::nullopt);
  EXPECT_EQ(document.Get("a", "k"), "2");
  EXPECT_EQ(document.Get("a] x", "k"), std::nullopt);
  EXPECT_EQ(document.Get("B", "k"), "3");
}

TEST(ProfileDocument, ANameAloneOnALineHidesNoLaterEntry) {
  ProfileDocument document("[s]\r\nk\r\n K = later\r\n[t]\r\n=no name\r\nn\r\n");
  EXPECT_EQ(document.Get("s", "k"), "later");
  EXPECT_EQ(document.Get("t", "n"), std::nullopt);
  EXPECT_EQ(document.Get("t", ""), "no name");
  auto entries = document.Entries("s");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].second, "later");
}

TEST(ProfileDocument, EntriesListASection) {
  ProfileDocument document("[Drives]\nC = drive_c\nD=\"disc\"\nnoequals\n[x]\nE=e\n");
  auto entries = document.Entries("drives");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0], (std::pair<std::string, std::string>{"C", "drive_c"}));
  EXPECT_EQ(entries[1], (std::pair<std::string, std::string>{"D", "disc"}));
}

TEST(ProfileTextToInt, ConvertsAsWindowsDoes) {
  struct Case {
    const char* text;
    std::uint32_t value;
  } cases[] = {{"12", 12},          {"12abc", 12},     {"  7", 7},
               {"-3", 4294967293u}, {"0x10", 16},      {"0x1F", 31},
               {"0X1f", 0},         {"0O17", 0},       {"0B101", 0},
               {"0o17", 15},        {"0b101", 5},      {"+5", 5},
               {"abc", 0},          {"0x", 0},         {"-", 0},
               {"4294967296", 0},   {"4294967297", 1}, {"99999999999", 1215752191u},
               {"0009", 9}};
  for (const Case& c : cases) {
    EXPECT_EQ(sim::ProfileTextToInt(c.text), c.value) << c.text;
  }
}

TEST(SimProfiles, AFileIsParsedOnceUntilItChanges) {
  sim::SimMachine machine;
  machine.Files().WriteFileDirect("C:\\DISC\\setup.ini", "[InstallOption]\r\nDriverOnly=1\r\n");
  auto& profiles = machine.Platform().profiles;
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(profiles.GetInt("InstallOption", "DriverOnly", 0, "C:\\DISC\\setup.ini"), 1u);
  }
  EXPECT_EQ(machine.Profiles().ParseCount(), 1u);
  ASSERT_TRUE(profiles.WriteString("InstallOption", "WebSetup", "2", "C:\\DISC\\setup.ini"));
  EXPECT_EQ(profiles.GetInt("InstallOption", "WebSetup", 0, "C:\\DISC\\setup.ini"), 2u);
  EXPECT_EQ(machine.Profiles().ParseCount(), 1u);

  // Replaced behind the profile functions' back: read afresh.
  machine.Files().WriteFileDirect("C:\\other.ini", "[InstallOption]\r\nDriverOnly=5\r\n");
  ASSERT_TRUE(machine.Files().CopyFile("C:\\other.ini", "C:\\DISC\\setup.ini", false));
  EXPECT_EQ(profiles.GetInt("InstallOption", "DriverOnly", 0, "C:\\DISC\\setup.ini"), 5u);
}

TEST(SimProfiles, AQuotedValueThatFillsTheBufferIsReadWhole) {
  sim::SimMachine machine;
  machine.Files().WriteFileDirect("C:\\q.ini", "[s]\r\nk='single'\r\nn=\"9\"\r\n");
  auto& profiles = machine.Platform().profiles;
  EXPECT_EQ(profiles.GetString("s", "k", "", 7, "C:\\q.ini"), "single");
  EXPECT_EQ(profiles.GetString("s", "k", "", 6, "C:\\q.ini"), "singl");
  EXPECT_EQ(profiles.GetString("s", "n", "", 2, "C:\\q.ini"), "9");
  EXPECT_EQ(profiles.GetString("s", "n", "", 1, "C:\\q.ini"), "");
}

TEST(SimProfiles, ARefusedWriteChangesNothing) {
  sim::SimMachine machine;
  machine.Files().WriteFileDirect("C:\\ro.ini", "[s]\r\nk=old\r\n", win::FILE_ATTRIBUTE_READONLY);
  auto& profiles = machine.Platform().profiles;
  EXPECT_EQ(profiles.GetString("s", "k", "", 260, "C:\\ro.ini"), "old");
  EXPECT_FALSE(profiles.WriteString("s", "k", "new", "C:\\ro.ini"));
  EXPECT_EQ(machine.GetLastError(), win::ERROR_ACCESS_DENIED);
  EXPECT_EQ(profiles.GetString("s", "k", "", 260, "C:\\ro.ini"), "old");
  EXPECT_EQ(machine.Files().ReadFileDirect("C:\\ro.ini"), "[s]\r\nk=old\r\n");
}

// A UTF-16 file whose byte order mark is followed by an odd number of bytes: the last byte is
// not read, the journal says so, and a write keeps every whole character.
TEST(SimProfiles, AUtf16FileWithAnOddByteCountIsReadWhereItCanBe) {
  sim::SimMachine machine(sim::WindowsVersion::WinXP);
  using namespace std::string_literals;
  const std::string file = "\xFF\xFE[\0s\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0z"s;
  machine.Files().WriteFileDirect("C:\\odd.inf", file);
  auto& profiles = machine.Platform().profiles;
  EXPECT_EQ(profiles.GetString("s", "k", "", 260, "C:\\odd.inf"), "v");
  ASSERT_EQ(machine.Journal().size(), 1u);
  EXPECT_EQ(machine.Journal()[0].text,
            "C:\\odd.inf is UTF-16 with an odd byte count: its last byte is not read");
  ASSERT_TRUE(profiles.WriteString("s", "n", "2", "C:\\odd.inf"));
  EXPECT_EQ(machine.Files().ReadFileDirect("C:\\odd.inf"),
            file.substr(0, file.size() - 1) + "n\0=\0002\0\r\0\n\0"s);
}

TEST(SimProfiles, WritesAreJournalledOnce) {
  sim::SimMachine machine;
  ASSERT_TRUE(
      machine.Platform().profiles.WriteString("CD PLAYER", "UsingCDDA", "0", "OVCDPLAY.INI"));
  ASSERT_EQ(machine.Journal().size(), 1u);
  EXPECT_EQ(machine.Journal()[0].category, "profile");
  EXPECT_EQ(machine.Journal()[0].text, "C:\\WINDOWS\\OVCDPLAY.INI [CD PLAYER] UsingCDDA=0");
}

}  // namespace
