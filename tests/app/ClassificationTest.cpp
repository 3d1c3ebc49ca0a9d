// The Windows class of every version the launcher knows, from what GetVersionExA reports.
#include <gtest/gtest.h>

#include "app/InstallContext.h"
#include "platform/WinConstants.h"
#include "platform/sim/SimMachine.h"

namespace {

using app::ClassifyWindows;
using app::WindowsClass;

std::string Flags(const WindowsClass& c) {
  return app::WindowsClassNames(c);
}

platform::OsVersion Version(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor,
                            std::uint32_t build) {
  return platform::OsVersion{major, minor, build, platformId, ""};
}

TEST(Classification, NineXBuildNumbers) {
  const std::uint32_t nineX = win::VER_PLATFORM_WIN32_WINDOWS;
  EXPECT_EQ(Flags(ClassifyWindows(Version(nineX, 4, 0, 0x040003B6))), "isWin95");
  EXPECT_EQ(Flags(ClassifyWindows(Version(nineX, 4, 0, 0x045A0BB8))),
            "isWin95");  // minor 0 decides
  EXPECT_EQ(Flags(ClassifyWindows(Version(nineX, 4, 10, 0x040A07CE))), "isWin98");
  EXPECT_EQ(Flags(ClassifyWindows(Version(nineX, 4, 10, 0x040A08AE))), "isWin98 isWin98SE");
  EXPECT_EQ(Flags(ClassifyWindows(Version(nineX, 4, 90, 0x045A0BB8))), "isWinME");
  // The ME threshold: the build's high word above 040Fh.
  EXPECT_EQ(Flags(ClassifyWindows(Version(nineX, 4, 10, 0x040FFFFF))), "isWin98");
  EXPECT_EQ(Flags(ClassifyWindows(Version(nineX, 4, 10, 0x04100000))), "isWinME");
  // 98 SE is told by the second byte of the build number alone.
  EXPECT_EQ(Flags(ClassifyWindows(Version(nineX, 4, 10, 0x00000800))), "isWin98 isWin98SE");
}

TEST(Classification, NtVersionsAndBuilds) {
  const std::uint32_t nt = win::VER_PLATFORM_WIN32_NT;
  EXPECT_EQ(Flags(ClassifyWindows(Version(nt, 4, 0, 1381))), "isNT4");
  EXPECT_EQ(Flags(ClassifyWindows(Version(nt, 3, 51, 1057))), "isNT4");
  EXPECT_EQ(Flags(ClassifyWindows(Version(nt, 5, 0, 2195))), "isNT5");
  EXPECT_EQ(Flags(ClassifyWindows(Version(nt, 5, 1, 2599))), "isNT5");
  EXPECT_EQ(Flags(ClassifyWindows(Version(nt, 5, 1, 2600))), "isNT5 isWinXP");
  EXPECT_EQ(Flags(ClassifyWindows(Version(nt, 6, 1, 7601))), "isNT5 isWinXP");
}

TEST(Classification, OtherPlatformsSetNoFlag) {
  EXPECT_EQ(Flags(ClassifyWindows(Version(win::VER_PLATFORM_WIN32s, 3, 11, 0))), "");
  EXPECT_EQ(Flags(ClassifyWindows(Version(3, 5, 0, 0))), "");
  sim::SimMachine machine;
  machine.InjectedFaults().FailEvery(sim::Call::GetVersionExA, win::ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Flags(ClassifyWindows(machine.Platform().system)), "");
}

TEST(Classification, EverySimulatedVersion) {
  const std::pair<sim::WindowsVersion, const char*> expected[] = {
      {sim::WindowsVersion::Win95, "isWin95"},
      {sim::WindowsVersion::Win98, "isWin98"},
      {sim::WindowsVersion::Win98SE, "isWin98 isWin98SE"},
      {sim::WindowsVersion::WinME, "isWinME"},
      {sim::WindowsVersion::NT4, "isNT4"},
      {sim::WindowsVersion::Win2000, "isNT5"},
      {sim::WindowsVersion::WinXP, "isNT5 isWinXP"}};
  for (const auto& [version, flags] : expected) {
    sim::SimMachine machine(version);
    EXPECT_EQ(Flags(ClassifyWindows(machine.Platform().system)), flags);
  }
}

}  // namespace
