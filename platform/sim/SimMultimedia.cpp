#include "platform/sim/SimMultimedia.h"

#include <algorithm>
#include <cstdio>

#include "platform/WinConstants.h"
#include "platform/journal/JournalWords.h"
#include "platform/sim/Text.h"

namespace sim {

SimMultimedia::SimMultimedia(SimCore& core, SimFileSystem& files) : core_(core), files_(files) {}

void SimMultimedia::AddMixer(const std::string& productName) {
  std::array<char, kMixerNameField> field{};
  std::copy_n(productName.begin(), std::min(productName.size(), field.size()), field.begin());
  mixers_.push_back(field);
}

void SimMultimedia::SetLibrary(const std::string& pathOrName, const DriverLibrary& library) {
  bool isPath = pathOrName.find('\\') != std::string::npos;
  libraries_[isPath ? pathOrName : Upper(pathOrName)] = library;
}

std::uint32_t SimMultimedia::MixerCount() {
  if (core_.Injected(Call::mixerGetNumDevs)) {
    return 0;
  }
  return static_cast<std::uint32_t>(mixers_.size());
}

bool SimMultimedia::MixerProductName(std::uint32_t index, std::string& productName) {
  if (core_.Injected(Call::mixerGetDevCapsA)) {
    return false;
  }
  if (index >= mixers_.size()) {
    return false;  // MMSYSERR_BADDEVICEID
  }
  const std::array<char, kMixerNameField>& field = mixers_[index];
  productName.assign(field.begin(), std::find(field.begin(), field.end(), '\0'));
  return true;
}

DriverLibrary SimMultimedia::LibraryOf(const FileNode* file) const {
  for (const auto& [key, library] : libraries_) {
    if (key.find('\\') != std::string::npos
            ? files_.Find(key) == file
            : (EqualsNoCase(key, file->name) || EqualsNoCase(key, file->shortName))) {
      return library;
    }
  }
  return DriverLibrary{};
}

std::size_t SimMultimedia::InstancesOf(const std::string& module) const {
  return static_cast<std::size_t>(
      std::count_if(open_.begin(), open_.end(),
                    [&module](const auto& entry) { return entry.second.module == module; }));
}

std::intptr_t SimMultimedia::Deliver(const Instance& instance, std::uint32_t message,
                                     std::intptr_t param1, std::intptr_t param2) {
  std::intptr_t reply = 0;
  switch (message) {
    case win::DRV_LOAD:
      reply = instance.library.loads ? 1 : 0;
      break;
    case win::DRV_ENABLE:
    case win::DRV_OPEN:
    case win::DRV_CLOSE:
    case win::DRV_DISABLE:
    case win::DRV_FREE:
      reply = 1;
      break;
    case win::DRV_INSTALL:
      reply = win::DRVCNF_RESTART;  // a sound driver takes effect when Windows starts again
      break;
    case win::DRV_QUERYCONFIGURE:
      reply = instance.library.hasConfiguration ? 1 : 0;
      break;
    case win::DRV_CONFIGURE:
      reply = instance.library.hasConfiguration ? win::DRVCNF_OK : win::DRVCNF_CANCEL;
      break;
    default:
      reply = 0;
  }
  messages_.push_back(DriverMessage{instance.path, message, param1, param2, reply});
  core_.Record("driver", journal::DriverMessage(instance.path, message, param1, param2, reply));
  return reply;
}

platform::DriverHandle SimMultimedia::OpenDriver(const std::string& path) {
  if (core_.Injected(Call::OpenDriver)) {
    return {};
  }
  // What follows the first blank is taken for the driver's arguments, not part of its file name.
  std::string fileName = path.substr(0, path.find(' '));
  std::string full = fileName.empty() ? std::string() : files_.FullPath(fileName);
  const FileNode* file = full.empty() ? nullptr : files_.Find(full);
  if (file == nullptr || file->isFolder) {
    core_.Record("driver", "OpenDriver \"" + path + "\": no driver library there");
    return {};
  }
  Instance instance{full, Upper(full), LibraryOf(file)};
  if (InstancesOf(instance.module) == 0) {
    if (Deliver(instance, win::DRV_LOAD, 0, 0) == 0) {
      core_.Record("driver", "OpenDriver \"" + path + "\": the library refused to load");
      return {};
    }
    Deliver(instance, win::DRV_ENABLE, 0, 0);
  }
  Deliver(instance, win::DRV_OPEN, 0, 0);
  platform::DriverHandle handle{nextHandle_};
  nextHandle_ += 4;
  open_[handle.value] = instance;
  return handle;
}

std::intptr_t SimMultimedia::SendDriverMessage(platform::DriverHandle driver, std::uint32_t message,
                                               std::intptr_t param1, std::intptr_t param2) {
  if (core_.Injected(Call::SendDriverMessage)) {
    return 0;
  }
  auto it = open_.find(driver.value);
  if (it == open_.end()) {
    return 0;
  }
  return Deliver(it->second, message, param1, param2);
}

void SimMultimedia::CloseDriver(platform::DriverHandle driver) {
  if (core_.Injected(Call::CloseDriver)) {
    return;  // the driver stays open
  }
  auto it = open_.find(driver.value);
  if (it == open_.end()) {
    return;
  }
  Instance instance = it->second;
  open_.erase(it);
  Deliver(instance, win::DRV_CLOSE, 0, 0);
  if (InstancesOf(instance.module) == 0) {
    Deliver(instance, win::DRV_DISABLE, 0, 0);
    Deliver(instance, win::DRV_FREE, 0, 0);
  }
}

}  // namespace sim
