#include "cleanup/RegistryPurge.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/RegistryText.h"
#include "platform/WinConstants.h"

namespace cleanup {

namespace {

constexpr const char* kMediaClass = "System\\CurrentControlSet\\services\\Class\\MEDIA";
constexpr const char* kMediaResources = "System\\CurrentControlSet\\control\\MediaResources\\";
constexpr const char* kPciTree = "Enum\\PCI";
constexpr const char* kChildTree = "Enum\\ORV";
constexpr const char* kAsioClsid = "{188135E1-D565-11d2-854F-00A0C99F5D19}";
constexpr const char* kVirtualDevices[] = {"Enum\\VIRTUAL\\VSX-SWMIDI", "Enum\\VIRTUAL\\VSX-DOSEMU",
                                           "Enum\\VIRTUAL\\VSX-LEGACY", "Enum\\VIRTUAL\\VSX-SBEMU",
                                           "Enum\\VIRTUAL\\VSX-JOYSTK"};

// Key and value names are read whole (a registry name has at most 255 characters), and so is
// the data the rules look at: a name is never cut into the name of another key.
constexpr std::uint32_t kNameBuffer = 256;
constexpr std::uint32_t kValueBuffer = 1024;
constexpr std::uint32_t kValuesExamined = 1000;
constexpr std::size_t kInstanceSubkeysPerCall = 15;

// The names of a key's subkeys, in the order the registry gives them; a name longer than any
// registry name is passed over.
std::vector<std::string> SubkeyNames(platform::Registry& registry, platform::RegKey key) {
  std::vector<std::string> names;
  std::string name;
  for (std::uint32_t index = 0;; ++index) {
    std::int32_t status = registry.EnumKey(key, index, kNameBuffer, name);
    if (status == static_cast<std::int32_t>(win::ERROR_MORE_DATA)) {
      continue;
    }
    if (status != 0) {
      return names;
    }
    names.push_back(name);
  }
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The first `length` characters of `text` equal `prefix` (of that length), case ignored.
bool BeginsWithIgnoringCase(const std::string& text, const char* prefix, std::size_t length) {
  if (text.size() < length) {
    return false;
  }
  for (std::size_t i = 0; i < length; ++i) {
    if (Upper(text[i]) != Upper(prefix[i])) {
      return false;
    }
  }
  return true;
}

// How a variant tells the maker's driver: the MEDIA instance rule, and the prefix of the
// hardware keys of the device below "Enum\PCI" (none: no hardware key is the device's).
struct Variant {
  bool (*isMakersInstance)(const std::string& valueName, const std::string& data);
  std::optional<std::string> pciPrefix;
};

bool ChipInstance(const std::string& valueName, const std::string& data) {
  if (valueName == "DriverDesc") {
    return BeginsWithIgnoringCase(data, "ORVANTA", 7) || BeginsWithIgnoringCase(data, "ORV6490", 7);
  }
  if (valueName == "InfPath") {
    return BeginsWithIgnoringCase(data, "OVPCI032.INF", 12);
  }
  return false;
}

bool CodecInstance(const std::string& valueName, const std::string& data) {
  return valueName == "ProviderName" && BeginsWithIgnoringCase(data, "ORVANTA", 7);
}

// The instance's values, from the first, until one tells that it is the maker's.
bool IsMakersInstance(platform::Registry& registry, platform::RegKey instance,
                      const Variant& variant) {
  std::string name;
  for (std::uint32_t index = 0; index < kValuesExamined; ++index) {
    // A name longer than any the rules look for is passed over, as key names are.
    std::int32_t status = registry.EnumValue(instance, index, kNameBuffer, name);
    if (status == static_cast<std::int32_t>(win::ERROR_MORE_DATA)) {
      continue;
    }
    if (status != 0) {
      return false;
    }
    std::optional<std::string> data = app::ReadRegText(registry, instance, name, kValueBuffer);
    if (data && variant.isMakersInstance(name, *data)) {
      return true;
    }
  }
  return false;
}

void PurgeMediaClass(platform::Registry& registry, const Variant& variant) {
  std::vector<std::string> instances;
  {
    app::ScopedKey media(registry, win::HKEY_LOCAL_MACHINE, kMediaClass,
                         win::KEY_ENUMERATE_SUB_KEYS);
    if (!media.IsOpen()) {
      return;
    }
    for (const std::string& name : SubkeyNames(registry, media.Get())) {
      instances.push_back(name.substr(0, 4));  // the instance number
    }
  }
  for (const std::string& instance : instances) {
    platform::RegKey key;
    if (registry.OpenKey(win::HKEY_LOCAL_MACHINE, std::string(kMediaClass) + "\\" + instance,
                         win::KEY_READ, key) != 0) {
      continue;
    }
    if (!IsMakersInstance(registry, key, variant)) {
      registry.CloseKey(key);
      continue;
    }
    // The resource entries go before the instance: the instance is what marks them as the
    // maker's, and a purge cut short after it went would leave them for good.
    for (const char* kind : {"aux", "joystick", "midi", "mixer", "wave"}) {
      DeleteInstanceSubkeys(registry, std::string(kMediaResources) + kind, instance);
    }
    registry.DeleteKey(key, "");
    registry.CloseKey(key);
  }
}

// Deletes every subkey of `tree` whose name begins with `prefix` (case as written), starting
// the walk again after each deletion. Nothing when no key was found; the status on a failure,
// also when a key reported deleted is found again: it stayed, and the walk would never end.
std::optional<int> PurgeTree(platform::Registry& registry, const char* tree,
                             const std::string& prefix, bool& found) {
  std::vector<std::string> deleted;
  for (;;) {
    std::optional<std::string> match;
    {
      app::ScopedKey parent(registry, win::HKEY_LOCAL_MACHINE, tree, win::KEY_ENUMERATE_SUB_KEYS);
      if (!parent.IsOpen()) {
        return std::nullopt;
      }
      for (const std::string& name : SubkeyNames(registry, parent.Get())) {
        if (name.compare(0, prefix.size(), prefix) == 0) {
          match = name;
          break;
        }
      }
    }
    if (!match) {
      return std::nullopt;
    }
    if (std::find(deleted.begin(), deleted.end(), *match) != deleted.end()) {
      return kHardwareKeyStays;
    }
    platform::RegKey key;
    if (registry.OpenKey(win::HKEY_LOCAL_MACHINE, std::string(tree) + "\\" + *match, win::KEY_READ,
                         key) != 0) {
      return std::nullopt;
    }
    std::int32_t status = registry.DeleteKey(key, "");
    registry.CloseKey(key);
    if (status != 0) {
      return kHardwareKeyStays;
    }
    deleted.push_back(*match);
    found = true;
  }
}

// A driver's "CLSID" value names the maker's ASIO driver: a string, compared ignoring case.
bool IsMakersAsioDriver(platform::Registry& registry, platform::RegKey asio,
                        const std::string& name) {
  app::ScopedKey driver(registry, asio, name, win::KEY_READ);
  platform::RegData clsid;
  if (!driver.IsOpen() || registry.QueryValue(driver.Get(), "CLSID", kValueBuffer, clsid) != 0 ||
      clsid.type != win::REG_SZ) {
    return false;
  }
  const std::string text(clsid.bytes.begin(),
                         std::find(clsid.bytes.begin(), clsid.bytes.end(), std::uint8_t{0}));
  return text.size() == std::char_traits<char>::length(kAsioClsid) &&
         BeginsWithIgnoringCase(text, kAsioClsid, text.size());
}

// The ASIO drivers registered under "SOFTWARE\ASIO" belong to every maker of sound cards: only
// the maker's go, and the key itself only when nothing else is left in it.
void DeleteMakersAsioDrivers(platform::Registry& registry) {
  app::ScopedKey asio(registry, win::HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO", win::KEY_ALL_ACCESS);
  if (!asio.IsOpen()) {
    return;
  }
  for (const std::string& name : SubkeyNames(registry, asio.Get())) {
    if (IsMakersAsioDriver(registry, asio.Get(), name)) {
      registry.DeleteKey(asio.Get(), name);
    }
  }
  std::string name;
  const auto noMore = static_cast<std::int32_t>(win::ERROR_NO_MORE_ITEMS);
  if (registry.EnumKey(asio.Get(), 0, kNameBuffer, name) == noMore &&
      registry.EnumValue(asio.Get(), 0, kNameBuffer, name) == noMore) {
    registry.DeleteKey(asio.Get(), "");
  }
}

void DeleteIfOpens(platform::Registry& registry, platform::RegKey root, const char* path) {
  platform::RegKey key;
  if (registry.OpenKey(root, path, win::KEY_WRITE, key) == 0) {
    registry.DeleteKey(key, "");
    registry.CloseKey(key);
  }
}

int Purge(platform::Registry& registry, const Variant& variant) {
  PurgeMediaClass(registry, variant);
  bool found = false;
  if (variant.pciPrefix) {
    if (std::optional<int> failed = PurgeTree(registry, kPciTree, *variant.pciPrefix, found)) {
      return *failed;
    }
  }
  if (std::optional<int> failed = PurgeTree(registry, kChildTree, "CHILD", found)) {
    return *failed;
  }
  for (const char* device : kVirtualDevices) {
    platform::RegKey key;
    if (registry.OpenKey(win::HKEY_LOCAL_MACHINE, device, win::KEY_READ, key) != 0) {
      continue;
    }
    std::int32_t deleted = registry.DeleteKey(key, "");
    registry.CloseKey(key);
    if (deleted != 0) {
      return kVirtualKeyStays;
    }
    found = true;
  }
  if (!found) {
    return kNothingFound;
  }
  // The 3D-audio and ASIO registrations went with the driver.
  DeleteIfOpens(registry, win::HKEY_CLASSES_ROOT, "Spherix");
  DeleteIfOpens(registry, win::HKEY_CLASSES_ROOT, "CLSID\\{D8F1EEE0-F634-11CF-8700-00A0245D918B}");
  DeleteMakersAsioDrivers(registry);
  DeleteIfOpens(registry, win::HKEY_CLASSES_ROOT, (std::string("CLSID\\") + kAsioClsid).c_str());
  return kPurged;
}

std::optional<std::string> ControllerPrefix(std::uint16_t vendorId, std::uint16_t deviceId) {
  static const struct {
    std::uint16_t vendor;
    std::uint16_t device;
    const char* prefix;
  } kControllers[] = {{0x8086, 0x2415, "VEN_8086&DEV_2415"}, {0x8086, 0x2425, "VEN_8086&DEV_2425"},
                      {0x8086, 0x2445, "VEN_8086&DEV_2445"}, {0x1039, 0x7012, "VEN_1039&DEV_7012"},
                      {0x1106, 0x3058, "VEN_1106&DEV_3058"}, {0x1106, 0x3059, "VEN_1106&DEV_3059"}};
  for (const auto& controller : kControllers) {
    if (controller.vendor == vendorId && controller.device == deviceId) {
      return controller.prefix;
    }
  }
  return std::nullopt;
}

}  // namespace

void DeleteInstanceSubkeys(platform::Registry& registry, const std::string& parent,
                           const std::string& instance) {
  std::vector<std::string> names;
  {
    app::ScopedKey key(registry, win::HKEY_LOCAL_MACHINE, parent, win::KEY_READ);
    if (!key.IsOpen()) {
      return;
    }
    for (const std::string& name : SubkeyNames(registry, key.Get())) {
      // The four characters before the last one: the instance number of "...<0003>".
      if (name.size() >= 5 && instance.size() == 4 && names.size() < kInstanceSubkeysPerCall &&
          BeginsWithIgnoringCase(name.substr(name.size() - 5, 4), instance.c_str(), 4)) {
        names.push_back(name);
      }
    }
  }
  for (const std::string& name : names) {
    platform::RegKey key;
    if (registry.OpenKey(win::HKEY_LOCAL_MACHINE, parent + "\\" + name, win::KEY_READ, key) == 0) {
      registry.DeleteKey(key, "");
      registry.CloseKey(key);
    }
  }
}

int PurgeChipDriverRegistry(platform::Registry& registry) {
  return Purge(registry, Variant{ChipInstance, "VEN_7C5A&DEV_01"});
}

int PurgeCodecDriverRegistry(platform::Registry& registry, std::uint16_t vendorId,
                             std::uint16_t deviceId) {
  return Purge(registry, Variant{CodecInstance, ControllerPrefix(vendorId, deviceId)});
}

}  // namespace cleanup
