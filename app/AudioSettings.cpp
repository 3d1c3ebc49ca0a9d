#include "app/AudioSettings.h"

#include "app/Paths.h"
#include "app/RegistryText.h"
#include "platform/WinConstants.h"

namespace app {

namespace {

constexpr const char* kAudioKey = "Software\\Microsoft\\Multimedia\\Audio";
constexpr const char* kDefaultUserAudioKey = ".Default\\Software\\Microsoft\\Multimedia\\Audio";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kSchemeDefault =
    ".DEFAULT\\AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Default";
constexpr const char* kSchemeCurrentDefaultUser =
    ".DEFAULT\\AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current";
constexpr const char* kSchemeCurrentUser =
    "AppEvents\\Schemes\\Apps\\.Default\\SystemStart\\.Current";
constexpr std::uint32_t kFormatsBuffer = 1024;
constexpr std::uint32_t kSoundBuffer = 260;

// The first entry of a comma-separated list of format names that contains "CD".
std::optional<std::string> FirstCdFormat(const std::string& formats) {
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = formats.find(',', start);
    std::string entry = formats.substr(start, comma == std::string::npos ? comma : comma - start);
    if (entry.find("CD") != std::string::npos) {
      return entry;
    }
    if (comma == std::string::npos) {
      return std::nullopt;
    }
    start = comma + 1;
  }
}

void RepairCurrentSound(platform::Platform& platform, platform::RegKey root, const char* subKey,
                        const std::string& defaultText) {
  ScopedKey key(platform.registry, root, subKey, win::KEY_ALL_ACCESS);
  if (!key.IsOpen()) {
    return;
  }
  // A current sound that names an existing file other than the scheme default stays; one that
  // is missing, unreadable as written, or the default itself is written again as the default,
  // with the string type its text needs.
  bool repair = true;
  std::optional<std::string> current = ReadRegText(platform.registry, key.Get(), "", kSoundBuffer);
  if (current && FileExists(platform.files, *current) && *current != defaultText) {
    repair = false;
  }
  if (repair) {
    std::uint32_t type =
        defaultText.find('%') != std::string::npos ? win::REG_EXPAND_SZ : win::REG_SZ;
    WriteRegText(platform.registry, key.Get(), "", defaultText, type);
  }
}

}  // namespace

void SetCdAudioMode(platform::Platform& platform, const std::string& optionFile) {
  std::optional<std::string> windows = WindowsFolderWithBackslash(platform.files);
  if (!windows) {
    return;
  }
  std::uint32_t usingCdda = platform.profiles.GetInt("Default", "UsingCDDA", 0, optionFile);
  platform.profiles.WriteString("CD PLAYER", "UsingCDDA", usingCdda != 0 ? "1" : "0",
                                *windows + "OVCDPLAY.INI");
}

void SetDefaultRecordingFormat(platform::Registry& registry) {
  ScopedKey user(registry, win::HKEY_CURRENT_USER, kAudioKey, win::KEY_ALL_ACCESS);
  if (!user.IsOpen()) {
    return;
  }
  std::optional<std::string> formats =
      ReadRegText(registry, user.Get(), "SystemFormats", kFormatsBuffer);
  std::optional<std::string> format = formats ? FirstCdFormat(*formats) : std::nullopt;
  if (!format) {
    return;
  }
  WriteRegText(registry, user.Get(), "DefaultFormat", *format, win::REG_SZ);
  ScopedKey defaultUser(registry, win::HKEY_USERS, kDefaultUserAudioKey, win::KEY_ALL_ACCESS);
  if (defaultUser.IsOpen()) {
    WriteRegText(registry, defaultUser.Get(), "DefaultFormat", *format, win::REG_SZ);
  }
}

void RemoveStaleAutoStart(platform::Registry& registry) {
  ScopedKey run(registry, win::HKEY_LOCAL_MACHINE, kRunKey, win::KEY_ALL_ACCESS);
  if (run.IsOpen()) {
    registry.DeleteValue(run.Get(), "Sonavex Applications");
  }
}

void RepairStartupSound(platform::Platform& platform) {
  std::string defaultText;
  {
    ScopedKey scheme(platform.registry, win::HKEY_USERS, kSchemeDefault, win::KEY_ALL_ACCESS);
    if (scheme.IsOpen()) {
      defaultText = ReadRegText(platform.registry, scheme.Get(), "", kSoundBuffer).value_or("");
    }
  }
  RepairCurrentSound(platform, win::HKEY_USERS, kSchemeCurrentDefaultUser, defaultText);
  RepairCurrentSound(platform, win::HKEY_CURRENT_USER, kSchemeCurrentUser, defaultText);
}

void ApplyAudioSettings(platform::Platform& platform, const std::string& optionFile,
                        const InstallContext& context) {
  SetCdAudioMode(platform, optionFile);
  if (!context.isNT4) {
    SetDefaultRecordingFormat(platform.registry);
  }
  RemoveStaleAutoStart(platform.registry);
  RepairStartupSound(platform);
}

}  // namespace app
