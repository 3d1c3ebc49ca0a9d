// How profile (INI) files are read and written, wherever the launcher runs.
#include "tests/contract/ContractEnv.h"

namespace contract {
namespace {

// UTF-16 little-endian bytes of the text, after the byte order mark.
std::string Utf16File(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

class Profiles : public ContractTest {
 protected:
  std::string Get(const std::string& section, const std::string& name, const std::string& file,
                  std::uint32_t capacity = 260) {
    return p().profiles.GetString(section, name, "default", capacity, file);
  }
};

TEST_F(Profiles, ReadingFollowsTheWindowsRules) {
  const std::string file = dir + "read.ini";
  WriteRaw(file,
           "; comment\r\n"
           "[Section]\r\n"
           "  Spaced Key  =  spaced value  \r\n"
           "quoted=\"in quotes\"\r\n"
           "single='in single quotes'\r\n"
           "half=\"only one\r\n"
           "dup=first\r\n"
           "dup=second\r\n"
           "noequals\r\n"
           "comment=value ; not a comment\r\n"
           "empty=\r\n"
           "[ other ]\r\n"
           "key=other\r\n"
           "[section]\r\n"
           "late=in the second section of the same name\r\n");
  EXPECT_EQ(Get("section", "spaced key", file), "spaced value");
  EXPECT_EQ(Get("SECTION", "QUOTED", file), "in quotes");
  EXPECT_EQ(Get("Section", "single", file), "in single quotes");
  EXPECT_EQ(Get("Section", "half", file), "\"only one");
  EXPECT_EQ(Get("Section", "dup", file), "first");
  EXPECT_EQ(Get("Section", "noequals", file), "default");
  EXPECT_EQ(Get("Section", "comment", file), "value ; not a comment");
  EXPECT_EQ(Get("Section", "empty", file), "");
  EXPECT_EQ(Get("other", "key", file), "other");
  EXPECT_EQ(Get("Section", "late", file), "default");
  EXPECT_EQ(Get("Missing", "key", file), "default");
}

TEST_F(Profiles, ValuesAreCutToTheBuffer) {
  const std::string file = dir + "cut.ini";
  WriteRaw(file, "[s]\r\nkey=value1\r\n");
  EXPECT_EQ(Get("s", "key", file, 4), "val");
  EXPECT_EQ(Get("s", "key", file, 7), "value1");
  EXPECT_EQ(Get("s", "missing", file, 4), "def");
}

TEST_F(Profiles, MissingFileGivesTheDefaultWithoutTrailingBlanks) {
  EXPECT_EQ(p().profiles.GetString("s", "k", "default  ", 260, dir + "none.ini"), "default");
  EXPECT_EQ(p().profiles.GetInt("s", "k", 77, dir + "none.ini"), 77u);
}

TEST_F(Profiles, IntegersAreConvertedAsWindowsDoes) {
  const std::string file = dir + "int.ini";
  WriteRaw(file,
           "[n]\r\nplain=12\r\ntrailing=12abc\r\nblank= 7\r\nnegative=-3\r\nhex=0x10\r\n"
           "plus=+5\r\ntext=abc\r\nempty=\r\nquoted=\"9\"\r\nupperhex=0X10\r\n");
  EXPECT_EQ(p().profiles.GetInt("n", "plain", 1, file), 12u);
  EXPECT_EQ(p().profiles.GetInt("n", "trailing", 1, file), 12u);
  EXPECT_EQ(p().profiles.GetInt("n", "blank", 1, file), 7u);
  EXPECT_EQ(p().profiles.GetInt("n", "negative", 1, file), 4294967293u);
  EXPECT_EQ(p().profiles.GetInt("n", "hex", 1, file), 16u);
  EXPECT_EQ(p().profiles.GetInt("n", "plus", 1, file), 5u);
  EXPECT_EQ(p().profiles.GetInt("n", "text", 1, file), 0u);
  EXPECT_EQ(p().profiles.GetInt("n", "empty", 1, file), 1u);
  EXPECT_EQ(p().profiles.GetInt("n", "quoted", 1, file), 9u);
  EXPECT_EQ(p().profiles.GetInt("n", "missing", -1, file), 4294967295u);
  // The prefix is read in lower case only: "0X10" is the 0 before the "X".
  EXPECT_EQ(p().profiles.GetInt("n", "upperhex", 1, file), 0u);
}

TEST_F(Profiles, MalformedLinesAreReadAsWindowsReadsThem) {
  const std::string file = dir + "malformed.ini";
  WriteRaw(file,
           "before=first line\r\n"
           "[]\r\n"
           "before=empty name\r\n"
           "[Strings]]\r\n"
           "double=1\r\n"
           "[Unclosed   \r\n"
           "open=2\r\n"
           "[Names]\r\n"
           "alone\r\n"
           "alone=later\r\n"
           "quoted='single'\r\n");
  if (Env().wine) {
    // Known Wine differences: Wine keeps the lines before the first header in a section without
    // a name, ends a section name at its last "]", reads a header without "]" as a line of the
    // section before, lets a name alone on a line hide a later entry of that name, and drops the
    // last character of a quoted value that exactly fills the buffer.
    EXPECT_EQ(Get("", "before", file), "first line");
    EXPECT_EQ(Get("Strings", "double", file), "default");
    EXPECT_EQ(Get("Strings]", "double", file), "1");
    EXPECT_EQ(Get("Unclosed", "open", file), "default");
    EXPECT_EQ(Get("Strings]", "open", file), "2");
    EXPECT_EQ(Get("Names", "alone", file), "default");
    EXPECT_EQ(Get("Names", "quoted", file, 7), "singl");
  } else {
    EXPECT_EQ(Get("", "before", file), "empty name");
    EXPECT_EQ(Get("Strings", "double", file), "1");
    EXPECT_EQ(Get("Strings]", "double", file), "default");
    EXPECT_EQ(Get("Unclosed", "open", file), "2");
    EXPECT_EQ(Get("Strings", "open", file), "default");
    EXPECT_EQ(Get("Names", "alone", file), "later");
    EXPECT_EQ(Get("Names", "quoted", file, 7), "single");
  }
}

TEST_F(Profiles, WritingCreatesTheFileAndAppendsSections) {
  const std::string file = dir + "new.ini";
  ASSERT_TRUE(p().profiles.WriteString("App1", "key1", "string1", file));
  ASSERT_TRUE(p().profiles.WriteString("App1", "key2", "", file));
  ASSERT_TRUE(p().profiles.WriteString("App2", "key3", "string3", file));
  EXPECT_EQ(ReadRaw(file), "[App1]\r\nkey1=string1\r\nkey2=\r\n[App2]\r\nkey3=string3\r\n");
  EXPECT_EQ(Get("App1", "key2", file), "");

  ASSERT_TRUE(p().profiles.WriteString("App1", "key1", std::nullopt, file));
  EXPECT_EQ(ReadRaw(file), "[App1]\r\nkey2=\r\n[App2]\r\nkey3=string3\r\n");
  ASSERT_TRUE(p().profiles.WriteString("App1", std::nullopt, std::nullopt, file));
  EXPECT_EQ(ReadRaw(file), "[App2]\r\nkey3=string3\r\n");
}

TEST_F(Profiles, RewritingAKeyReplacesItsValueInPlace) {
  const std::string file = dir + "keep.ini";
  WriteRaw(file, "[Need_To_Reboot]\r\nInstall=NO\r\n[Other]\r\nx=1\r\n");
  ASSERT_TRUE(p().profiles.WriteString("need_to_reboot", "INSTALL", "YES", file));
  std::string text = ReadRaw(file);
  EXPECT_EQ(Get("Need_To_Reboot", "Install", file), "YES");
  EXPECT_EQ(text.find("NO"), std::string::npos);
  EXPECT_NE(text.find("[Other]\r\nx=1\r\n"), std::string::npos);
}

TEST_F(Profiles, OtherLinesAndLineEndsSurviveAWrite) {
  const std::string file = dir + "lines.ini";
  WriteRaw(file, "; header\n[s]\n key1 = value1 \nno equals here\n\n[t]\ny=2\n");
  ASSERT_TRUE(p().profiles.WriteString("s", "key2", "new", file));
  std::string text = ReadRaw(file);
  EXPECT_EQ(Get("s", "key1", file), "value1");
  EXPECT_EQ(Get("s", "key2", file), "new");
  EXPECT_EQ(Get("t", "y", file), "2");
  if (Env().wine) {
    // Known Wine difference: Wine rewrites the whole file, every line normalised and LF line
    // ends turned into CR LF; Windows changes only what the write is about.
    EXPECT_NE(text.find("key1=value1\r\n"), std::string::npos);
  } else {
    EXPECT_EQ(text, "; header\n[s]\n key1 = value1 \nno equals here\nkey2=new\r\n\n[t]\ny=2\n");
  }
}

TEST_F(Profiles, ABareFileNameMeansTheWindowsFolder) {
  std::string windows;
  ASSERT_GT(p().files.GetWindowsFolder(260, windows), 0u);
  const std::string name = "orvcontract.ini";
  ASSERT_TRUE(p().profiles.WriteString("s", "k", "v", name));
  EXPECT_EQ(ReadRaw(windows + "\\" + name), "[s]\r\nk=v\r\n");
  EXPECT_EQ(Get("s", "k", name), "v");
  EXPECT_TRUE(p().files.DeleteFile(windows + "\\" + name));
}

TEST_F(Profiles, WritingIntoAMissingFolderFails) {
  EXPECT_FALSE(p().profiles.WriteString("s", "k", "v", dir + "absent\\file.ini"));
  EXPECT_EQ(p().system.GetLastError(), win::ERROR_PATH_NOT_FOUND);
}

TEST_F(Profiles, TheNtFamilyReadsAndWritesUtf16Files) {
  // A driver disc's INF may be UTF-16. The NT family reads a file that starts with the UTF-16
  // byte order mark as Unicode: the ANSI calls get its texts in the ANSI code page, "?" for a
  // character the code page lacks, and a write keeps the file UTF-16 and every other line as it
  // was. Windows 9x reads the bytes: no section name is found among the zeros.
  const std::string file = dir + "unicode.inf";
  const std::string text =
      Utf16File(u"[Strings]\r\nName=Caf\u00E9 \u0416\r\n[SourceDisksNames]\r\n200=\"Disk\",,,\r\n");
  WriteRaw(file, text);
  if (!NtFamily() && !Env().wine) {
    EXPECT_EQ(Get("Strings", "Name", file), "default");
    EXPECT_EQ(Get("SourceDisksNames", "200", file), "default");
    return;
  }
  // Known Wine difference: Wine reads UTF-16 files also when it reports Windows 9x; there a
  // UTF-16 INF yields no entry, and the launcher leaves it unchanged.
  EXPECT_EQ(Get("Strings", "Name", file), "Caf\xE9 ?");
  EXPECT_EQ(Get("SourceDisksNames", "200", file), "\"Disk\",,,");
  ASSERT_TRUE(p().profiles.WriteString("SourceDisksNames", "200", "\"Disk\",,,C:\\PROGRA~1", file));
  EXPECT_EQ(ReadRaw(file), Utf16File(u"[Strings]\r\nName=Caf\u00E9 \u0416\r\n[SourceDisksNames]\r\n"
                                     u"200=\"Disk\",,,C:\\PROGRA~1\r\n"));
  EXPECT_EQ(Get("SourceDisksNames", "200", file), "\"Disk\",,,C:\\PROGRA~1");

  // A byte after the last whole character is not read; the file stays readable.
  const std::string odd = dir + "odd.inf";
  WriteRaw(odd, Utf16File(u"[s]\r\nkey=value\r\n") + "x");
  EXPECT_EQ(Get("s", "key", odd), "value");
  ASSERT_TRUE(p().profiles.WriteString("s", "added", "1", odd));
  EXPECT_EQ(Get("s", "key", odd), "value");
  EXPECT_EQ(Get("s", "added", odd), "1");
}

TEST_F(Profiles, AUtf8ByteOrderMarkBelongsToTheFirstLine) {
  // Neither family knows a UTF-8 byte order mark: its bytes stand before the first header,
  // which is then no header, and that section is not found.
  const std::string file = dir + "utf8.ini";
  WriteRaw(file, "\xEF\xBB\xBF[first]\r\nkey=one\r\n[second]\r\nkey=two\r\n");
  EXPECT_EQ(Get("second", "key", file), "two");
  if (Env().wine) {
    // Known Wine difference: Wine reads a file with a UTF-8 byte order mark as UTF-8 and finds
    // the first section; on Windows a disc file saved so loses its first section.
    EXPECT_EQ(Get("first", "key", file), "one");
  } else {
    EXPECT_EQ(Get("first", "key", file), "default");
  }
}

TEST_F(Profiles, WindowsNineXReadsOnlyTheFirst64KilobytesOfAFile) {
  // Windows 9x reads a profile file into one 64 KB segment: what lies beyond is not there for
  // it, and it writes nothing into such a file (it would lose the rest). The NT family reads
  // and writes any size.
  const std::string file = dir + "large.inf";
  std::string text = "[first]\r\nkey=early\r\n[padding]\r\n";
  while (text.size() < 70000) {
    text += "line" + std::to_string(text.size()) + "=" + std::string(60, 'p') + "\r\n";
  }
  text += "[late]\r\nkey=beyond 64 KB\r\n";
  WriteRaw(file, text);
  EXPECT_EQ(Get("first", "key", file), "early");
  bool written = p().profiles.WriteString("first", "key", "changed", file);
  if (NtFamily()) {
    EXPECT_EQ(Get("late", "key", file), "beyond 64 KB");
    EXPECT_TRUE(written);
  } else if (Env().wine) {
    // Known Wine difference: Wine reads and writes profile files of any size on every version
    // it reports; Windows 9x finds no key beyond the first 64 KB of an INF.
    EXPECT_EQ(Get("late", "key", file), "beyond 64 KB");
    EXPECT_TRUE(written);
  } else {
    EXPECT_EQ(Get("late", "key", file), "default");
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadRaw(file), text);
  }
}

TEST_F(Profiles, BrokenFilesAreReadSafely) {
  const std::string file = dir + "broken.ini";
  std::string garbage("\x00\xff\xfe[s\x01]\x00\r\n", 10);
  std::string longLine(5000, 'x');
  WriteRaw(file, garbage + longLine + "\r\n[s]\r\nkey=value\r\nlast=no final line end");
  EXPECT_EQ(Get("s", "key", file), "value");
  EXPECT_EQ(Get("s", "last", file), "no final line end");
  ASSERT_TRUE(p().profiles.WriteString("s", "added", "1", file));
  EXPECT_EQ(Get("s", "added", file), "1");
  EXPECT_EQ(Get("s", "last", file), "no final line end");

  const std::string lf = dir + "lf.ini";
  WriteRaw(lf, "[s]\nkey=lf\n");
  EXPECT_EQ(Get("s", "key", lf), "lf");
}

}  // namespace
}  // namespace contract
