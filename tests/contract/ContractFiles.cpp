// How files and folders behave, wherever the launcher runs.
#include <algorithm>
#include <set>

#include "tests/FoundNames.h"
#include "tests/contract/ContractEnv.h"

namespace contract {
namespace {

class Files : public ContractTest {
 protected:
  std::set<std::string> FindAll(const std::string& pattern) {
    return testsupport::FindAll(p().files, pattern);
  }
};

TEST_F(Files, FoldersAreCreatedOnce) {
  EXPECT_TRUE(p().files.CreateFolder(dir + "New"));
  EXPECT_FALSE(p().files.CreateFolder(dir + "new"));
  EXPECT_EQ(p().system.GetLastError(), win::ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(p().files.CreateFolder(dir + "Missing\\Child"));
  EXPECT_EQ(p().system.GetLastError(), win::ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(p().files.GetAttributes(dir + "NEW") & win::FILE_ATTRIBUTE_DIRECTORY,
            win::FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(Files, TheFolderTestChangesTheCurrentDirectory) {
  ASSERT_TRUE(p().files.CreateFolder(dir + "Probe"));
  WriteRaw(dir + "file.txt", "x");
  ASSERT_TRUE(p().files.SetCurrentFolder(dir + "Probe"));
  std::string current;
  ASSERT_GT(p().files.GetCurrentFolder(260, current), 0u);
  EXPECT_EQ(current, dir + "Probe");

  EXPECT_FALSE(p().files.SetCurrentFolder(dir + "Absent"));
  EXPECT_EQ(p().system.GetLastError(), win::ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(p().files.SetCurrentFolder(dir + "file.txt"));
  EXPECT_EQ(p().system.GetLastError(), win::ERROR_DIRECTORY);
  p().files.GetCurrentFolder(260, current);
  EXPECT_EQ(current, dir + "Probe");

  // A buffer too small leaves the text alone and asks for the size with its terminating zero.
  std::string small = "untouched";
  EXPECT_EQ(p().files.GetCurrentFolder(4, small), current.size() + 1);
  EXPECT_EQ(small, "untouched");
  ASSERT_TRUE(p().files.SetCurrentFolder(dir));
}

TEST_F(Files, FullPathsAreCompletedWithoutLookingForTheFile) {
  auto full = [this](const std::string& path) {
    std::string result;
    std::uint32_t length = p().files.GetFullPath(path, 260, result);
    return length > 0 && length < 260 ? result : "(failed: " + std::to_string(length) + ")";
  };
  // Absolute paths: "." and ".." taken out, a final backslash kept, trailing dots and blanks of
  // the last name dropped; nothing needs to exist.
  EXPECT_EQ(full(dir + "a\\..\\b\\.\\absent.sys"), dir + "b\\absent.sys");
  EXPECT_EQ(full(dir + "Sub\\"), dir + "Sub\\");
  EXPECT_EQ(full(dir + "name. "), dir + "name");
  EXPECT_EQ(full(dir + "folder.\\name"), dir + "folder\\name");  // a folder loses one dot
  EXPECT_EQ(full(dir + "a\\b\\.."), dir + "a");
  EXPECT_EQ(full(dir + "a\\\\b\\."), dir + "a\\b");
  EXPECT_EQ(full(dir + "a\\..."), dir + "a\\");
  EXPECT_EQ(full(dir + "bad<name|*.inf"), dir + "bad<name|*.inf");  // names are not checked

  // Relative paths against the current directory; a drive-relative path against it when it is
  // on that drive ("D:.\\" when setup is started as "setup" in a command prompt on D:), else
  // against the root of that drive (Q: is no drive of any test machine).
  ASSERT_TRUE(p().files.SetCurrentFolder(dir));
  const std::string drive = dir.substr(0, 2);
  std::string leaf = dir.substr(0, dir.size() - 1);
  leaf = leaf.substr(leaf.rfind('\\') + 1);
  EXPECT_EQ(full("x\\y.sys"), dir + "x\\y.sys");
  EXPECT_EQ(full(".\\"), dir);
  EXPECT_EQ(full("..\\" + leaf + "\\z.sys"), dir + "z.sys");
  EXPECT_EQ(full(drive + ".\\orvainfo.sys"), dir + "orvainfo.sys");
  EXPECT_EQ(full(drive + "orvainfo.sys"), dir + "orvainfo.sys");
  EXPECT_EQ(full("\\orvainfo.sys"), drive + "\\orvainfo.sys");
  EXPECT_EQ(full("Q:x\\y.sys"), "Q:\\x\\y.sys");

  // A UNC path keeps its server and share, whether they exist or not.
  EXPECT_EQ(full("\\\\server\\share\\a\\..\\b.sys"), "\\\\server\\share\\b.sys");
  EXPECT_EQ(full("//server/share/dir/"), "\\\\server\\share\\dir\\");

  // The buffer rule: too small asks for the size with the zero and leaves the text alone.
  const std::string expected = dir + "x\\y.sys";
  const auto size = static_cast<std::uint32_t>(expected.size());
  std::string result = "untouched";
  EXPECT_EQ(p().files.GetFullPath("x\\y.sys", size, result), size + 1);
  EXPECT_EQ(result, "untouched");
  EXPECT_EQ(p().files.GetFullPath("x\\y.sys", size + 1, result), size);
  EXPECT_EQ(result, expected);
  EXPECT_EQ(p().files.GetFullPath("", 260, result), 0u);
}

TEST_F(Files, CopyOverwritesUnlessToldNot) {
  WriteRaw(dir + "a.txt", "first");
  WriteRaw(dir + "b.txt", "second");
  EXPECT_FALSE(p().files.CopyFile(dir + "a.txt", dir + "b.txt", true));
  EXPECT_EQ(p().system.GetLastError(), win::ERROR_FILE_EXISTS);
  EXPECT_EQ(ReadRaw(dir + "b.txt"), "second");
  EXPECT_TRUE(p().files.CopyFile(dir + "a.txt", dir + "B.TXT", false));
  EXPECT_EQ(ReadRaw(dir + "b.txt"), "first");
  EXPECT_FALSE(p().files.CopyFile(dir + "none.txt", dir + "c.txt", false));
  EXPECT_EQ(p().system.GetLastError(), win::ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(p().files.CopyFile(dir + "a.txt", dir + "absent\\c.txt", false));
  EXPECT_EQ(p().system.GetLastError(), win::ERROR_PATH_NOT_FOUND);
}

TEST_F(Files, NormalAttributesClearTheOthers) {
  WriteRaw(dir + "n.txt", "x");
  const std::uint32_t kept = win::FILE_ATTRIBUTE_READONLY | win::FILE_ATTRIBUTE_ARCHIVE;
  ASSERT_TRUE(p().files.SetAttributes(dir + "n.txt", kept));
  EXPECT_EQ(p().files.GetAttributes(dir + "n.txt"), kept);
  ASSERT_TRUE(p().files.SetAttributes(dir + "n.txt", win::FILE_ATTRIBUTE_NORMAL));
  if (Env().wine) {
    // Known Wine difference: Wine reports the archive attribute on every file, also right after
    // SetFileAttributesA(FILE_ATTRIBUTE_NORMAL); Windows clears it and reports
    // FILE_ATTRIBUTE_NORMAL. A file whose attributes were reset reads as changed again under
    // Wine, and the journal of a run (platform/journal) says so once more than on Windows.
    EXPECT_EQ(p().files.GetAttributes(dir + "n.txt"), win::FILE_ATTRIBUTE_ARCHIVE);
  } else {
    EXPECT_EQ(p().files.GetAttributes(dir + "n.txt"), win::FILE_ATTRIBUTE_NORMAL);
  }
  EXPECT_TRUE(p().files.DeleteFile(dir + "n.txt"));
}

TEST_F(Files, ReadOnlyFilesRefuseOverwriteAndDeletion) {
  WriteRaw(dir + "ro.txt", "kept");
  WriteRaw(dir + "src.txt", "new");
  ASSERT_TRUE(p().files.SetAttributes(dir + "ro.txt", win::FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(p().files.GetAttributes(dir + "ro.txt") & win::FILE_ATTRIBUTE_READONLY,
            win::FILE_ATTRIBUTE_READONLY);
  if (Env().wine) {
    // Known Wine difference: Wine's CopyFileA replaces a read-only target; Windows refuses with
    // ERROR_ACCESS_DENIED, which is why installers reset a target's attributes before copying.
    EXPECT_TRUE(p().files.CopyFile(dir + "src.txt", dir + "ro.txt", false));
    WriteRaw(dir + "src.txt", "kept");
    ASSERT_TRUE(p().files.SetAttributes(dir + "ro.txt", win::FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(p().files.CopyFile(dir + "src.txt", dir + "ro.txt", false));
    ASSERT_TRUE(p().files.SetAttributes(dir + "ro.txt", win::FILE_ATTRIBUTE_READONLY));
  } else {
    EXPECT_FALSE(p().files.CopyFile(dir + "src.txt", dir + "ro.txt", false));
    EXPECT_EQ(p().system.GetLastError(), win::ERROR_ACCESS_DENIED);
  }
  EXPECT_FALSE(p().files.DeleteFile(dir + "ro.txt"));
  EXPECT_EQ(p().system.GetLastError(), win::ERROR_ACCESS_DENIED);
  EXPECT_EQ(ReadRaw(dir + "ro.txt"), "kept");

  // The copy of a read-only file is read-only too: that is why installers reset attributes.
  ASSERT_TRUE(p().files.CopyFile(dir + "ro.txt", dir + "copy.txt", false));
  EXPECT_EQ(p().files.GetAttributes(dir + "copy.txt") & win::FILE_ATTRIBUTE_READONLY,
            win::FILE_ATTRIBUTE_READONLY);

  for (const char* name : {"ro.txt", "copy.txt"}) {
    ASSERT_TRUE(p().files.SetAttributes(dir + name, win::FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(p().files.DeleteFile(dir + name)) << name;
  }
  EXPECT_EQ(p().files.GetAttributes(dir + "ro.txt"), win::INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(p().files.DeleteFile(dir + "ro.txt"));
  EXPECT_EQ(p().system.GetLastError(), win::ERROR_FILE_NOT_FOUND);
}

TEST_F(Files, HiddenAndSystemFilesRefuseToBeCopiedOver) {
  // CopyFileA creates its target with the source's attributes; Windows refuses to do that over a
  // file that is hidden or a system file (CopyFile's and CreateFile's documentation), as over a
  // read-only one: installers reset the target's attributes before they copy.
  WriteRaw(dir + "src.txt", "new");
  for (std::uint32_t attribute : {win::FILE_ATTRIBUTE_HIDDEN, win::FILE_ATTRIBUTE_SYSTEM}) {
    WriteRaw(dir + "target.txt", "kept");
    ASSERT_TRUE(p().files.SetAttributes(dir + "target.txt", attribute));
    ASSERT_EQ(p().files.GetAttributes(dir + "target.txt") & attribute, attribute) << attribute;
    if (Env().wine) {
      // Known Wine difference: Wine's CopyFileA replaces a hidden or system target as it
      // replaces a read-only one. A launcher that forgets to reset the attributes works under
      // Wine and fails on Windows.
      EXPECT_TRUE(p().files.CopyFile(dir + "src.txt", dir + "target.txt", false)) << attribute;
      EXPECT_EQ(ReadRaw(dir + "target.txt"), "new") << attribute;
      continue;
    }
    EXPECT_FALSE(p().files.CopyFile(dir + "src.txt", dir + "target.txt", false)) << attribute;
    EXPECT_EQ(p().system.GetLastError(), win::ERROR_ACCESS_DENIED) << attribute;
    EXPECT_EQ(ReadRaw(dir + "target.txt"), "kept") << attribute;
    ASSERT_TRUE(p().files.SetAttributes(dir + "target.txt", win::FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(p().files.CopyFile(dir + "src.txt", dir + "target.txt", false)) << attribute;
    EXPECT_EQ(ReadRaw(dir + "target.txt"), "new") << attribute;
  }
}

TEST_F(Files, AnOpenFileRefusesDeletion) {
  WriteRaw(dir + "busy.dll", "code");
  {
    std::unique_ptr<platform::Stream> holder = p().files.OpenStream(dir + "busy.dll", "rb");
    ASSERT_TRUE(holder);
    EXPECT_FALSE(p().files.DeleteFile(dir + "busy.dll"));
    EXPECT_EQ(p().system.GetLastError(), win::ERROR_SHARING_VIOLATION);
  }
  EXPECT_TRUE(p().files.DeleteFile(dir + "busy.dll"));
}

TEST_F(Files, NamesIgnoreCaseAndKeepIt) {
  WriteRaw(dir + "MixedCase.Txt", "x");
  EXPECT_EQ(ReadRaw(dir + "mixedcase.TXT"), "x");
  EXPECT_EQ(FindAll(dir + "*.*"), (std::set<std::string>{".", "..", "MixedCase.Txt"}));
}

TEST_F(Files, WildcardSearches) {
  for (const char* name : {"a.inf", "B.INF", "c.inx", "oemsetup.inf", "OEM1.INF"}) {
    WriteRaw(dir + name, "x");
  }
  ASSERT_TRUE(p().files.CreateFolder(dir + "Sub.inf"));
  EXPECT_EQ(FindAll(dir + "*.INF"),
            (std::set<std::string>{"a.inf", "B.INF", "oemsetup.inf", "OEM1.INF", "Sub.inf"}));
  EXPECT_EQ(FindAll(dir + "oem*.INF"), (std::set<std::string>{"oemsetup.inf", "OEM1.INF"}));
  EXPECT_EQ(FindAll(dir + "c.inx"), (std::set<std::string>{"c.inx"}));

  platform::FindData data;
  EXPECT_TRUE(p().files.FindFirst(dir + "*.cab", data).IsNull());
  EXPECT_EQ(p().system.GetLastError(), win::ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(p().files.FindFirst(dir + "absent\\*.*", data).IsNull());
  EXPECT_EQ(p().system.GetLastError(), win::ERROR_PATH_NOT_FOUND);

  platform::FindHandle handle = p().files.FindFirst(dir + "Sub.inf", data);
  ASSERT_FALSE(handle.IsNull());
  EXPECT_EQ(data.attributes & win::FILE_ATTRIBUTE_DIRECTORY, win::FILE_ATTRIBUTE_DIRECTORY);
  p().files.FindClose(handle);
}

TEST_F(Files, ShortNamesAreEightDotThreeAndLeadToTheSameFile) {
  ASSERT_TRUE(p().files.CreateFolder(dir + "Long Folder Name"));
  const std::string longPath = dir + "Long Folder Name\\File With Blanks.text";
  WriteRaw(longPath, "content");
  std::string shortPath;
  std::uint32_t length = p().files.GetShortPath(longPath, 260, shortPath);
  ASSERT_GT(length, 0u);
  ASSERT_EQ(length, shortPath.size());
  // Only the part below the test folder is checked: the folders above may have long names.
  std::string shortDir;
  ASSERT_GT(p().files.GetShortPath(dir, 260, shortDir), 0u);
  ASSERT_EQ(shortPath.compare(0, shortDir.size(), shortDir), 0) << shortPath;
  std::string tail = shortPath.substr(shortDir.size());
  EXPECT_EQ(tail.find(' '), std::string::npos) << tail;
  std::size_t slash = tail.find('\\');
  ASSERT_NE(slash, std::string::npos);
  for (const std::string& part : {tail.substr(0, slash), tail.substr(slash + 1)}) {
    std::size_t dot = part.find('.');
    EXPECT_LE(part.substr(0, dot).size(), 8u) << part;
    EXPECT_LE(dot == std::string::npos ? 0 : part.size() - dot - 1, 3u) << part;
  }
  EXPECT_EQ(ReadRaw(shortPath), "content");

  std::string untouched = "untouched";
  EXPECT_EQ(p().files.GetShortPath(longPath, 5, untouched), length + 1);
  EXPECT_EQ(untouched, "untouched");
  EXPECT_EQ(p().files.GetShortPath(dir + "absent\\x", 260, untouched), 0u);
}

TEST_F(Files, PathsLongerThanMaxPathAreRefused) {
  std::string longName(300, 'n');
  EXPECT_FALSE(p().files.CreateFolder(dir + longName));
  EXPECT_EQ(p().system.GetLastError(), win::ERROR_FILENAME_EXCED_RANGE);
  WriteRaw(dir + "a.txt", "x");
  EXPECT_FALSE(p().files.CopyFile(dir + "a.txt", dir + longName, false));
  EXPECT_FALSE(p().files.SetCurrentFolder(dir + longName));
  EXPECT_EQ(p().files.GetAttributes(dir + longName), win::INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(p().files.OpenStream(dir + longName, "rb"));
}

TEST_F(Files, TextStreamsReadLinesAndCountRealBytes) {
  const std::string file = dir + "text.inf";
  WriteRaw(file, "[CONFIG1.AddReg]\r\nHKR,x\r\nlast");
  std::unique_ptr<platform::Stream> stream = p().files.OpenStream(file, "r+");
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->GetLine(1024), std::optional<std::string>("[CONFIG1.AddReg]\n"));
  EXPECT_EQ(stream->Tell(), 18);
  EXPECT_EQ(stream->GetLine(4), std::optional<std::string>("HKR"));
  EXPECT_EQ(stream->GetLine(1024), std::optional<std::string>(",x\n"));
  // Overwrite one byte in place: the file keeps its length.
  ASSERT_TRUE(stream->Seek(-3, platform::SeekOrigin::Current));
  EXPECT_EQ(stream->Write("y", 1), 1u);
  ASSERT_TRUE(stream->Flush());
  ASSERT_TRUE(stream->Seek(0, platform::SeekOrigin::End));
  EXPECT_EQ(stream->GetLine(1024), std::nullopt);
  stream.reset();
  EXPECT_EQ(ReadRaw(file), "[CONFIG1.AddReg]\r\nHKR,y\r\nlast");

  EXPECT_FALSE(p().files.OpenStream(dir + "absent.inf", "rb"));
  EXPECT_FALSE(p().files.OpenStream(dir + "absent.inf", "r+"));
}

TEST_F(Files, BinaryStreamsKeepEveryByteAndPosition) {
  // Bare line feeds and a zero byte: in binary mode every position is the byte's own.
  const std::string file = dir + "lf.inf";
  const std::string content = std::string("a\nb", 3) + std::string(1, '\0') + "c\nlast";
  WriteRaw(file, content);
  std::unique_ptr<platform::Stream> stream = p().files.OpenStream(file, "r+b");
  ASSERT_TRUE(stream);
  EXPECT_EQ(stream->GetLine(1024), std::optional<std::string>("a\n"));
  EXPECT_EQ(stream->Tell(), 2);
  EXPECT_EQ(stream->GetLine(1024), std::optional<std::string>(std::string("b\0c\n", 4)));
  EXPECT_EQ(stream->Tell(), 6);
  ASSERT_TRUE(stream->Seek(0, platform::SeekOrigin::Begin));
  std::vector<std::uint8_t> bytes = stream->Read(100);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), content);
  ASSERT_TRUE(stream->Seek(6, platform::SeekOrigin::Begin));
  EXPECT_EQ(stream->Write("L", 1), 1u);
  ASSERT_TRUE(stream->Flush());
  stream.reset();
  EXPECT_EQ(ReadRaw(file), std::string("a\nb", 3) + std::string(1, '\0') + "c\nLast");
}

TEST_F(Files, AnUpdateStreamIsPositionedBetweenReadingAndWriting) {
  // C leaves a write right after a read undefined unless a seek comes between: the Microsoft
  // runtime's stream is then still reading, and the byte never reaches the file.
  const std::string file = dir + "update.inf";
  WriteRaw(file, "first\r\nsecond\r\n");
  {
    std::unique_ptr<platform::Stream> stream = p().files.OpenStream(file, "r+");
    ASSERT_TRUE(stream);
    ASSERT_EQ(stream->GetLine(1024), std::optional<std::string>("first\n"));
    stream->Write("X", 1);
  }
  EXPECT_EQ(ReadRaw(file), "first\r\nsecond\r\n");
  {
    std::unique_ptr<platform::Stream> stream = p().files.OpenStream(file, "r+");
    ASSERT_TRUE(stream);
    ASSERT_EQ(stream->GetLine(1024), std::optional<std::string>("first\n"));
    ASSERT_TRUE(stream->Seek(0, platform::SeekOrigin::Current));
    EXPECT_EQ(stream->Write("X", 1), 1u);
    // Flushed, the stream may read again.
    ASSERT_TRUE(stream->Flush());
    EXPECT_EQ(stream->GetLine(1024), std::optional<std::string>("econd\n"));
    // A read that reached the end may be followed by a write: it appends.
    EXPECT_EQ(stream->GetLine(1024), std::nullopt);
    EXPECT_EQ(stream->Write("+", 1), 1u);
  }
  EXPECT_EQ(ReadRaw(file), "first\r\nXecond\r\n+");
}

TEST_F(Files, TextStreamsWriteNewlinesAsCrLf) {
  const std::string file = dir + "out.txt";
  {
    std::unique_ptr<platform::Stream> stream = p().files.OpenStream(file, "w");
    ASSERT_TRUE(stream);
    stream->Write("a\nb\n", 4);
  }
  EXPECT_EQ(ReadRaw(file), "a\r\nb\r\n");
}

TEST_F(Files, DelayedMovesWaitForTheNextStart) {
  WriteRaw(dir + "old.sys", "old");
  WriteRaw(dir + "new.tmp", "new");
  WriteRaw(dir + "other.tmp", "other");
  platform::OsVersion os;
  ASSERT_TRUE(p().system.GetVersion(os));
  if (os.platformId != win::VER_PLATFORM_WIN32_NT && !Env().wine) {
    EXPECT_FALSE(
        p().files.MoveFile(dir + "old.sys", std::nullopt, win::MOVEFILE_DELAY_UNTIL_REBOOT));
    EXPECT_EQ(p().system.GetLastError(), win::ERROR_CALL_NOT_IMPLEMENTED);
    return;
  }
  // Known Wine difference: Wine schedules delayed moves whatever version it reports; Windows 9x
  // has no MoveFileExA (its programs write WININIT.INI), and the launcher uses it on NT only.
  // MoveFileExA writes the session manager's list itself: a user who may not write its key
  // (no administrator) is refused, and nothing is scheduled.
  const std::string sessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
  platform::RegKey session;
  bool writable = p().registry.OpenKey(win::HKEY_LOCAL_MACHINE, sessionManager,
                                       win::KEY_QUERY_VALUE | win::KEY_SET_VALUE, session) == 0;
  bool ok = p().files.MoveFile(dir + "old.sys", std::nullopt, win::MOVEFILE_DELAY_UNTIL_REBOOT);
  if (!writable) {
    EXPECT_FALSE(ok);
    EXPECT_EQ(p().system.GetLastError(), win::ERROR_ACCESS_DENIED);
    return;
  }
  EXPECT_TRUE(ok);
  EXPECT_TRUE(
      p().files.MoveFile(dir + "new.tmp", dir + "old.sys", win::MOVEFILE_DELAY_UNTIL_REBOOT));
  EXPECT_TRUE(
      p().files.MoveFile(dir + "other.tmp", dir + "kept.sys",
                         win::MOVEFILE_DELAY_UNTIL_REBOOT | win::MOVEFILE_REPLACE_EXISTING));
  // Nothing moves before the restart.
  EXPECT_EQ(ReadRaw(dir + "old.sys"), "old");
  EXPECT_EQ(ReadRaw(dir + "new.tmp"), "new");
  platform::RegData data;
  ASSERT_EQ(p().registry.QueryValue(session, "PendingFileRenameOperations", 1 << 20, data), 0);
  EXPECT_EQ(data.type, win::REG_MULTI_SZ);
  // Pairs of NT paths: a deletion has an empty target, and only a target that may be replaced
  // is marked with "!" (the session manager leaves an existing target and its source alone).
  std::vector<std::string> strings;
  std::string current;
  for (std::uint8_t byte : data.bytes) {
    if (byte == 0) {
      strings.push_back(current);
      current.clear();
    } else {
      current += static_cast<char>(byte);
    }
  }
  const std::string nt = "\\??\\" + dir;
  std::vector<std::string> ours;
  for (std::size_t i = 0; i + 1 < strings.size(); i += 2) {
    if (strings[i].rfind(nt, 0) == 0) {
      ours.push_back(strings[i].substr(nt.size()) + " -> " + strings[i + 1]);
    }
  }
  EXPECT_EQ(ours, (std::vector<std::string>{"old.sys -> ", "new.tmp -> " + nt + "old.sys",
                                            "other.tmp -> !" + nt + "kept.sys"}));
  // Leave the machine as it was.
  p().registry.DeleteValue(session, "PendingFileRenameOperations");
  p().registry.CloseKey(session);
}

TEST_F(Files, WindowsFolderExistsWithoutTrailingBackslash) {
  std::string windows;
  std::uint32_t length = p().files.GetWindowsFolder(260, windows);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(length, windows.size());
  EXPECT_NE(windows.back(), '\\');
  EXPECT_NE(p().files.GetAttributes(windows) & win::FILE_ATTRIBUTE_DIRECTORY, 0u);
}

}  // namespace
}  // namespace contract
