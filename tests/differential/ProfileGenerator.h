// Generated profile (INI) files and the questions to ask of them: the odd shapes that real
// files have (blanks, tabs, quotes, comments, duplicates, every kind of line end, text after a
// header, lines without "=", keys before the first header, broken headers, long values) and
// reads of present and absent sections and keys, in any letter case.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/differential/Random.h"

namespace differential {

struct ProfileQuery {
  bool integer = false;  // GetPrivateProfileIntA, else GetPrivateProfileStringA
  std::string section;
  std::string key;
  std::string defaultText;        // strings
  std::uint32_t capacity = 260;   // strings: the caller's buffer
  std::int32_t defaultValue = 0;  // integers
};

struct ProfileCase {
  std::string text;
  std::vector<ProfileQuery> queries;
};

ProfileCase GenerateProfile(Random& random);

// The call as a program would write it, with the texts escaped.
std::string DescribeQuery(const ProfileQuery& query);

// C-style escapes for line ends, tabs, quotes, backslashes and bytes outside printable ASCII.
std::string Escape(const std::string& text);

}  // namespace differential
