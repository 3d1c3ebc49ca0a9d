#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinApi.h"

namespace win32 {

namespace {

SC_HANDLE Sc(platform::ServiceHandle handle) {
  return reinterpret_cast<SC_HANDLE>(handle.value);
}

platform::ServiceHandle Wrap(SC_HANDLE handle) {
  return platform::ServiceHandle{reinterpret_cast<std::uintptr_t>(handle)};
}

}  // namespace

platform::ServiceHandle Win32Services::OpenServiceManager(std::uint32_t access) {
  return Wrap(::OpenSCManagerA(nullptr, nullptr, access));
}

platform::ServiceHandle Win32Services::CreateService(platform::ServiceHandle manager,
                                                     const platform::ServiceConfig& config) {
  return Wrap(::CreateServiceA(Sc(manager), config.serviceName.c_str(), config.displayName.c_str(),
                               config.desiredAccess, config.serviceType, config.startType,
                               config.errorControl, config.binaryPath.c_str(), nullptr, nullptr,
                               nullptr, nullptr, nullptr));
}

platform::ServiceHandle Win32Services::OpenService(platform::ServiceHandle manager,
                                                   const std::string& name, std::uint32_t access) {
  return Wrap(::OpenServiceA(Sc(manager), name.c_str(), access));
}

bool Win32Services::StartService(platform::ServiceHandle service) {
  return ::StartServiceA(Sc(service), 0, nullptr) != FALSE;
}

bool Win32Services::ControlService(platform::ServiceHandle service, std::uint32_t control) {
  SERVICE_STATUS status{};
  return ::ControlService(Sc(service), control, &status) != FALSE;
}

bool Win32Services::DeleteService(platform::ServiceHandle service) {
  return ::DeleteService(Sc(service)) != FALSE;
}

bool Win32Services::CloseServiceHandle(platform::ServiceHandle handle) {
  return ::CloseServiceHandle(Sc(handle)) != FALSE;
}

platform::DeviceHandle Win32Services::OpenDevice(const std::string& path, std::uint32_t access) {
  HANDLE device = ::CreateFileA(path.c_str(), access, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  if (device == INVALID_HANDLE_VALUE) {
    return {};
  }
  return platform::DeviceHandle{reinterpret_cast<std::uintptr_t>(device)};
}

bool Win32Services::DeviceIoControl(platform::DeviceHandle device, std::uint32_t code,
                                    const std::vector<std::uint8_t>& input,
                                    std::vector<std::uint8_t>& output,
                                    std::uint32_t& bytesReturned) {
  std::vector<std::uint8_t> request = input;
  DWORD returned = 0;
  BOOL ok = ::DeviceIoControl(reinterpret_cast<HANDLE>(device.value), code, request.data(),
                              static_cast<DWORD>(request.size()), output.data(),
                              static_cast<DWORD>(output.size()), &returned, nullptr);
  bytesReturned = returned;
  return ok != FALSE;
}

bool Win32Services::CloseDevice(platform::DeviceHandle device) {
  return ::CloseHandle(reinterpret_cast<HANDLE>(device.value)) != FALSE;
}

}  // namespace win32
