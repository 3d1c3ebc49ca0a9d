#include "platform/sim/SimMachine.h"

#include "platform/WinConstants.h"
#include "platform/journal/JournalWords.h"
#include "platform/sim/Text.h"

namespace sim {

namespace {

constexpr const char* kSessionManager =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const char* kPendingRenames = "PendingFileRenameOperations";

platform::OsVersion Os(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor,
                       std::uint32_t build, const char* csd) {
  return platform::OsVersion{major, minor, build, platformId, csd};
}

}  // namespace

const std::vector<WindowsVersionInfo>& KnownWindowsVersions() {
  using win::VER_PLATFORM_WIN32_NT;
  using win::VER_PLATFORM_WIN32_WINDOWS;
  // On the 9x family the high word of the build number repeats the version.
  static const std::vector<WindowsVersionInfo> versions{
      {WindowsVersion::Win95, "95", Os(VER_PLATFORM_WIN32_WINDOWS, 4, 0, 0x040003B6, ""),
       "C:\\WINDOWS"},
      {WindowsVersion::Win98, "98", Os(VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0x040A07CE, " A "),
       "C:\\WINDOWS"},
      {WindowsVersion::Win98SE, "98SE", Os(VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0x040A08AE, " A "),
       "C:\\WINDOWS"},
      {WindowsVersion::WinME, "ME", Os(VER_PLATFORM_WIN32_WINDOWS, 4, 90, 0x045A0BB8, " "),
       "C:\\WINDOWS"},
      {WindowsVersion::NT4, "NT4", Os(VER_PLATFORM_WIN32_NT, 4, 0, 1381, "Service Pack 6"),
       "C:\\WINNT"},
      {WindowsVersion::Win2000, "2000", Os(VER_PLATFORM_WIN32_NT, 5, 0, 2195, "Service Pack 4"),
       "C:\\WINNT"},
      {WindowsVersion::WinXP, "XP", Os(VER_PLATFORM_WIN32_NT, 5, 1, 2600, "Service Pack 2"),
       "C:\\WINDOWS"},
  };
  return versions;
}

std::optional<WindowsVersionInfo> FindWindowsVersion(const std::string& name) {
  for (const WindowsVersionInfo& info : KnownWindowsVersions()) {
    if (EqualsNoCase(info.name, name)) {
      return info;
    }
  }
  return std::nullopt;
}

SimMachine::SimMachine(WindowsVersion version)
    : registry_(core_),
      files_(core_),
      profiles_(core_, files_),
      processes_(core_, files_),
      hardware_(core_),
      services_(core_, files_, hardware_),
      dialogs_(core_),
      security_(core_),
      multimedia_(core_, files_),
      platform_{*this,    registry_, profiles_, files_,      processes_, *this,
                dialogs_, services_, hardware_, multimedia_, security_} {
  const WindowsVersionInfo* info = nullptr;
  for (const WindowsVersionInfo& known : KnownWindowsVersions()) {
    if (known.version == version) {
      info = &known;
    }
  }
  core_.version = info->os;
  files_.AddDrive('C', false);
  files_.SetWindowsFolder(info->windowsFolder);
  std::string windows = info->windowsFolder;
  bool nt = core_.IsNt();
  for (const char* sub : {"", "\\SYSTEM", "\\INF", "\\TEMP"}) {
    files_.MakeFoldersDirect(windows + sub);
  }
  if (nt) {
    files_.MakeFoldersDirect(windows + "\\system32\\drivers");
    registry_.EnsureKey(kSessionManager);  // where the moves for the next start are listed
  }
  registry_.SetCurrentUser(nt ? "S-1-5-21-1004336348-1177238915-682003330-1000" : ".DEFAULT");
  processes_.SetOwnWindows(
      [this](platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam) {
        return dialogs_.SendMessage(window, message, wParam);
      });
  files_.SetOpenByPrograms([this](const std::string& path) { return processes_.Running(path); });
  files_.SetDelayedMoveRecorder(
      [this](const std::string& source, const std::string& target, bool replace) {
        return RecordDelayedMove(source, target, replace);
      });
  files_.SetCurrentFolderDirect(windows);
  core_.power.Attach(registry_, [this] {
    // Every program stops with the power, and Windows holds no file open any longer.
    processes_.EndAll();
    files_.ClearInUse();
    multimedia_.ForgetOpenDrivers();
  });
}

SimMachine::~SimMachine() = default;

void SimMachine::SetVersion(const platform::OsVersion& version) {
  core_.version = version;
}

void SimMachine::SetCommandLine(const std::string& programPath, const std::string& arguments) {
  programPath_ = programPath;
  arguments_ = arguments;
  std::string full = files_.FullPath(programPath);
  std::size_t slash = full.rfind('\\');
  if (slash != std::string::npos) {
    processes_.SetProgramFolder(full.substr(0, slash));
  }
}

bool SimMachine::GetVersion(platform::OsVersion& result) {
  if (core_.Injected(Call::GetVersionExA)) {
    return false;
  }
  result = core_.version;
  return true;
}

void SimMachine::Sleep(std::uint32_t milliseconds) {
  SleepEx(milliseconds, false);
}

std::uint32_t SimMachine::SleepEx(std::uint32_t milliseconds, bool alertable) {
  (void)alertable;
  if (core_.power.IsOff()) {
    core_.PowerLost();
  }
  core_.Record("wait", std::to_string(milliseconds) + " ms");
  core_.Advance(milliseconds);
  return 0;
}

void SimMachine::ExitProcess(int exitCode) {
  if (core_.power.IsOff()) {
    core_.PowerLost();  // the process ended with the power
  }
  core_.Record("process", "exit with code " + std::to_string(exitCode));
  throw ProcessExit{exitCode};
}

int SimMachine::ShowMessageBox(platform::WindowHandle owner, const std::string& text,
                               const std::string& caption, std::uint32_t type) {
  (void)owner;
  if (core_.Injected(Call::MessageBoxA)) {
    return 0;  // the box is not shown: its answer stays for the next one
  }
  int answer = win::IDOK;
  if (!messageBoxAnswers_.empty()) {
    answer = messageBoxAnswers_.front();
    messageBoxAnswers_.pop_front();
  } else if ((type & 0xF) == win::MB_YESNO) {
    answer = win::IDYES;
  }
  core_.Record("ui", journal::MessageBoxAnswered(caption, text, answer));
  return answer;
}

bool SimMachine::RecordDelayedMove(const std::string& source, const std::string& target,
                                   bool replace) {
  // MoveFileExA writes the session manager's key itself: a user who may not write it is refused.
  if (!registry_.WriteAllowed(kSessionManager)) {
    return false;
  }
  RegNode* key = registry_.EnsureKey(kSessionManager);
  RegValue* value = key->FindValue(kPendingRenames);
  if (value == nullptr) {
    key->values.push_back(RegValue{kPendingRenames, win::REG_MULTI_SZ, {0}});
    value = &key->values.back();
  }
  // REG_MULTI_SZ: pairs of "\??\source" and "!\??\target" (or "" to delete), then one more zero.
  std::vector<std::uint8_t>& data = value->data;
  if (!data.empty() && data.back() == 0) {
    data.pop_back();
  }
  std::string entry = "\\??\\" + source;
  data.insert(data.end(), entry.begin(), entry.end());
  data.push_back(0);
  std::string to = target.empty() ? "" : (replace ? "!" : "") + std::string("\\??\\") + target;
  data.insert(data.end(), to.begin(), to.end());
  data.push_back(0);
  data.push_back(0);
  return true;
}

BootRenameList SimMachine::ReadBootRenames() const {
  if (core_.IsNt()) {
    const RegValue* value = registry_.FindValue(kSessionManager, kPendingRenames);
    return value == nullptr ? BootRenameList{} : ReadPendingFileRenames(value->type, value->data);
  }
  std::optional<std::string> text = files_.ReadFileDirect(files_.WindowsFolder() + "\\WININIT.INI");
  return text ? ReadWininit(*text) : BootRenameList{};
}

std::vector<SimMachine::PendingRename> SimMachine::PendingRenames() const {
  std::vector<PendingRename> renames;
  for (const BootRename& rename : ReadBootRenames().renames) {
    renames.push_back(PendingRename{rename.source, rename.target, rename.replace});
  }
  return renames;
}

std::optional<std::string> SimMachine::ApplyOnNt(const BootRename& rename) {
  FileNode* node = files_.Find(rename.source);
  if (node == nullptr) {
    return "it is not there";
  }
  if (rename.target.empty()) {
    // The session manager deletes through the file's disposition, which a read-only file refuses.
    if (node->attributes & win::FILE_ATTRIBUTE_READONLY) {
      return "it is read-only";
    }
    // A folder goes only when it is empty.
    if (node->isFolder && !node->children.empty()) {
      return "it is a folder that is not empty";
    }
    files_.RemoveDirect(rename.source);
    return std::nullopt;
  }
  if (FileNode* existing = files_.Find(rename.target); existing != nullptr && existing != node) {
    if (!rename.replace) {
      return rename.target + " exists and was not to be replaced";
    }
    // A read-only target is made normal and replaced.
    existing->attributes &= ~win::FILE_ATTRIBUTE_READONLY;
  }
  return files_.MoveDirect(rename.source, rename.target)
             ? std::nullopt
             : std::optional<std::string>("the target's folder is not there");
}

std::optional<std::string> SimMachine::ApplyInRealMode(const BootRename& rename) {
  // WININIT.EXE runs before Windows, under MS-DOS: it knows 8.3 names only.
  FileNode* node = files_.FindByShortNames(rename.source);
  if (node == nullptr) {
    return "WININIT.EXE finds no file by the 8.3 path " + rename.source;
  }
  if (node->isFolder) {
    return "it is a folder";
  }
  if (rename.target.empty()) {
    files_.RemoveDirect(rename.source);
    return std::nullopt;
  }
  if (files_.FindByShortNames(rename.target, true) == nullptr) {
    return rename.target + " is no 8.3 path WININIT.EXE can reach";
  }
  return files_.MoveDirect(rename.source, rename.target)
             ? std::nullopt
             : std::optional<std::string>("it cannot be moved");
}

void SimMachine::Apply(const BootRename& rename) {
  std::optional<std::string> failure = core_.IsNt() ? ApplyOnNt(rename) : ApplyInRealMode(rename);
  std::string what = rename.target.empty() ? "delete " + rename.source
                                           : "rename " + rename.source + " -> " + rename.target;
  if (failure) {
    core_.Record("restart", "could not " + what + ": " + *failure);
  } else {
    core_.Record("restart", (rename.target.empty() ? "deleted " : "renamed ") +
                                what.substr(what.find(' ') + 1));
  }
}

void SimMachine::BeginStart() {
  core_.Record("restart", "Windows restarts");
  processes_.EndAll();
  multimedia_.ForgetOpenDrivers();
  files_.ClearInUse();
}

void SimMachine::Restart() {
  BeginStart();
  BootRenameList list = ReadBootRenames();
  for (const std::string& note : list.passedOver) {
    core_.Record("restart", note);
  }
  for (const BootRename& rename : list.renames) {
    Apply(rename);
  }
  // The list is used up: NT clears its value, WININIT.EXE keeps the file as WININIT.BAK.
  if (core_.IsNt()) {
    if (RegNode* key = const_cast<RegNode*>(registry_.FindKey(kSessionManager))) {
      for (auto it = key->values.begin(); it != key->values.end(); ++it) {
        if (EqualsNoCase(it->name, kPendingRenames)) {
          key->values.erase(it);
          break;
        }
      }
    }
  } else if (files_.Find(files_.WindowsFolder() + "\\WININIT.INI") != nullptr) {
    files_.MoveDirect(files_.WindowsFolder() + "\\WININIT.INI",
                      files_.WindowsFolder() + "\\WININIT.BAK");
  }
}

}  // namespace sim
