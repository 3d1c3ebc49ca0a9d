// Services whose backends come with the detection, user-interface and installer work that needs
// them. Until then both backends answer as a machine without them would: no service manager
// access, no PCI BIOS, no mixer devices, no token and no restart.
#pragma once

#include <functional>

#include "platform/Hardware.h"
#include "platform/Multimedia.h"
#include "platform/Security.h"
#include "platform/Services.h"

namespace platform {

class UnavailableServices : public Services, public Hardware, public Multimedia, public Security {
 public:
  explicit UnavailableServices(std::function<void(std::uint32_t)> setLastError)
      : setLastError_(std::move(setLastError)) {}

  ServiceHandle OpenServiceManager(std::uint32_t access) override;
  ServiceHandle CreateService(ServiceHandle manager, const ServiceConfig& config) override;
  ServiceHandle OpenService(ServiceHandle manager, const std::string& name,
                            std::uint32_t access) override;
  bool StartService(ServiceHandle service) override;
  bool ControlService(ServiceHandle service, std::uint32_t control) override;
  bool DeleteService(ServiceHandle service) override;
  bool CloseServiceHandle(ServiceHandle handle) override;
  DeviceHandle OpenDevice(const std::string& path, std::uint32_t access) override;
  bool DeviceIoControl(DeviceHandle device, std::uint32_t code,
                       const std::vector<std::uint8_t>& input, std::vector<std::uint8_t>& output,
                       std::uint32_t& bytesReturned) override;
  bool CloseDevice(DeviceHandle device) override;

  bool PciInstallationCheck() override { return false; }
  std::uint8_t PciReadConfigByte(std::uint8_t, std::uint8_t, std::uint16_t) override {
    return 0xFF;
  }
  std::uint16_t PciReadConfigWord(std::uint8_t, std::uint8_t, std::uint16_t) override {
    return 0xFFFF;
  }
  void PciWriteConfigWord(std::uint8_t, std::uint8_t, std::uint16_t, std::uint16_t) override {}
  std::uint16_t PortRead16(std::uint16_t) override { return 0xFFFF; }
  std::uint32_t PortRead32(std::uint16_t) override { return 0xFFFFFFFF; }
  void PortWrite32(std::uint16_t, std::uint32_t) override {}

  std::uint32_t MixerCount() override { return 0; }
  bool MixerProductName(std::uint32_t, std::string&) override { return false; }
  DriverHandle OpenDriver(const std::string&) override { return {}; }
  std::intptr_t SendDriverMessage(DriverHandle, std::uint32_t, std::intptr_t,
                                  std::intptr_t) override {
    return 0;
  }
  void CloseDriver(DriverHandle) override {}

  bool OpenProcessToken(std::uint32_t access, TokenHandle& token) override;
  bool LookupPrivilegeValue(const std::string& name, Luid& luid) override;
  bool AdjustTokenPrivilege(TokenHandle token, Luid luid, std::uint32_t attributes) override;
  void CloseToken(TokenHandle) override {}
  bool ExitWindows(std::uint32_t flags, std::uint32_t reserved) override;

 private:
  bool Fail(std::uint32_t error);

  std::function<void(std::uint32_t)> setLastError_;
};

}  // namespace platform
