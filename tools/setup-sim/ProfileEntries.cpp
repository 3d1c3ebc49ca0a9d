#include "tools/setup-sim/ProfileEntries.h"

#include <map>
#include <set>
#include <tuple>

#include "platform/sim/ProfileDocument.h"
#include "platform/sim/Text.h"

namespace lab {

namespace {

// A profile file's text before the run and as the run left it; none where it was not there.
struct FileTexts {
  std::optional<sim::ProfileDocument> before;
  std::optional<sim::ProfileDocument> after;
};

FileTexts ReadTexts(const std::string& file, const MachineState& before, sim::SimMachine& machine) {
  FileTexts texts;
  if (auto found = before.files.find(sim::Upper(file));
      found != before.files.end() && !found->second.isFolder) {
    const sim::FileData& data = found->second.data;
    texts.before.emplace(std::string(data.begin(), data.end()));
  }
  if (std::optional<std::string> now = machine.Files().ReadFileDirect(file)) {
    texts.after.emplace(*now);
  }
  return texts;
}

std::optional<std::string> Value(const std::optional<sim::ProfileDocument>& document,
                                 const std::string& section, const std::string& key) {
  return document ? document->Get(section, key) : std::nullopt;
}

}  // namespace

std::vector<ProfileEntry> ProfileEndState(const std::vector<ProfileWrite>& writes,
                                          const MachineState& before, sim::SimMachine& machine) {
  // The keys in the order they were first written, each once (names ignore case).
  std::vector<ProfileEntry> keys;
  std::set<std::tuple<std::string, std::string, std::string>> seen;
  std::map<std::string, FileTexts> texts;  // by upper-cased file
  auto add = [&](const std::string& file, const std::string& section, const std::string& key) {
    if (seen.emplace(sim::Upper(file), sim::Upper(section), sim::Upper(key)).second) {
      keys.push_back(ProfileEntry{file, section, key, std::nullopt, std::nullopt});
    }
  };
  for (const ProfileWrite& write : writes) {
    auto [text, fresh] = texts.try_emplace(sim::Upper(write.file));
    if (fresh) {
      text->second = ReadTexts(write.file, before, machine);
    }
    if (write.key) {
      add(write.file, write.section, *write.key);
    } else if (text->second.before) {
      for (const auto& [key, value] : text->second.before->Entries(write.section)) {
        add(write.file, write.section, key);
      }
    }
  }
  std::vector<ProfileEntry> changed;
  for (ProfileEntry& entry : keys) {
    const FileTexts& text = texts[sim::Upper(entry.file)];
    entry.before = Value(text.before, entry.section, entry.key);
    entry.after = Value(text.after, entry.section, entry.key);
    if (entry.before != entry.after) {
      changed.push_back(std::move(entry));
    }
  }
  return changed;
}

}  // namespace lab
