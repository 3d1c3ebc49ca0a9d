#include "platform/journal/JournalingPlatform.h"

namespace journal {

std::string JournalServices::ServiceName(platform::ServiceHandle service) const {
  auto it = services_.find(service.value);
  return Quoted(it != services_.end() ? it->second : std::string());
}

platform::ServiceHandle JournalServices::OpenServiceManager(std::uint32_t access) {
  return below_.platform.services.OpenServiceManager(access);
}

platform::ServiceHandle JournalServices::CreateService(platform::ServiceHandle manager,
                                                       const platform::ServiceConfig& config) {
  platform::ServiceHandle service = below_.platform.services.CreateService(manager, config);
  if (service.IsNull()) {
    below_.Failed("CreateServiceA", Quoted(config.serviceName),
                  below_.platform.system.GetLastError());
    return service;
  }
  services_[service.value] = config.serviceName;
  below_.journal.Record("service", "create " + Quoted(config.serviceName) + " type " +
                                       std::to_string(config.serviceType) + " start " +
                                       std::to_string(config.startType) + " binary " +
                                       config.binaryPath);
  return service;
}

platform::ServiceHandle JournalServices::OpenService(platform::ServiceHandle manager,
                                                     const std::string& name,
                                                     std::uint32_t access) {
  platform::ServiceHandle service = below_.platform.services.OpenService(manager, name, access);
  if (!service.IsNull()) {
    services_[service.value] = name;
  }
  return service;
}

bool JournalServices::StartService(platform::ServiceHandle service) {
  if (!below_.platform.services.StartService(service)) {
    below_.Failed("StartServiceA", ServiceName(service), below_.platform.system.GetLastError());
    return false;
  }
  below_.journal.Record("service", "start " + ServiceName(service));
  return true;
}

bool JournalServices::ControlService(platform::ServiceHandle service, std::uint32_t control) {
  if (!below_.platform.services.ControlService(service, control)) {
    return false;  // most often not running
  }
  below_.journal.Record("service", "stop " + ServiceName(service));
  return true;
}

bool JournalServices::DeleteService(platform::ServiceHandle service) {
  if (!below_.platform.services.DeleteService(service)) {
    below_.Failed("DeleteService", ServiceName(service), below_.platform.system.GetLastError());
    return false;
  }
  below_.journal.Record("service", "delete " + ServiceName(service));
  return true;
}

bool JournalServices::CloseServiceHandle(platform::ServiceHandle handle) {
  services_.erase(handle.value);
  return below_.platform.services.CloseServiceHandle(handle);
}

platform::DeviceHandle JournalServices::OpenDevice(const std::string& path, std::uint32_t access) {
  platform::DeviceHandle device = below_.platform.services.OpenDevice(path, access);
  if (!device.IsNull()) {
    devices_[device.value] = path;
  }
  return device;
}

bool JournalServices::DeviceIoControl(platform::DeviceHandle device, std::uint32_t code,
                                      const std::vector<std::uint8_t>& input,
                                      std::vector<std::uint8_t>& output,
                                      std::uint32_t& bytesReturned) {
  const std::string path = devices_.count(device.value) ? devices_[device.value] : std::string();
  if (!below_.platform.services.DeviceIoControl(device, code, input, output, bytesReturned)) {
    below_.journal.Record("device", DeviceRefused(path));
    return false;
  }
  below_.journal.Record("device", DeviceRequest(path, input, output, bytesReturned));
  return true;
}

bool JournalServices::CloseDevice(platform::DeviceHandle device) {
  devices_.erase(device.value);
  return below_.platform.services.CloseDevice(device);
}

}  // namespace journal
