// The service control manager of the simulated machine, and the detection driver: a kernel
// driver service named "orvainfo" whose device "\\.\orvainfo" answers control code 0 from the
// simulated PCI hardware once its driver file has been started.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/Services.h"
#include "platform/sim/SimCore.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimHardware.h"

namespace sim {

// How the detection driver answers its request.
enum class DriverAnswer {
  Normal,   // 256 bytes, words 0 to 3 as found on the hardware
  Short,    // the same words, but only 128 bytes reported
  None,     // the request fails
  Garbage,  // 256 bytes of noise
};

struct SimService {
  platform::ServiceConfig config;
  bool running = false;
  bool markedForDelete = false;
};

class SimServices : public platform::Services {
 public:
  SimServices(SimCore& core, SimFileSystem& files, SimHardware& hardware);

  // Without administrative rights the service manager refuses access.
  void SetAdministrator(bool administrator) { core_.administrator = administrator; }
  void SetDriverAnswer(DriverAnswer answer) { answer_ = answer; }
  // A driver file that exists but refuses to load.
  void SetDriverLoads(bool loads) { driverLoads_ = loads; }
  // A service left registered, as by an interrupted run.
  void AddService(const platform::ServiceConfig& config, bool running);
  const std::map<std::string, SimService>& Registered() const { return services_; }
  std::size_t OpenHandleCount() const { return handles_.size() + devices_.size(); }
  const std::vector<std::uint8_t>& LastRequest() const { return lastRequest_; }
  // Windows starts again: no handle is open, no driver runs, and a service marked for deletion
  // is gone.
  void StartAgain();

  platform::ServiceHandle OpenServiceManager(std::uint32_t access) override;
  platform::ServiceHandle CreateService(platform::ServiceHandle manager,
                                        const platform::ServiceConfig& config) override;
  platform::ServiceHandle OpenService(platform::ServiceHandle manager, const std::string& name,
                                      std::uint32_t access) override;
  bool StartService(platform::ServiceHandle service) override;
  bool ControlService(platform::ServiceHandle service, std::uint32_t control) override;
  bool DeleteService(platform::ServiceHandle service) override;
  bool CloseServiceHandle(platform::ServiceHandle handle) override;
  platform::DeviceHandle OpenDevice(const std::string& path, std::uint32_t access) override;
  bool DeviceIoControl(platform::DeviceHandle device, std::uint32_t code,
                       const std::vector<std::uint8_t>& input, std::vector<std::uint8_t>& output,
                       std::uint32_t& bytesReturned) override;
  bool CloseDevice(platform::DeviceHandle device) override;

 private:
  struct Handle {
    bool manager = false;
    std::string service;  // upper-cased name, for service handles
  };
  SimService* ServiceOf(platform::ServiceHandle handle);
  void RemoveIfDone(const std::string& key);
  // What the detection driver finds for a request: words 0 to 3 of its reply.
  void Identify(std::uint32_t vendor, std::uint32_t device, std::uint16_t (&words)[4]);

  SimCore& core_;
  SimFileSystem& files_;
  SimHardware& hardware_;
  bool driverLoads_ = true;
  DriverAnswer answer_ = DriverAnswer::Normal;
  std::map<std::string, SimService> services_;  // by upper-cased name
  std::map<std::uintptr_t, Handle> handles_;
  std::map<std::uintptr_t, std::string> devices_;  // open device handles -> service
  std::uintptr_t nextHandle_ = 0x3000;
  std::vector<std::uint8_t> lastRequest_;
};

}  // namespace sim
