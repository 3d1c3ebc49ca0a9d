#include "platform/journal/JournalingPlatform.h"

namespace journal {

std::uint32_t JournalMultimedia::MixerCount() {
  return below_.platform.multimedia.MixerCount();
}

bool JournalMultimedia::MixerProductName(std::uint32_t index, std::string& productName) {
  return below_.platform.multimedia.MixerProductName(index, productName);
}

platform::DriverHandle JournalMultimedia::OpenDriver(const std::string& path) {
  platform::DriverHandle driver = below_.platform.multimedia.OpenDriver(path);
  if (driver.IsNull()) {
    below_.journal.Record("driver", "OpenDriver " + Quoted(path) + " failed");
    return driver;
  }
  drivers_[driver.value] = path;
  below_.journal.Record("driver", "OpenDriver " + Quoted(path));
  return driver;
}

std::intptr_t JournalMultimedia::SendDriverMessage(platform::DriverHandle driver,
                                                   std::uint32_t message, std::intptr_t param1,
                                                   std::intptr_t param2) {
  std::intptr_t reply =
      below_.platform.multimedia.SendDriverMessage(driver, message, param1, param2);
  auto it = drivers_.find(driver.value);
  below_.journal.Record("driver", DriverMessage(it != drivers_.end() ? it->second : std::string(),
                                                message, param1, param2, reply));
  return reply;
}

void JournalMultimedia::CloseDriver(platform::DriverHandle driver) {
  below_.platform.multimedia.CloseDriver(driver);
  auto it = drivers_.find(driver.value);
  if (it != drivers_.end()) {
    below_.journal.Record("driver", "CloseDriver " + Quoted(it->second));
    drivers_.erase(it);
  }
}

}  // namespace journal
