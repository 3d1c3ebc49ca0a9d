#include "tests/differential/Comparison.h"

#include <memory>
#include <set>
#include <vector>

#include "tests/FoundNames.h"
#include "tests/differential/WineView.h"

namespace differential {

namespace {

std::string List(const std::set<std::string>& names) {
  std::string text;
  for (const std::string& name : names) {
    text += (text.empty() ? "" : ", ") + ("\"" + Escape(name) + "\"");
  }
  return "{" + text + "}";
}

}  // namespace

Comparison::Comparison(Side simulated, Side real, std::string folder, std::FILE* report)
    : simulated_(simulated), real_(real), folder_(std::move(folder)), report_(report) {}

bool Comparison::WriteFile(Side& side, const std::string& path, const std::string& text) {
  std::unique_ptr<platform::Stream> stream = side.files.OpenStream(path, "wb");
  return stream && stream->Write(text.data(), text.size()) == text.size();
}

std::string Comparison::Ask(Side& side, const ProfileQuery& query, const std::string& file) {
  if (query.integer) {
    return std::to_string(side.profiles.GetInt(query.section, query.key, query.defaultValue, file));
  }
  return "\"" +
         Escape(side.profiles.GetString(query.section, query.key, query.defaultText, query.capacity,
                                        file)) +
         "\"";
}

void Comparison::CompareProfile(const ProfileCase& profile, std::size_t number) {
  ++profiles_.cases;
  const std::string base = folder_ + "p" + std::to_string(number);
  const std::string file = base + ".ini";
  if (!WriteFile(simulated_, file, profile.text) || !WriteFile(real_, file, profile.text)) {
    std::fprintf(report_, "profile %zu: cannot write %s\n", number, file.c_str());
    ++profiles_.unexplained;
    return;
  }
  bool reported = false;
  CompareReads(profile.queries, file, profile.text, "profile " + std::to_string(number), reported);
  real_.files.DeleteFile(file);
  simulated_.files.DeleteFile(file);
}

void Comparison::CompareInf(const InfCase& inf, std::size_t number) {
  ++profiles_.cases;
  const std::string what =
      "INF " + std::to_string(number) + " (" + EncodingName(inf.encoding) + ")";
  const std::string file = folder_ + "i" + std::to_string(number) + ".inf";
  if (!WriteFile(simulated_, file, inf.profile.text) || !WriteFile(real_, file, inf.profile.text)) {
    std::fprintf(report_, "%s: cannot write %s\n", what.c_str(), file.c_str());
    ++profiles_.unexplained;
    return;
  }
  bool reported = false;
  CompareReads(inf.profile.queries, file, inf.profile.text, what, reported);
  // The same reads after an entry is written, and the entry itself. Wine writes the file anew
  // in its own way; what it reads back is compared, not the bytes.
  bool simulatedWrote =
      simulated_.profiles.WriteString(inf.writeSection, inf.writeKey, inf.writeValue, file);
  bool realWrote = real_.profiles.WriteString(inf.writeSection, inf.writeKey, inf.writeValue, file);
  ++profiles_.questions;
  if (simulatedWrote != realWrote) {
    ++profiles_.differing;
    ++profiles_.unexplained;
    std::fprintf(report_, "%s: writing [%s] %s: simulated %d, Wine %d\n", what.c_str(),
                 inf.writeSection.c_str(), inf.writeKey.c_str(), simulatedWrote, realWrote);
  }
  std::vector<ProfileQuery> after = inf.profile.queries;
  ProfileQuery written;
  written.section = inf.writeSection;
  written.key = inf.writeKey;
  written.capacity = 1024;
  after.push_back(written);
  std::string rewritten;
  {
    std::unique_ptr<platform::Stream> stream = simulated_.files.OpenStream(file, "rb");
    if (stream) {
      std::vector<std::uint8_t> bytes = stream->Read(std::size_t{1} << 24);
      rewritten.assign(bytes.begin(), bytes.end());
    }
  }
  CompareReads(after, file, rewritten, what + " after the write", reported);
  real_.files.DeleteFile(file);
  simulated_.files.DeleteFile(file);
}

void Comparison::CompareReads(const std::vector<ProfileQuery>& queries, const std::string& file,
                              const std::string& text, const std::string& what, bool& reported) {
  // Wine's reading of the known shapes, asked of the simulated machine: all of them, and each
  // alone to name the one that makes a difference.
  const std::vector<WineShape>& shapes = AllWineShapes();
  const std::string viewFile = file + ".wine.ini";
  auto askAsWine = [&](const ProfileQuery& query, const std::vector<WineShape>& which) {
    WriteFile(simulated_, viewFile, WineView(text, which, query.integer ? 0 : query.capacity));
    std::string answer = Ask(simulated_, query, viewFile);
    simulated_.files.DeleteFile(viewFile);
    return answer;
  };

  for (const ProfileQuery& query : queries) {
    ++profiles_.questions;
    std::string simulatedAnswer = Ask(simulated_, query, file);
    std::string realAnswer = Ask(real_, query, file);
    std::string wineAnswer = askAsWine(query, shapes);
    if (simulatedAnswer == realAnswer && wineAnswer == realAnswer) {
      continue;
    }
    const char* verdict = nullptr;
    if (simulatedAnswer != realAnswer) {
      ++profiles_.differing;
    }
    if (simulatedAnswer != realAnswer && wineAnswer == realAnswer) {
      ++profiles_.knownToWine;
      bool named = false;
      for (WineShape shape : shapes) {
        if (askAsWine(query, {shape}) != simulatedAnswer) {
          ++profiles_.byShape[ShapeName(shape)];
          named = true;
        }
      }
      if (!named) {
        ++profiles_.byShape["a combination of them, none alone"];
      }
      continue;
    } else if (simulatedAnswer == realAnswer) {
      ++profiles_.wineCaughtUp;
      verdict = "Wine answers as Windows where it was known to differ";
    } else {
      ++profiles_.unexplained;
      verdict = "difference";
    }
    if (!reported) {
      std::fprintf(report_, "%s: \"%s\"\n", what.c_str(), Escape(text).c_str());
      reported = true;
    }
    std::fprintf(report_, "  %s: %s\n    simulated %s, Wine %s, Wine as known %s\n", verdict,
                 DescribeQuery(query).c_str(), simulatedAnswer.c_str(), realAnswer.c_str(),
                 wineAnswer.c_str());
  }
}

void Comparison::CompareFolder(const FolderCase& folder, std::size_t number) {
  ++searches_.cases;
  const std::string dir = folder_ + "f" + std::to_string(number) + "\\";
  std::string listing;
  for (Side* side : {&simulated_, &real_}) {
    bool made = side->files.CreateFolder(dir);
    for (const FolderEntry& entry : folder.entries) {
      made = made && (entry.folder ? side->files.CreateFolder(dir + entry.name)
                                   : WriteFile(*side, dir + entry.name, "x"));
    }
    if (!made) {
      std::fprintf(report_, "folder %zu: cannot create its files\n", number);
      ++searches_.unexplained;
      return;
    }
  }
  for (const FolderEntry& entry : folder.entries) {
    listing += (listing.empty() ? "" : ", ") + ("\"" + Escape(entry.name) + "\"") +
               (entry.folder ? " (folder)" : "");
  }

  bool reported = false;
  for (const std::string& pattern : folder.patterns) {
    ++searches_.questions;
    std::set<std::string> simulatedNames = testsupport::FindAll(simulated_.files, dir + pattern);
    std::set<std::string> realNames = testsupport::FindAll(real_.files, dir + pattern);
    searches_.namesFound += simulatedNames.size();
    if (simulatedNames == realNames) {
      continue;
    }
    ++searches_.differing;
    ++searches_.unexplained;
    if (!reported) {
      std::fprintf(report_, "folder %zu: {%s}\n", number, listing.c_str());
      reported = true;
    }
    std::fprintf(report_,
                 "  difference: FindFirstFileA(\"%s\")\n    simulated %s\n    Wine      %s\n",
                 Escape(pattern).c_str(), List(simulatedNames).c_str(), List(realNames).c_str());
  }

  for (Side* side : {&simulated_, &real_}) {
    for (const FolderEntry& entry : folder.entries) {
      if (!entry.folder) {
        side->files.DeleteFile(dir + entry.name);
      }
    }
  }
}

}  // namespace differential
