#include "tests/hardening/PowerLossCases.h"

#include <cctype>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "platform/sim/SimMachine.h"

namespace hardening {

namespace {

using State = std::optional<std::string>;

std::string Upper(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return text;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && Upper(text.substr(text.size() - tail.size())) == tail;
}

bool IsFile(const std::string& place) {
  return place.rfind("file ", 0) == 0;
}

// A file's attributes and its content, as the dump holds them ("32 text...").
std::string AttributesOf(const std::string& state) {
  return state.substr(0, state.find(' '));
}
std::string ContentOf(const std::string& state) {
  std::size_t blank = state.find(' ');
  return blank == std::string::npos ? "" : state.substr(blank + 1);
}

// The sections and keys a profile text names, as a reader finds their lines.
std::set<std::pair<std::string, std::string>> ProfileNames(const std::string& text) {
  std::set<std::pair<std::string, std::string>> names;
  std::string section;
  std::istringstream lines(text);
  std::string line;
  auto trim = [](std::string value) {
    value.erase(0, value.find_first_not_of(" \t\r"));
    value.erase(value.find_last_not_of(" \t\r") + 1);
    return value;
  };
  while (std::getline(lines, line)) {
    line = trim(line);
    if (!line.empty() && line[0] == '[') {
      section = trim(line.substr(1, line.find(']') - 1));
    } else if (line.find('=') != std::string::npos && line[0] != ';') {
      names.insert({section, trim(line.substr(0, line.find('=')))});
    }
  }
  return names;
}

// Every entry of two profile texts reads the same through the profile functions.
bool ReadTheSame(const std::string& one, const std::string& other) {
  sim::SimMachine scratch;
  scratch.Files().WriteFileDirect("C:\\ONE.INI", one);
  scratch.Files().WriteFileDirect("C:\\OTHER.INI", other);
  std::set<std::pair<std::string, std::string>> names = ProfileNames(one);
  names.merge(ProfileNames(other));
  platform::Profiles& profiles = scratch.Platform().profiles;
  for (const auto& [section, key] : names) {
    if (profiles.GetString(section, key, "<none>", 1024, "C:\\ONE.INI") !=
        profiles.GetString(section, key, "<none>", 1024, "C:\\OTHER.INI")) {
      return false;
    }
  }
  return true;
}

// A registry string value as the dump holds it ("=\"text\""), without its quotes.
std::string RegText(const State& state) {
  if (!state || state->size() < 3 || (*state)[0] != '=' || (*state)[1] != '"') {
    return state ? *state : "";
  }
  return state->substr(2, state->size() - 3);
}

struct Rule {
  Explained explained;
  bool (*covers)(const std::string& place, const State& expected, const State& got);
};

const std::vector<Rule>& AllowedRules() {
  static const std::vector<Rule> rules{
      {{"profile layout",
        "A profile file the launcher writes (ORVSETUP.INI, OVCDPLAY.INI, WININIT.INI...) may "
        "keep the partial line or section header of a write the power cut: the profile "
        "functions rewrite the file whole, and the run after the start writes every entry "
        "again but cannot take the stray line out. No profile reader sees it: every entry reads "
        "the same as after one uninterrupted run."},
       [](const std::string& place, const State& expected, const State& got) {
         return IsFile(place) && EndsWith(place, ".INI") && expected && got &&
                AttributesOf(*expected) == AttributesOf(*got) &&
                ReadTheSame(ContentOf(*expected), ContentOf(*got));
       }},
      {{"order of the recent install locations",
        "When the power failed between writing the staging folder into a letter of "
        "InstallLocationsMRU and writing \"MRUList\", the run after the start finds the folder "
        "listed and writes nothing, as it must: \"MRUList\" lacks the folder's letter. The "
        "folder stays among the recent locations; the INF copies name it themselves, so the "
        "hardware wizard finds the driver all the same."},
       [](const std::string& place, const State& expected, const State& got) {
         const std::string want = RegText(expected);
         return EndsWith(place, "\\INSTALLLOCATIONSMRU \"MRULIST\"") && !want.empty() &&
                want.substr(1) == RegText(got);
       }},
      {{"earlier driver file deleted instead of renamed",
        "An earlier driver file in use when the power failed is deleted by the run after the "
        "start, which the first run could only schedule for a rename to its backup name at the "
        "next start: the simulated start loads no earlier driver again, so the file is free. "
        "The backup (*.OLD) and Windows' record of the renames (WININIT.BAK) may then be "
        "missing or hold the first run's list; the earlier driver is gone either way."},
       [](const std::string& place, const State& expected, const State& got) {
         return IsFile(place) &&
                ((EndsWith(place, ".OLD") && expected && !got) || EndsWith(place, "\\WININIT.BAK"));
       }},
  };
  return rules;
}

const std::vector<Rule>& ListedRules() {
  static const std::vector<Rule> rules{
      {{"earlier mixer program kept",
        "Power lost before the launcher closed the running \"Mixer\" window (the first step of "
        "the VxD staging) leaves C:\\WINDOWS\\Mixer.exe: after the start the mixer no longer "
        "runs, and the launcher deletes its program only after closing its window. The user "
        "keeps the earlier suite's mixer program (not running, no driver file); a second run "
        "keeps it too, until the mixer is started again."},
       [](const std::string& place, const State& expected, const State& got) {
         return IsFile(place) && EndsWith(place, "\\MIXER.EXE") && !expected && got;
       }},
      {{"earlier 3D-audio and ASIO registrations kept",
        "Power lost after the registry purge removed the earlier driver's hardware keys and "
        "before it removed its 3D-audio and ASIO keys: the purge run again finds no hardware "
        "key and, as it must, leaves the 3D-audio and ASIO keys alone. ASIO hosts still list "
        "the earlier driver and the Spherix 3D class stays registered, both naming files the "
        "retirement removed; a second run changes nothing."},
       [](const std::string& place, const State& expected, const State& got) {
         const std::string upper = Upper(place);
         return !expected && got && upper.rfind("REGISTRY ", 0) == 0 &&
                (upper.find("\\SOFTWARE\\ASIO") != std::string::npos ||
                 upper.find("\\CLASSES\\SPHERIX") != std::string::npos ||
                 upper.find("{D8F1EEE0-F634-11CF-8700-00A0245D918B}") != std::string::npos ||
                 upper.find("{188135E1-D565-11D2-854F-00A0C99F5D19}") != std::string::npos);
       }},
  };
  return rules;
}

std::vector<Explained> Names(const std::vector<Rule>& rules) {
  std::vector<Explained> names;
  for (const Rule& rule : rules) {
    names.push_back(rule.explained);
  }
  return names;
}

State Find(const MachineDump& dump, const std::string& place) {
  auto it = dump.find(place);
  return it == dump.end() ? State() : State(it->second);
}

// A file the start leaves in place of a retired one: no file the run installs.
bool RetiredBackup(const std::string& place) {
  return EndsWith(place, ".OLD") || EndsWith(place, "\\WININIT.BAK");
}

}  // namespace

const std::vector<Explained>& AllowedDifferences() {
  static const std::vector<Explained> names = Names(AllowedRules());
  return names;
}

const std::vector<Explained>& ListedCases() {
  static const std::vector<Explained> names = Names(ListedRules());
  return names;
}

Verdict Judge(const ReferenceEnd& reference, const CaseEnd& got) {
  Verdict verdict;
  if (got.launcherEnd != reference.launcherEnd) {
    verdict.findings.push_back("the run after the start ends with " + got.launcherEnd +
                               " instead of " + reference.launcherEnd);
  }
  if (got.programs != reference.programs) {
    verdict.findings.push_back("the run after the start starts other programs");
  }
  for (const std::string& place : Changed(reference.end, got.end)) {
    const State expected = Find(reference.end, place);
    const State state = Find(got.end, place);
    const State before = Find(reference.before, place);
    const bool installed = IsFile(place) && expected && expected != before &&
                           *expected != "<folder>" && !RetiredBackup(place);
    const bool removed = IsFile(place) && before && !expected;
    auto covered = [&](const std::vector<Rule>& rules, std::vector<std::string>& names) {
      for (const Rule& rule : rules) {
        if (rule.covers(place, expected, state)) {
          names.push_back(rule.explained.name);
          return true;
        }
      }
      return false;
    };
    if (covered(AllowedRules(), verdict.allowed) || covered(ListedRules(), verdict.listed)) {
      continue;
    }
    if (installed) {
      verdict.findings.push_back(place + (state ? " installed cut" : " installed missing"));
    } else if (removed) {
      verdict.findings.push_back(place + " of an earlier driver left");
    } else {
      verdict.findings.push_back(place + (!state ? " missing" : expected ? " differs" : " left"));
    }
  }
  return verdict;
}

}  // namespace hardening
