// Service control manager and device I/O: OpenSCManagerA, CreateServiceA, OpenServiceA,
// StartServiceA, ControlService, DeleteService, CloseServiceHandle, CreateFileA on a device,
// DeviceIoControl, CloseHandle. Calls that return bool leave the reason in GetLastError.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Handle.h"

namespace platform {

struct ServiceConfig {  // the arguments of CreateServiceA the detection driver uses
  std::string serviceName;
  std::string displayName;
  std::uint32_t desiredAccess = 0;
  std::uint32_t serviceType = 0;
  std::uint32_t startType = 0;
  std::uint32_t errorControl = 0;
  std::string binaryPath;
};

class Services {
 public:
  virtual ~Services() = default;

  virtual ServiceHandle OpenServiceManager(std::uint32_t access) = 0;
  virtual ServiceHandle CreateService(ServiceHandle manager, const ServiceConfig& config) = 0;
  virtual ServiceHandle OpenService(ServiceHandle manager, const std::string& name,
                                    std::uint32_t access) = 0;
  virtual bool StartService(ServiceHandle service) = 0;
  virtual bool ControlService(ServiceHandle service, std::uint32_t control) = 0;
  virtual bool DeleteService(ServiceHandle service) = 0;
  virtual bool CloseServiceHandle(ServiceHandle handle) = 0;
  // CreateFileA of a device path ("\\.\name"); null when it cannot be opened.
  virtual DeviceHandle OpenDevice(const std::string& path, std::uint32_t access) = 0;
  // DeviceIoControl without overlapped I/O. `output` has the caller's buffer size; on success
  // `bytesReturned` says how much of it the driver filled.
  virtual bool DeviceIoControl(DeviceHandle device, std::uint32_t code,
                               const std::vector<std::uint8_t>& input,
                               std::vector<std::uint8_t>& output, std::uint32_t& bytesReturned) = 0;
  virtual bool CloseDevice(DeviceHandle device) = 0;
};

}  // namespace platform
