#include "tools/setup-sim/SafeSave.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/sim/MachineFolder.h"
#include "platform/sim/ProfileDocument.h"
#include "platform/sim/Text.h"
#include "tools/setup-sim/Interruption.h"

namespace fs = std::filesystem;

namespace lab {

namespace {

fs::path TemporaryFolder(const fs::path& folder) {
  fs::path whole = fs::absolute(folder).lexically_normal();
  if (whole.filename().empty()) {
    whole = whole.parent_path();
  }
  return whole.parent_path() / ("." + whole.filename().string() + ".saving");
}

// The folder, made whole, without a trailing separator.
fs::path Whole(const fs::path& folder) {
  fs::path whole = fs::absolute(folder).lexically_normal();
  return whole.filename().empty() ? whole.parent_path() : whole;
}

// Exchanges two folders in one step where the file system can; else in two renames, with the
// old state kept aside until the new one is in place.
bool Exchange(const fs::path& fresh, const fs::path& folder, std::string& error) {
#ifdef RENAME_EXCHANGE
  if (::renameat2(AT_FDCWD, fresh.c_str(), AT_FDCWD, folder.c_str(), RENAME_EXCHANGE) == 0) {
    return true;
  }
#endif
  fs::path aside = folder.parent_path() / ("." + folder.filename().string() + ".previous");
  std::error_code code;
  fs::remove_all(aside, code);
  fs::rename(folder, aside, code);
  if (code) {
    error = "cannot move " + folder.string() + " aside: " + code.message();
    return false;
  }
  fs::rename(fresh, folder, code);
  if (code) {
    fs::rename(aside, folder, code);
    error = "cannot move the new state into " + folder.string();
    return false;
  }
  fs::rename(aside, fresh, code);
  return true;
}

// A copy of the folder, links copied as links, that stops when an interruption is asked for.
bool CopyFolder(const fs::path& from, const fs::path& to, const InterruptionHold& hold) {
  std::error_code code;
  fs::create_directory(to, from, code);
  for (auto it = fs::recursive_directory_iterator(from, code);
       !code && it != fs::recursive_directory_iterator() && !hold.Requested(); it.increment(code)) {
    const fs::path target = to / fs::relative(it->path(), from, code);
    if (it->is_symlink(code)) {
      fs::copy_symlink(it->path(), target, code);
    } else if (it->is_directory(code)) {
      fs::create_directory(target, it->path(), code);
    } else {
      fs::copy_file(it->path(), target, code);
    }
  }
  return !code && !hold.Requested();
}

// machine.ini describes what runs and what Windows holds open; a run closes programs, and a
// restart ends them all and releases every file: what is gone goes from the description too.
bool UpdateDescription(sim::SimMachine& machine, const fs::path& folder) {
  std::ifstream in(folder / "machine.ini", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  in.close();
  sim::ProfileDocument ini(text.str());
  for (const auto& [title, program] : ini.Entries("RunningWindows")) {
    bool open = false;
    for (const sim::SimWindow& window : machine.Processes().Windows()) {
      open = open || sim::EqualsNoCase(window.title, title);
    }
    if (!open) {
      ini.DeleteKey("RunningWindows", title);
    }
  }
  for (const auto& [path, holder] : ini.Entries("OpenFiles")) {
    const sim::FileNode* file = machine.Files().Find(path);
    if (file == nullptr || !machine.Files().InUse(file)) {
      ini.DeleteKey("OpenFiles", path);
    }
  }
  std::ofstream out(folder / "machine.ini", std::ios::binary | std::ios::trunc);
  out << ini.Text();
  return static_cast<bool>(out);
}

}  // namespace

bool CheckSavable(const fs::path& folder, std::string& error) {
  std::ifstream in(folder / "machine.ini", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  sim::ProfileDocument ini(text.str());
  const fs::path inside = Whole(folder);
  for (const char* section : {"Drives", "Shares"}) {
    for (const auto& [name, value] : ini.Entries(section)) {
      std::string host = value;
      std::size_t comma = value.rfind(',');
      if (comma != std::string::npos &&
          sim::EqualsNoCase(sim::TrimBlanks(value.substr(comma + 1)), "readonly")) {
        continue;  // read-only media are never written
      }
      fs::path where = (inside / host).lexically_normal();
      auto [end, rest] = std::mismatch(inside.begin(), inside.end(), where.begin(), where.end());
      if (end != inside.end()) {
        error = "--save: " + name + " lies outside the machine folder (" + where.string() +
                "); only a machine whose drives lie in its folder is saved whole";
        return false;
      }
    }
  }
  return true;
}

std::string SaveLeftover(const fs::path& folder) {
  std::error_code code;
  fs::path temporary = TemporaryFolder(folder);
  return fs::exists(temporary, code) ? temporary.string() : "";
}

bool SaveMachineSafely(sim::SimMachine& machine, const fs::path& folder, std::string& error,
                       const std::function<bool()>& beforeSwap) {
  const fs::path whole = Whole(folder);
  const fs::path temporary = TemporaryFolder(folder);
  // Ctrl-C waits for the next step, which then takes the temporary folder away.
  InterruptionHold hold;
  std::error_code code;
  auto giveUp = [&](const std::string& why) {
    fs::remove_all(temporary, code);
    error = hold.Requested() ? "the save was interrupted; the machine folder is as it was"
                             : "cannot save the machine: " + why;
    return false;
  };
  fs::remove_all(temporary, code);
  if (!CopyFolder(whole, temporary, hold)) {
    return giveUp("cannot write " + temporary.string());
  }
  if (!sim::SaveMachineFolder(machine, temporary, error) || hold.Requested()) {
    return giveUp(error);
  }
  if (!UpdateDescription(machine, temporary) || hold.Requested()) {
    return giveUp("cannot write " + (temporary / "machine.ini").string());
  }
  if (!beforeSwap()) {
    error = "the save was interrupted before the new state took the folder's place";
    return false;
  }
  if (hold.Requested()) {
    return giveUp("");
  }
  if (!Exchange(temporary, whole, error)) {
    return false;
  }
  fs::remove_all(temporary, code);
  return true;
}

}  // namespace lab
