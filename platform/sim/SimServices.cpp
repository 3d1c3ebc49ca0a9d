#include "platform/sim/SimServices.h"

#include <cctype>
#include <cstdio>

#include "platform/WinConstants.h"
#include "platform/journal/JournalWords.h"
#include "platform/sim/Text.h"

namespace sim {

namespace {
constexpr std::uint32_t kServiceNotActive = 1062;
constexpr std::uint32_t kServiceMarkedForDelete = 1072;
constexpr std::uint32_t kGenFailure = 31;
constexpr const char* kDetectionService = "ORVAINFO";
constexpr const char* kDevicePath = "\\\\.\\orvainfo";  // as the journal names the device

// A drive letter with a backslash, or a UNC path.
bool IsFullPath(const std::string& path) {
  return (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
          (path[2] == '\\' || path[2] == '/')) ||
         IsUncPath(path);
}
}  // namespace

SimServices::SimServices(SimCore& core, SimFileSystem& files, SimHardware& hardware)
    : core_(core), files_(files), hardware_(hardware) {}

void SimServices::AddService(const platform::ServiceConfig& config, bool running) {
  services_[Upper(config.serviceName)] = SimService{config, running, false};
}

SimService* SimServices::ServiceOf(platform::ServiceHandle handle) {
  auto it = handles_.find(handle.value);
  if (it == handles_.end() || it->second.manager) {
    core_.lastError = win::ERROR_INVALID_HANDLE;
    return nullptr;
  }
  auto service = services_.find(it->second.service);
  if (service == services_.end()) {
    core_.lastError = win::ERROR_SERVICE_DOES_NOT_EXIST;
    return nullptr;
  }
  return &service->second;
}

void SimServices::StartAgain() {
  handles_.clear();
  devices_.clear();
  for (auto it = services_.begin(); it != services_.end();) {
    it->second.running = false;
    it = it->second.markedForDelete ? services_.erase(it) : std::next(it);
  }
}

void SimServices::RemoveIfDone(const std::string& key) {
  auto it = services_.find(key);
  if (it != services_.end() && it->second.markedForDelete && !it->second.running) {
    core_.Record("service", "\"" + it->second.config.serviceName + "\" removed");
    services_.erase(it);
  }
}

platform::ServiceHandle SimServices::OpenServiceManager(std::uint32_t access) {
  (void)access;
  if (core_.Injected(Call::OpenSCManagerA)) {
    return {};
  }
  if (!core_.IsNt()) {
    core_.lastError = win::ERROR_CALL_NOT_IMPLEMENTED;
    return {};
  }
  if (!core_.administrator) {
    core_.lastError = win::ERROR_ACCESS_DENIED;
    return {};
  }
  platform::ServiceHandle handle{nextHandle_};
  nextHandle_ += 4;
  handles_[handle.value] = Handle{true, ""};
  return handle;
}

platform::ServiceHandle SimServices::CreateService(platform::ServiceHandle manager,
                                                   const platform::ServiceConfig& config) {
  if (core_.Injected(Call::CreateServiceA)) {
    return {};
  }
  auto it = handles_.find(manager.value);
  if (it == handles_.end() || !it->second.manager) {
    core_.lastError = win::ERROR_INVALID_HANDLE;
    return {};
  }
  std::string key = Upper(config.serviceName);
  if (services_.count(key) != 0) {
    core_.lastError =
        services_[key].markedForDelete ? kServiceMarkedForDelete : win::ERROR_SERVICE_EXISTS;
    return {};
  }
  services_[key] = SimService{config, false, false};
  core_.Record("service", "create \"" + config.serviceName + "\" type " +
                              std::to_string(config.serviceType) + " start " +
                              std::to_string(config.startType) + " binary " + config.binaryPath);
  platform::ServiceHandle handle{nextHandle_};
  nextHandle_ += 4;
  handles_[handle.value] = Handle{false, key};
  return handle;
}

platform::ServiceHandle SimServices::OpenService(platform::ServiceHandle manager,
                                                 const std::string& name, std::uint32_t access) {
  (void)access;
  if (core_.Injected(Call::OpenServiceA)) {
    return {};
  }
  auto it = handles_.find(manager.value);
  if (it == handles_.end() || !it->second.manager) {
    core_.lastError = win::ERROR_INVALID_HANDLE;
    return {};
  }
  std::string key = Upper(name);
  if (services_.count(key) == 0) {
    core_.lastError = win::ERROR_SERVICE_DOES_NOT_EXIST;
    return {};
  }
  platform::ServiceHandle handle{nextHandle_};
  nextHandle_ += 4;
  handles_[handle.value] = Handle{false, key};
  return handle;
}

bool SimServices::StartService(platform::ServiceHandle handle) {
  if (core_.Injected(Call::StartServiceA)) {
    return false;
  }
  SimService* service = ServiceOf(handle);
  if (service == nullptr) {
    return false;
  }
  if (service->running) {
    return core_.Fail(win::ERROR_SERVICE_ALREADY_RUNNING);
  }
  if (service->markedForDelete) {
    return core_.Fail(kServiceMarkedForDelete);
  }
  // The service manager resolves the driver's path in its own process, not against the
  // caller's current directory: a path that is not full ("D:.\\orvainfo.sys", "orvainfo.sys",
  // "\\orvainfo.sys") does not name the caller's file there (Windows looks for it below the
  // system root). The driver is not found, and the start fails as for a missing file; Wine
  // gives error 1114 for both.
  if (!IsFullPath(service->config.binaryPath)) {
    core_.Record("service", "start \"" + service->config.serviceName +
                                "\" failed: not a full path " + service->config.binaryPath);
    return core_.Fail(win::ERROR_FILE_NOT_FOUND);
  }
  // A kernel driver loads from its file, which must exist and be a driver.
  const FileNode* file = files_.Find(service->config.binaryPath);
  if (file == nullptr || file->isFolder) {
    core_.Record("service", "start \"" + service->config.serviceName + "\" failed: no file " +
                                service->config.binaryPath);
    return core_.Fail(win::ERROR_FILE_NOT_FOUND);
  }
  if (!driverLoads_) {
    core_.Record("service", "start \"" + service->config.serviceName + "\" failed: not loadable");
    return core_.Fail(win::ERROR_BAD_EXE_FORMAT);
  }
  service->running = true;
  core_.Record("service", "start \"" + service->config.serviceName + "\"");
  return true;
}

bool SimServices::ControlService(platform::ServiceHandle handle, std::uint32_t control) {
  if (core_.Injected(Call::ControlService)) {
    return false;
  }
  SimService* service = ServiceOf(handle);
  if (service == nullptr) {
    return false;
  }
  if (control != win::SERVICE_CONTROL_STOP) {
    return core_.Fail(win::ERROR_INVALID_PARAMETER);
  }
  if (!service->running) {
    return core_.Fail(kServiceNotActive);
  }
  service->running = false;
  core_.Record("service", "stop \"" + service->config.serviceName + "\"");
  RemoveIfDone(handles_[handle.value].service);
  return true;
}

bool SimServices::DeleteService(platform::ServiceHandle handle) {
  if (core_.Injected(Call::DeleteService)) {
    return false;
  }
  SimService* service = ServiceOf(handle);
  if (service == nullptr) {
    return false;
  }
  if (service->markedForDelete) {
    return core_.Fail(kServiceMarkedForDelete);
  }
  service->markedForDelete = true;
  core_.Record("service", "delete \"" + service->config.serviceName + "\"");
  RemoveIfDone(handles_[handle.value].service);
  return true;
}

bool SimServices::CloseServiceHandle(platform::ServiceHandle handle) {
  if (core_.Injected(Call::CloseServiceHandle)) {
    return false;  // the handle stays open
  }
  if (handles_.erase(handle.value) == 0) {
    return core_.Fail(win::ERROR_INVALID_HANDLE);
  }
  return true;
}

platform::DeviceHandle SimServices::OpenDevice(const std::string& path, std::uint32_t access) {
  (void)access;
  if (core_.Injected(Call::CreateFileA)) {
    return {};
  }
  std::string key = StartsWithNoCase(path, "\\\\.\\") ? Upper(path.substr(4)) : std::string();
  auto it = services_.find(key);
  if (key != kDetectionService || it == services_.end() || !it->second.running) {
    core_.lastError = win::ERROR_FILE_NOT_FOUND;
    return {};
  }
  for (const auto& [open, service] : devices_) {
    if (service == key) {
      core_.lastError = win::ERROR_ACCESS_DENIED;  // opened without sharing
      return {};
    }
  }
  platform::DeviceHandle handle{nextHandle_};
  nextHandle_ += 4;
  devices_[handle.value] = key;
  return handle;
}

void SimServices::Identify(std::uint32_t vendor, std::uint32_t device, std::uint16_t (&words)[4]) {
  for (const auto& function : hardware_.Functions()) {
    const PciDeviceSetup& setup = function->setup;
    if (vendor != 0 || device != 0) {
      if (setup.vendorId == vendor && setup.deviceId == device) {
        words[0] = setup.vendorId;
        words[1] = setup.deviceId;
        return;
      }
    } else if (function->model != PciModel::Plain && setup.codec[0] == 0x4F52 &&
               setup.codec[1] == 0x5641) {
      words[0] = setup.vendorId;
      words[1] = setup.deviceId;
      words[2] = setup.codec[0];
      words[3] = setup.codec[1];
      return;
    }
  }
}

bool SimServices::DeviceIoControl(platform::DeviceHandle device, std::uint32_t code,
                                  const std::vector<std::uint8_t>& input,
                                  std::vector<std::uint8_t>& output, std::uint32_t& bytesReturned) {
  if (core_.Injected(Call::DeviceIoControl)) {
    return false;
  }
  if (devices_.count(device.value) == 0) {
    return core_.Fail(win::ERROR_INVALID_HANDLE);
  }
  lastRequest_ = input;
  if (code != 0 || input.size() < 8 || answer_ == DriverAnswer::None) {
    core_.Record("device", journal::DeviceRefused(kDevicePath));
    return core_.Fail(kGenFailure);
  }
  if (output.size() < 256) {
    return core_.Fail(win::ERROR_INSUFFICIENT_BUFFER);
  }
  auto at = [&input](int offset) {
    return static_cast<std::uint32_t>(input[offset] | (input[offset + 1] << 8) |
                                      (input[offset + 2] << 16) |
                                      (static_cast<std::uint32_t>(input[offset + 3]) << 24));
  };
  std::uint16_t words[4] = {0, 0, 0, 0};
  Identify(at(0), at(4), words);
  if (answer_ == DriverAnswer::Garbage) {
    std::uint32_t noise = 0x2545F491;
    for (std::uint8_t& byte : output) {
      noise = noise * 1103515245 + 12345;
      byte = static_cast<std::uint8_t>(noise >> 16);
    }
  } else {
    for (int i = 0; i < 4; ++i) {
      output[2 * i] = static_cast<std::uint8_t>(words[i]);
      output[2 * i + 1] = static_cast<std::uint8_t>(words[i] >> 8);
    }
  }
  bytesReturned = answer_ == DriverAnswer::Short ? 128 : 256;
  core_.Record("device", journal::DeviceRequest(kDevicePath, input, output, bytesReturned));
  return true;
}

bool SimServices::CloseDevice(platform::DeviceHandle device) {
  if (core_.Injected(Call::CloseHandle)) {
    return false;  // the handle stays open
  }
  if (devices_.erase(device.value) == 0) {
    return core_.Fail(win::ERROR_INVALID_HANDLE);
  }
  return true;
}

}  // namespace sim
