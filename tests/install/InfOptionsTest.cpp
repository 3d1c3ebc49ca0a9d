// The jack and port choices written into an INF file: the two digits, where they land, and
// that nothing else of the file changes.
#include "install/InfOptions.h"
#include "tests/install/InstallFixture.h"

namespace installtest {
namespace {

constexpr const char* kFile = "C:\\Program Files\\Orvanta\\WIN_ME\\OVAUDIO.INF";

// The digit sits at the 49th character of its line.
const std::string kLegacy = "HKR,\"Settings\",\"EnableLegacy\",0x00010001,00000007";
const std::string kJacks = "HKR,\"Settings\",\"JackConfig\",0x00010001,0x00000001";

std::string Inf(const std::string& eol) {
  return "[Version]" + eol + "Signature=\"$CHICAGO$\"" + eol + eol + "[CONFIG1.AddReg]" + eol +
         kLegacy + eol + kJacks + eol + eol + "[Strings]" + eol + "Name=\"x\"" + eol;
}

install::JackOptions Options(int rear, int center, int mic, int game, int midi) {
  return install::JackOptions{rear, center, mic, game, midi};
}

class InfOptions : public InstallTest {
 protected:
  std::string Patch(const std::string& content, const install::JackOptions& options) {
    machine.Files().WriteFileDirect(kFile, content);
    install::PatchInfOptions(machine.Platform(), kFile, options);
    return Read(kFile);
  }
  // `content` with the byte at `at` of the line holding `line` replaced by `digit`.
  static std::string With(std::string content, const std::string& line, char digit) {
    content[content.find(line) + 48] = digit;
    return content;
  }
};

TEST_F(InfOptions, TheDigitsOfEveryChoice) {
  // The dialog's defaults: line-in shares the rear jack, both ports enabled.
  EXPECT_EQ(install::EnableLegacyDigit(Options(1, 0, 0, 1, 1)), '7');
  EXPECT_EQ(install::JackConfigDigit(Options(1, 0, 0, 1, 1)), '1');
  // The sound card with both ports disabled.
  EXPECT_EQ(install::EnableLegacyDigit(Options(0, 0, 0, 0, 0)), '2');
  EXPECT_EQ(install::JackConfigDigit(Options(0, 0, 0, 0, 0)), '0');
  EXPECT_EQ(install::EnableLegacyDigit(Options(0, 0, 0, 1, 0)), '3');
  EXPECT_EQ(install::EnableLegacyDigit(Options(0, 0, 0, 0, 1)), '6');
  EXPECT_EQ(install::JackConfigDigit(Options(0, 1, 1, 0, 0)), '6');
  EXPECT_EQ(install::JackConfigDigit(Options(1, 1, 1, 0, 0)), '7');
}

TEST_F(InfOptions, OnlyTheTwoDigitsChange) {
  for (const std::string eol : {"\r\n", "\n"}) {
    const std::string before = Inf(eol);
    std::string after = Patch(before, Options(0, 1, 1, 0, 0));
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(after, With(With(before, kLegacy, '2'), kJacks, '6')) << "line end " << eol.size();
    // Patching again changes nothing more.
    install::PatchInfOptions(machine.Platform(), kFile, Options(0, 1, 1, 0, 0));
    EXPECT_EQ(Read(kFile), after);
  }
  EXPECT_EQ(Journal("wait"), (std::vector<std::string>{"100 ms", "100 ms", "100 ms", "100 ms"}));
}

TEST_F(InfOptions, EachValueOnItsOwn) {
  const std::string noLegacy = "[CONFIG1.AddReg]\r\n" + kJacks + "\r\n";
  EXPECT_EQ(Patch(noLegacy, Options(0, 0, 1, 1, 1)), With(noLegacy, kJacks, '4'));
  const std::string noJacks = "[CONFIG1.AddReg]\r\n" + kLegacy + "\r\n";
  EXPECT_EQ(Patch(noJacks, Options(0, 0, 1, 1, 0)), With(noJacks, kLegacy, '3'));
  const std::string noSection = kLegacy + "\r\n" + kJacks + "\r\n";
  EXPECT_EQ(Patch(noSection, Options(0, 0, 1, 1, 0)), noSection);
}

TEST_F(InfOptions, TheSectionHeaderMayComeAnywhereBefore) {
  // A key line before the header stays; the first one after it, in whatever section, changes.
  const std::string content =
      kLegacy + "\r\n[CONFIG1.AddReg]\r\n[Other]\r\n" + kLegacy + "\r\n" + kLegacy + "\r\n";
  std::string expected = content;
  expected[content.find(kLegacy, 10) + 48] = '2';
  EXPECT_EQ(Patch(content, Options(0, 0, 0, 0, 0)), expected);
}

TEST_F(InfOptions, ALineTooShortForTheColumnIsLeftAlone) {
  // The byte would land in the next line: nothing is written for that value.
  const std::string content = "[CONFIG1.AddReg]\r\nHKR,\"Settings\",\"EnableLegacy\",1,7\r\n" +
                              kJacks + "\r\nNextLineUntouched=1234567890\r\n";
  EXPECT_EQ(Patch(content, Options(0, 0, 0, 0, 0)), With(content, kJacks, '0'));
  // 48 characters: the 49th byte would be the line's end.
  for (const std::string eol : {"\r\n", "\n"}) {
    const std::string exact = "[CONFIG1.AddReg]" + eol + kLegacy.substr(0, 48) + eol + "X=1" + eol;
    EXPECT_EQ(Patch(exact, Options(0, 0, 0, 0, 0)), exact) << "line end " << eol.size();
  }
  // Lines ended by a bare carriage return are lines too.
  const std::string crOnly = "[CONFIG1.AddReg]\r" + kLegacy + "\rX=" + std::string(60, 'y') + "\r";
  EXPECT_EQ(Patch(crOnly, Options(0, 0, 0, 1, 0)), With(crOnly, kLegacy, '3'));
  const std::string shortCr =
      "[CONFIG1.AddReg]\rHKR,\"Settings\",\"EnableLegacy\",7\r" + std::string(80, 'z') + "\r";
  EXPECT_EQ(Patch(shortCr, Options(0, 0, 0, 0, 0)), shortCr);
}

TEST_F(InfOptions, BrokenFilesStayAsTheyAre) {
  // Text mode ends the file at Ctrl-Z: what follows is never read.
  const std::string garbage =
      std::string("\x00\x01", 2) + "[CONFIG1.AddReg]\r\n\x1A\r\n" + kLegacy + "\r\n";
  EXPECT_EQ(Patch(garbage, Options(0, 0, 0, 0, 0)), garbage);
  // A key line longer than the read buffer: its column is still inside it.
  const std::string longLine =
      "[CONFIG1.AddReg]\r\n" + kLegacy + std::string(3000, ' ') + "\r\n" + kLegacy + "\r\n";
  EXPECT_EQ(Patch(longLine, Options(0, 0, 0, 0, 0)), With(longLine, kLegacy, '2'));
  // A key line whose key ends at the last character of the first piece is found.
  const std::string keyAtEnd = "[CONFIG1.AddReg]\r\n" + std::string(993, ' ') + kLegacy + "\r\n";
  EXPECT_EQ(Patch(keyAtEnd, Options(0, 0, 0, 0, 0)), With(keyAtEnd, std::string(993, ' '), '2'));
  // The continuation of a long line is no line of its own.
  const std::string tail = "[CONFIG1.AddReg]\r\n" + std::string(1023, ' ') + kLegacy + "\r\n";
  EXPECT_EQ(Patch(tail, Options(0, 0, 0, 0, 0)), tail);
  // No line end at the end of the file.
  const std::string noEnd = "[CONFIG1.AddReg]\r\n" + kJacks;
  EXPECT_EQ(Patch(noEnd, Options(0, 1, 0, 0, 0)), With(noEnd, kJacks, '2'));
  // A zero byte ends a line's text as it ends a C string; the next line is a line all the same.
  const std::string zero =
      "[CONFIG1.AddReg]\r\nX=" + std::string(1, '\0') + kJacks + "\r\n" + kLegacy + "\r\n";
  EXPECT_EQ(Patch(zero, Options(0, 0, 0, 0, 0)), With(zero, kLegacy, '2'));
  // An empty file stays empty; 1 MiB is the largest INF file patched.
  EXPECT_EQ(Patch("", Options(0, 0, 0, 0, 0)), "");
  std::string largest = "[CONFIG1.AddReg]\r\n" + kLegacy + "\r\n";
  largest.resize(1 << 20, ';');
  EXPECT_TRUE(Patch(largest, Options(0, 0, 0, 0, 0)) == With(largest, kLegacy, '2'));
  EXPECT_TRUE(Patch(largest + ";", Options(0, 0, 0, 0, 0)) == largest + ";");
  // A missing file is not created.
  install::PatchInfOptions(machine.Platform(), "C:\\absent.inf", Options(0, 0, 0, 0, 0));
  EXPECT_FALSE(Exists("C:\\absent.inf"));
}

}  // namespace
}  // namespace installtest
