// The multimedia system of the simulated machine: mixer devices with their product names, and
// installable driver libraries that OpenDriver loads from their files and that answer the
// driver messages as a sound driver's library does. Every message a library receives is
// journalled.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Multimedia.h"
#include "platform/sim/SimCore.h"
#include "platform/sim/SimFileSystem.h"

namespace sim {

// How a driver library answers.
struct DriverLibrary {
  bool loads = true;             // false: it answers DRV_LOAD with 0, and OpenDriver fails
  bool hasConfiguration = true;  // its answer to DRV_QUERYCONFIGURE: a configuration dialog
};

// A message a driver library received, and its answer.
struct DriverMessage {
  std::string path;  // the library as OpenDriver was given it, completed to a full path
  std::uint32_t message = 0;
  std::intptr_t param1 = 0;
  std::intptr_t param2 = 0;
  std::intptr_t reply = 0;
};

// The capabilities record's product name field holds 32 characters.
inline constexpr std::size_t kMixerNameField = 32;

class SimMultimedia : public platform::Multimedia {
 public:
  SimMultimedia(SimCore& core, SimFileSystem& files);

  // A mixer device after those already there. Its product name is what its driver puts in the
  // capabilities record: a longer name is cut to the field's 32 characters, and a name of 32
  // fills the field without a terminating zero.
  void AddMixer(const std::string& productName);
  void ClearMixers() { mixers_.clear(); }
  // How the library at a path, or every library of a file name (text without a backslash),
  // answers. A library named by neither loads and has a configuration dialog.
  void SetLibrary(const std::string& pathOrName, const DriverLibrary& library);
  const std::vector<DriverMessage>& Messages() const { return messages_; }
  std::size_t OpenDriverCount() const { return open_.size(); }
  // The drivers open in the process go with it (a restart): no message is sent.
  void ForgetOpenDrivers() { open_.clear(); }

  // platform::Multimedia
  std::uint32_t MixerCount() override;
  bool MixerProductName(std::uint32_t index, std::string& productName) override;
  platform::DriverHandle OpenDriver(const std::string& path) override;
  std::intptr_t SendDriverMessage(platform::DriverHandle driver, std::uint32_t message,
                                  std::intptr_t param1, std::intptr_t param2) override;
  void CloseDriver(platform::DriverHandle driver) override;

 private:
  struct Instance {
    std::string path;
    std::string module;  // the upper-cased path: instances of one library share it
    DriverLibrary library;
  };
  DriverLibrary LibraryOf(const FileNode* file) const;
  // The library's answer to a message, journalled and recorded.
  std::intptr_t Deliver(const Instance& instance, std::uint32_t message, std::intptr_t param1,
                        std::intptr_t param2);
  // Instances open on the same library file: the first gets DRV_LOAD and DRV_ENABLE, the last
  // DRV_DISABLE and DRV_FREE.
  std::size_t InstancesOf(const std::string& module) const;

  SimCore& core_;
  SimFileSystem& files_;
  std::vector<std::array<char, kMixerNameField>> mixers_;
  std::map<std::string, DriverLibrary> libraries_;  // by path or upper-cased file name
  std::map<std::uintptr_t, Instance> open_;
  std::uintptr_t nextHandle_ = 0x6000;
  std::vector<DriverMessage> messages_;
};

}  // namespace sim
