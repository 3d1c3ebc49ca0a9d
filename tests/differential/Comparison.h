// Runs each generated case on two platform backends (the simulated machine and the real one
// under Wine) in the same process and compares every answer. Each difference is printed with
// the file and the question; a difference that Wine is known to have (see WineView.h) is
// counted apart, and so is the day Wine stops having it.
#pragma once

#include <cstdio>
#include <map>
#include <string>

#include "platform/Files.h"
#include "platform/Profiles.h"
#include "tests/differential/FolderGenerator.h"
#include "tests/differential/InfGenerator.h"
#include "tests/differential/ProfileGenerator.h"

namespace differential {

struct Side {
  platform::Files& files;
  platform::Profiles& profiles;
};

struct Figures {
  std::size_t cases = 0;
  std::size_t questions = 0;
  std::size_t differing = 0;     // answers that differ at all
  std::size_t knownToWine = 0;   // ... as Wine is known to differ from Windows
  std::size_t unexplained = 0;   // ... any other way: failures
  std::size_t wineCaughtUp = 0;  // same answer where Wine was known to differ: failures
  std::size_t namesFound = 0;    // searches: names the simulated machine returned, all told
  std::map<std::string, std::size_t> byShape;  // known differences by the shape that makes them

  std::size_t Failures() const { return unexplained + wineCaughtUp; }
};

class Comparison {
 public:
  // `folder` exists on both backends, with a trailing backslash.
  Comparison(Side simulated, Side real, std::string folder, std::FILE* report);

  void CompareProfile(const ProfileCase& profile, std::size_t number);
  // The reads of an INF file, then the same after an entry is written into it.
  void CompareInf(const InfCase& inf, std::size_t number);
  void CompareFolder(const FolderCase& folder, std::size_t number);

  const Figures& ProfileFigures() const { return profiles_; }
  const Figures& SearchFigures() const { return searches_; }

 private:
  std::string Ask(Side& side, const ProfileQuery& query, const std::string& file);
  // Every query of `file` asked of both sides; `text` is the file's content on the simulated
  // side, from which Wine's known reading is made.
  void CompareReads(const std::vector<ProfileQuery>& queries, const std::string& file,
                    const std::string& text, const std::string& what, bool& reported);
  bool WriteFile(Side& side, const std::string& path, const std::string& text);

  Side simulated_;
  Side real_;
  std::string folder_;
  std::FILE* report_;
  Figures profiles_;
  Figures searches_;
};

}  // namespace differential
