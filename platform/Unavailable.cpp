#include "platform/Unavailable.h"

#include "platform/WinConstants.h"

namespace platform {

bool UnavailableServices::Fail(std::uint32_t error) {
  setLastError_(error);
  return false;
}

ServiceHandle UnavailableServices::OpenServiceManager(std::uint32_t) {
  Fail(win::ERROR_ACCESS_DENIED);
  return {};
}

ServiceHandle UnavailableServices::CreateService(ServiceHandle, const ServiceConfig&) {
  Fail(win::ERROR_INVALID_HANDLE);
  return {};
}

ServiceHandle UnavailableServices::OpenService(ServiceHandle, const std::string&, std::uint32_t) {
  Fail(win::ERROR_INVALID_HANDLE);
  return {};
}

bool UnavailableServices::StartService(ServiceHandle) {
  return Fail(win::ERROR_INVALID_HANDLE);
}

bool UnavailableServices::ControlService(ServiceHandle, std::uint32_t) {
  return Fail(win::ERROR_INVALID_HANDLE);
}

bool UnavailableServices::DeleteService(ServiceHandle) {
  return Fail(win::ERROR_INVALID_HANDLE);
}

bool UnavailableServices::CloseServiceHandle(ServiceHandle) {
  return Fail(win::ERROR_INVALID_HANDLE);
}

DeviceHandle UnavailableServices::OpenDevice(const std::string&, std::uint32_t) {
  Fail(win::ERROR_FILE_NOT_FOUND);
  return {};
}

bool UnavailableServices::DeviceIoControl(DeviceHandle, std::uint32_t,
                                          const std::vector<std::uint8_t>&,
                                          std::vector<std::uint8_t>&, std::uint32_t&) {
  return Fail(win::ERROR_INVALID_HANDLE);
}

bool UnavailableServices::CloseDevice(DeviceHandle) {
  return Fail(win::ERROR_INVALID_HANDLE);
}

bool UnavailableServices::OpenProcessToken(std::uint32_t, TokenHandle&) {
  return Fail(win::ERROR_CALL_NOT_IMPLEMENTED);
}

bool UnavailableServices::LookupPrivilegeValue(const std::string&, Luid&) {
  return Fail(win::ERROR_CALL_NOT_IMPLEMENTED);
}

bool UnavailableServices::AdjustTokenPrivilege(TokenHandle, Luid, std::uint32_t) {
  return Fail(win::ERROR_CALL_NOT_IMPLEMENTED);
}

bool UnavailableServices::ExitWindows(std::uint32_t, std::uint32_t) {
  return Fail(win::ERROR_CALL_NOT_IMPLEMENTED);
}

}  // namespace platform
