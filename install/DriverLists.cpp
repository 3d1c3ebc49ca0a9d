#include "install/DriverLists.h"

#include "app/RegistryText.h"
#include "platform/WinConstants.h"

namespace install {

namespace {

// A slot's text is read into a buffer of this size.
constexpr std::uint32_t kSlotCapacity = 1024;
// The slots of a name: the name itself, then the name with one digit, 1 to 9. There is no
// slot 10.
constexpr int kLastSlotDigit = 9;

}  // namespace

int AddDriverValue(platform::Registry& registry, const std::string& subKey, const std::string& name,
                   const std::string& text) {
  app::ScopedKey key(registry, win::HKEY_LOCAL_MACHINE, subKey, win::KEY_ALL_ACCESS);
  if (!key.IsOpen()) {
    return -1;
  }
  std::string slot = name;
  for (int digit = 1;; ++digit) {
    std::string held;
    std::int32_t status = app::QueryRegText(registry, key.Get(), slot, kSlotCapacity, held);
    if (status == static_cast<std::int32_t>(win::ERROR_FILE_NOT_FOUND)) {
      break;  // a free slot
    }
    // A slot that holds a value too long to read, or that cannot be read, is another driver's:
    // it is not overwritten.
    if (status == 0 && held == text) {
      return 0;
    }
    if (digit > kLastSlotDigit) {
      return -1;  // every slot holds another library
    }
    slot = name + std::to_string(digit);
  }
  return app::WriteRegText(registry, key.Get(), slot, text, win::REG_SZ) == 0 ? 0 : -1;
}

int RegisterDriverLibrary(platform::Registry& registry, const std::string& library,
                          const std::vector<std::string>& kinds, const std::string& description) {
  for (const std::string& kind : kinds) {
    int result = AddDriverValue(registry, kDriverListKey, kind, library);
    if (result < 0) {
      return result;
    }
  }
  // The description's value is named after the library file.
  int result = AddDriverValue(registry, kDriverDescriptionKey, library, description);
  return result >= 0 ? 0 : result;
}

}  // namespace install
