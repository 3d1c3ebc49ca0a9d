#include "platform/sim/MachineFolder.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <set>

#include "platform/WinConstants.h"
#include "platform/sim/ProfileDocument.h"
#include "platform/sim/Text.h"

namespace fs = std::filesystem;

namespace sim {

namespace {

bool WriteHostFile(const fs::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return static_cast<bool>(out);
}

// A file's bytes, read from the host folder now if they were not before; false with a message
// when the host file went away or changed since it was mapped.
bool HostBytes(const FileData& data, std::string& content, std::string& error) {
  try {
    content.assign(data.begin(), data.end());
    return true;
  } catch (const HostFileLost& lost) {
    error = lost.what();
    return false;
  }
}

// A drive or share of machine.ini, and the host folder that holds it.
struct Volume {
  std::string root;  // "C:" or "\\server\share"
  fs::path host;
  bool readOnlyMedia = false;
};

// "host folder" or "host folder, readonly".
Volume VolumeOf(const std::string& root, const fs::path& folder, const std::string& value) {
  std::string host = value;
  bool readOnly = false;
  std::size_t comma = value.rfind(',');
  if (comma != std::string::npos && EqualsNoCase(TrimBlanks(value.substr(comma + 1)), "readonly")) {
    host = std::string(TrimBlanks(value.substr(0, comma)));
    readOnly = true;
  }
  return Volume{root, folder / host, readOnly};
}

// The drives ([Drives] letter=host folder) and network shares ([Shares] \\server\share=host
// folder) of machine.ini.
bool ReadVolumes(const ProfileDocument& ini, const fs::path& folder, std::vector<Volume>& volumes,
                 std::string& error) {
  for (const auto& [key, value] : ini.Entries("Drives")) {
    if (key.size() != 1 || !std::isalpha(static_cast<unsigned char>(key[0]))) {
      error = "machine.ini: [Drives] entry \"" + key + "\" is not a drive letter";
      return false;
    }
    volumes.push_back(VolumeOf(Upper(key) + ":", folder, value));
  }
  if (volumes.empty()) {
    volumes.push_back(Volume{"C:", folder / "drive_c", false});
  }
  for (const auto& [key, value] : ini.Entries("Shares")) {
    std::string root = key;
    std::replace(root.begin(), root.end(), '/', '\\');
    std::vector<std::string> names =
        Split(root.substr(std::min<std::size_t>(2, root.size())), '\\');
    if (!IsUncPath(root) || names.size() != 2 || names[0].empty() || names[1].empty()) {
      error = "machine.ini: [Shares] entry \"" + key + "\" is not \\\\server\\share";
      return false;
    }
    volumes.push_back(VolumeOf(root, folder, value));
  }
  return true;
}

// [Hardware] and [PCI]: the PCI BIOS, the rights of the user, how the detection driver
// answers, and the PCI devices.
bool ReadHardware(const ProfileDocument& ini, SimMachine& machine, std::string& error) {
  if (auto administrator = ini.Get("Hardware", "Administrator")) {
    machine.Services().SetAdministrator(ProfileTextToInt(*administrator) != 0);
  }
  if (auto answer = ini.Get("Hardware", "DetectionDriver")) {
    const std::pair<const char*, DriverAnswer> answers[] = {{"normal", DriverAnswer::Normal},
                                                            {"short", DriverAnswer::Short},
                                                            {"none", DriverAnswer::None},
                                                            {"garbage", DriverAnswer::Garbage}};
    bool known = false;
    for (const auto& [name, value] : answers) {
      if (EqualsNoCase(*answer, name)) {
        machine.Services().SetDriverAnswer(value);
        known = true;
      }
    }
    if (EqualsNoCase(*answer, "unloadable")) {
      machine.Services().SetDriverLoads(false);
      known = true;
    }
    if (!known) {
      error = "machine.ini: [Hardware] DetectionDriver=\"" + *answer +
              "\" is not normal, short, none, garbage or unloadable";
      return false;
    }
  }
  return ReadPciDevices(ini, machine.Hardware(), error);
}

// [Mixers] and [DriverLibraries]: the mixer devices' product names in order, and how driver
// libraries answer, by file name or full path.
bool ReadMultimedia(const ProfileDocument& ini, SimMachine& machine, std::string& error) {
  for (const auto& [key, name] : ini.Entries("Mixers")) {
    if (name.size() > kMixerNameField) {
      error = "machine.ini: [Mixers] " + key + "=\"" + name +
              "\" is longer than the 32 characters of a mixer's product name";
      return false;
    }
    machine.Multimedia().AddMixer(name);
  }
  for (const auto& [library, behaviour] : ini.Entries("DriverLibraries")) {
    if (EqualsNoCase(behaviour, "configure")) {
      machine.Multimedia().SetLibrary(library, DriverLibrary{true, true});
    } else if (EqualsNoCase(behaviour, "noconfigure")) {
      machine.Multimedia().SetLibrary(library, DriverLibrary{true, false});
    } else if (EqualsNoCase(behaviour, "refuses")) {
      machine.Multimedia().SetLibrary(library, DriverLibrary{false, false});
    } else {
      error = "machine.ini: [DriverLibraries] " + library + "=\"" + behaviour +
              "\" is not configure, noconfigure or refuses";
      return false;
    }
  }
  return true;
}

}  // namespace

bool ReadPciDevices(const ProfileDocument& ini, SimHardware& hardware, std::string& error) {
  if (auto bios = ini.Get("Hardware", "PciBios")) {
    hardware.SetPciBios(ProfileTextToInt(*bios) != 0);
  }
  for (const auto& [slot, text] : ini.Entries("PCI")) {
    std::optional<PciDeviceSetup> device = ParsePciDevice(slot, text, error);
    if (!device) {
      error = "machine.ini: [PCI] " + error;
      return false;
    }
    hardware.AddDevice(*device);
  }
  return true;
}

bool MapHostFolder(SimMachine& machine, char letter, const fs::path& folder, bool readOnlyMedia,
                   std::string& error) {
  return MapHostFolder(machine, std::string(1, letter) + ":", folder, readOnlyMedia, error);
}

bool MapHostFolder(SimMachine& machine, const std::string& root, const fs::path& folder,
                   bool readOnlyMedia, std::string& error, HostFolders* shared) {
  std::shared_ptr<const HostFolder> read =
      shared != nullptr ? shared->Get(folder, error) : HostFolder::Read(folder, error);
  return read && MapHostFolder(machine, root, *read, readOnlyMedia, error);
}

bool MapHostFolder(SimMachine& machine, const std::string& root, const HostFolder& folder,
                   bool readOnlyMedia, std::string& error) {
  SimFileSystem& files = machine.Files();
  std::string name = root;
  if (IsUncPath(root)) {
    if (!files.AddShare(root, readOnlyMedia)) {
      error = "\"" + root + "\" is not a share \\\\server\\share";
      return false;
    }
    std::replace(name.begin(), name.end(), '/', '\\');
  } else if (root.size() >= 1 && root.size() <= 2 &&
             std::isalpha(static_cast<unsigned char>(root[0])) &&
             (root.size() == 1 || root[1] == ':')) {
    files.AddDrive(root[0], readOnlyMedia);
    name = Upper(root.substr(0, 1)) + ":";
  } else {
    error = "\"" + root + "\" is neither a drive letter nor a share \\\\server\\share";
    return false;
  }
  return folder.MapInto(files, name, readOnlyMedia, error);
}

std::unique_ptr<SimMachine> LoadMachineFolder(const fs::path& folder, std::string& error,
                                              HostFolders* shared) {
  std::error_code code;
  if (!fs::is_directory(folder, code)) {
    error = "no machine folder at " + folder.string();
    return nullptr;
  }
  std::string iniText;
  if (!ReadHostFile(folder / "machine.ini", iniText)) {
    error = "the machine folder has no machine.ini: " + (folder / "machine.ini").string();
    return nullptr;
  }
  ProfileDocument ini(iniText);
  std::string versionName = ini.Get("Windows", "Version").value_or("");
  std::optional<WindowsVersionInfo> version = FindWindowsVersion(versionName);
  if (!version) {
    error = "machine.ini: [Windows] Version=\"" + versionName +
            "\" is not one of 95, 98, 98SE, ME, NT4, 2000, XP";
    return nullptr;
  }
  auto machine = std::make_unique<SimMachine>(version->version);
  platform::OsVersion os = version->os;
  if (auto build = ini.Get("Windows", "Build")) {
    os.buildNumber = ProfileTextToInt(*build);
  }
  if (auto csd = ini.Get("Windows", "CSDVersion")) {
    os.csdVersion = *csd;
  }
  machine->SetVersion(os);
  if (auto user = ini.Get("Windows", "CurrentUser")) {
    machine->Registry().SetCurrentUser(*user);
  }

  std::vector<Volume> volumes;
  if (!ReadVolumes(ini, folder, volumes, error)) {
    return nullptr;
  }
  for (const Volume& volume : volumes) {
    if (!MapHostFolder(*machine, volume.root, volume.host, volume.readOnlyMedia, error, shared)) {
      return nullptr;
    }
  }
  if (auto windows = ini.Get("Windows", "Folder")) {
    machine->Files().MakeFoldersDirect(*windows);
    machine->Files().SetWindowsFolder(*windows);
  }

  // registry.reg and files.txt may be left out, but one that is there must be readable.
  auto readOptional = [&](const char* name, std::optional<std::string>& text) {
    std::error_code missing;
    if (!fs::exists(folder / name, missing)) {
      return true;
    }
    text.emplace();
    if (ReadHostFile(folder / name, *text)) {
      return true;
    }
    error = std::string("cannot read ") + name + ": " + (folder / name).string();
    return false;
  };
  std::optional<std::string> registryText;
  std::optional<std::string> meta;
  if (!readOptional("registry.reg", registryText) || !readOptional("files.txt", meta)) {
    return nullptr;
  }
  if (registryText && !machine->Registry().Import(*registryText, error)) {
    error = "registry.reg, " + error;
    return nullptr;
  }

  if (meta) {
    std::size_t number = 0;
    for (std::string line : Split(*meta, '\n')) {
      ++number;
      if (!line.empty() && line.back() == '\r') {
        line.pop_back();
      }
      if (line.empty() || line[0] == ';') {
        continue;
      }
      std::vector<std::string> fields = Split(line, '\t');
      FileNode* node = fields.size() == 3 ? machine->Files().Find(fields[2]) : nullptr;
      if (node == nullptr) {
        error = "files.txt line " + std::to_string(number) +
                ": expected attributes, 8.3 name and the path of an existing file";
        return nullptr;
      }
      node->attributes = ProfileTextToInt(fields[0]) & 0x27;
      if (!fields[1].empty()) {
        node->SetShortName(fields[1]);
      }
    }
  }

  if (!ReadHardware(ini, *machine, error) || !ReadMultimedia(ini, *machine, error)) {
    return nullptr;
  }
  for (const auto& [title, program] : ini.Entries("RunningWindows")) {
    machine->Processes().AddRunningWindow(title, program);
  }
  // Files Windows itself holds open until the next start, such as a loaded driver.
  for (const auto& [path, holder] : ini.Entries("OpenFiles")) {
    if (machine->Files().Find(path) == nullptr) {
      error = "machine.ini: [OpenFiles] names " + path + ", which the machine does not have";
      return nullptr;
    }
    machine->Files().SetInUse(path, true);
  }
  machine->Core().journal.clear();
  return machine;
}

bool SaveMachineFolder(SimMachine& machine, const fs::path& folder, std::string& error) {
  std::string iniText;
  if (!ReadHostFile(folder / "machine.ini", iniText)) {
    error = "the machine folder has no machine.ini";
    return false;
  }
  ProfileDocument ini(iniText);
  std::vector<Volume> volumes;
  if (!ReadVolumes(ini, folder, volumes, error)) {
    return false;
  }
  std::string meta = "; attributes<TAB>8.3 name<TAB>path, for what a host folder cannot keep\n";
  std::error_code code;
  for (const Volume& volume : volumes) {
    if (machine.Files().IsReadOnlyMedia(volume.root)) {
      continue;
    }
    const fs::path& host = volume.host;
    std::set<std::string> keep;
    std::string lost;  // a file of the folder that went away since it was mapped
    machine.Files().Walk(volume.root, [&](const std::string& path, const FileNode& node) {
      fs::path target = host;
      for (const std::string& part : Split(path.substr(volume.root.size() + 1), '\\')) {
        target /= part;
      }
      keep.insert(target.string());
      if (node.isFolder) {
        fs::create_directories(target, code);
      } else {
        std::string content;
        std::string existing;
        if (!HostBytes(node.data, content, lost)) {
          return;
        }
        if (!ReadHostFile(target, existing) || existing != content) {
          WriteHostFile(target, content);
        }
      }
      if (node.attributes != 0 || !node.shortName.empty()) {
        meta += "0x" +
                [&] {
                  char buffer[8];
                  std::snprintf(buffer, sizeof buffer, "%02X", node.attributes);
                  return std::string(buffer);
                }() +
                "\t" + node.shortName + "\t" + path + "\n";
      }
    });
    if (!lost.empty()) {
      error = lost;
      return false;
    }
    // Whatever the machine no longer has goes from the host folder too.
    std::vector<fs::path> stale;
    for (auto it = fs::recursive_directory_iterator(host, code);
         !code && it != fs::recursive_directory_iterator(); it.increment(code)) {
      if (keep.count(it->path().string()) == 0) {
        stale.push_back(it->path());
        it.disable_recursion_pending();
      }
    }
    for (const fs::path& path : stale) {
      fs::remove_all(path, code);
    }
  }
  if (!WriteHostFile(folder / "registry.reg", machine.Registry().Export()) ||
      !WriteHostFile(folder / "files.txt", meta)) {
    error = "cannot write into " + folder.string();
    return false;
  }
  return true;
}

}  // namespace sim
