// A simulated machine kept in a folder:
//   machine.ini    the Windows version, the drives and the programs left running
//   registry.reg   the registry, as REGEDIT4 text
//   drive_c/ ...   one host folder per drive letter, and per network share
//   files.txt      attributes and 8.3 names that a host folder cannot keep
// Loading checks everything before the machine is used; saving writes the registry, the
// writable drives and files.txt back.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/sim/HostFolder.h"
#include "platform/sim/SimMachine.h"

namespace sim {

class ProfileDocument;

// machine.ini's PCI BIOS ([Hardware] PciBios=) and PCI devices ([PCI]) into a PCI bus; false,
// with a message, when a device is malformed.
bool ReadPciDevices(const ProfileDocument& ini, SimHardware& hardware, std::string& error);

// Loads the machine; null with a message when the folder is missing or malformed. With `shared`,
// the host folders of its drives are taken from there, read only the first time.
std::unique_ptr<SimMachine> LoadMachineFolder(const std::filesystem::path& folder,
                                              std::string& error, HostFolders* shared = nullptr);
// Maps a host folder as a drive (a disc is read-only media: its files read as read-only).
bool MapHostFolder(SimMachine& machine, char letter, const std::filesystem::path& folder,
                   bool readOnlyMedia, std::string& error);
// The same for a drive ("D" or "D:") or a network share ("\\server\share"), with the folder
// taken from `shared` when it is given.
bool MapHostFolder(SimMachine& machine, const std::string& root,
                   const std::filesystem::path& folder, bool readOnlyMedia, std::string& error,
                   HostFolders* shared = nullptr);
// The same with a folder read before.
bool MapHostFolder(SimMachine& machine, const std::string& root, const HostFolder& folder,
                   bool readOnlyMedia, std::string& error);
bool SaveMachineFolder(SimMachine& machine, const std::filesystem::path& folder,
                       std::string& error);

}  // namespace sim
