#include "detect/DetectionDriver.h"

#include <vector>

#include "app/ChipIds.h"
#include "platform/WinConstants.h"

namespace detect {

namespace {

constexpr const char* kServiceName = "orvainfo";
constexpr std::uint32_t kIdentityRequest = 0;  // the control code: the value zero itself

// Runs `use` on the named service, opened with full access, and closes it again; 0 when the
// service cannot be opened.
template <class Use>
int WithService(platform::Services& services, platform::ServiceHandle manager,
                const std::string& name, Use use) {
  platform::ServiceHandle service = services.OpenService(manager, name, win::SERVICE_ALL_ACCESS);
  if (service.IsNull()) {
    return 0;
  }
  int result = use(service) ? 1 : 0;
  services.CloseServiceHandle(service);
  return result;
}

void PutLittleEndian(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

// The service manager loads the driver in its own process, where our current directory means
// nothing: a folder such as "D:.\\" (setup started as "setup" in a command prompt on D:) must
// reach it as a full path. Completed into 260 characters; a path that cannot be completed, or
// does not fit, is passed as it is.
std::string FullDriverPath(platform::Files& files, const std::string& path) {
  std::string full;
  std::uint32_t length = files.GetFullPath(path, win::MAX_PATH, full);
  return length > 0 && length < win::MAX_PATH ? full : path;
}

std::uint16_t Word(const IdentityReply& reply, std::size_t index) {
  return static_cast<std::uint16_t>(reply[2 * index] | (reply[2 * index + 1] << 8));
}

}  // namespace

int CreateDriverService(platform::Services& services, platform::ServiceHandle manager,
                        const std::string& name, const std::string& driverPath) {
  platform::ServiceConfig config;
  config.serviceName = name;
  config.displayName = name;
  config.desiredAccess = win::SERVICE_ALL_ACCESS;
  config.serviceType = win::SERVICE_KERNEL_DRIVER;
  config.startType = win::SERVICE_DEMAND_START;
  config.errorControl = win::SERVICE_ERROR_NORMAL;
  config.binaryPath = driverPath;
  platform::ServiceHandle service = services.CreateService(manager, config);
  if (service.IsNull()) {
    return 0;
  }
  services.CloseServiceHandle(service);
  return 1;
}

int StartDriverService(platform::Services& services, platform::ServiceHandle manager,
                       const std::string& name) {
  return WithService(services, manager, name, [&](platform::ServiceHandle service) {
    return services.StartService(service);
  });
}

int StopDriverService(platform::Services& services, platform::ServiceHandle manager,
                      const std::string& name) {
  return WithService(services, manager, name, [&](platform::ServiceHandle service) {
    return services.ControlService(service, win::SERVICE_CONTROL_STOP);
  });
}

int DeleteDriverService(platform::Services& services, platform::ServiceHandle manager,
                        const std::string& name) {
  return WithService(services, manager, name, [&](platform::ServiceHandle service) {
    return services.DeleteService(service);
  });
}

int QueryChipIdentity(platform::Services& services, const std::string& name, int udaMode,
                      IdentityReply& reply) {
  const std::string devicePath = "\\\\.\\" + name;  // within the 64 characters it is given
  platform::DeviceHandle device =
      services.OpenDevice(devicePath, win::GENERIC_READ | win::GENERIC_WRITE);
  if (device.IsNull()) {
    return 0;
  }
  reply.fill(0);
  // The maker's vendor and device IDs, or all zero to look for the codec behind any controller.
  std::vector<std::uint8_t> request(8, 0);
  if (udaMode == 0) {
    PutLittleEndian(request, 0, app::kMakerVendorId);
    PutLittleEndian(request, 4, app::kMakerChipId);
  }
  std::vector<std::uint8_t> answer(reply.size(), 0);
  std::uint32_t bytesReturned = 0;
  bool answered =
      services.DeviceIoControl(device, kIdentityRequest, request, answer, bytesReturned);
  std::copy(answer.begin(), answer.end(), reply.begin());
  services.CloseDevice(device);
  return answered && bytesReturned == reply.size() ? 1 : 0;
}

void RunDetectionDriver(platform::Services& services, platform::Files& files,
                        const std::string& sourceDir, app::DetectionState& detection) {
  const std::string driverPath = FullDriverPath(files, sourceDir + "orvainfo.sys");
  platform::ServiceHandle manager = services.OpenServiceManager(win::SC_MANAGER_ALL_ACCESS);
  IdentityReply reply{};
  CreateDriverService(services, manager, kServiceName, driverPath);
  StartDriverService(services, manager, kServiceName);
  QueryChipIdentity(services, kServiceName, detection.udaMode, reply);
  StopDriverService(services, manager, kServiceName);
  DeleteDriverService(services, manager, kServiceName);
  if (!manager.IsNull()) {
    services.CloseServiceHandle(manager);
  }
  detection.chipVendorId = Word(reply, 0);
  detection.chipDeviceId = Word(reply, 1);
  detection.chipSignature[0] = Word(reply, 2);
  detection.chipSignature[1] = Word(reply, 3);
}

}  // namespace detect
