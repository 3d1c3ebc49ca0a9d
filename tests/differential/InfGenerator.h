// Generated driver INF files, laid out as real ones are ([Version], the source-disk sections, a
// model and its install sections, [CONFIG1.AddReg], [Strings] with quoted texts and texts in
// other languages), saved in each encoding a driver disc may hold: ANSI, UTF-16 after its byte
// order mark, UTF-8 after its byte order mark, UTF-8 without one. With them come the questions
// the installers ask of INF files, and an entry to write.
#pragma once

#include <string>

#include "tests/differential/ProfileGenerator.h"
#include "tests/differential/Random.h"

namespace differential {

enum class InfEncoding { Ansi, Utf16, Utf8WithMark, Utf8 };

struct InfCase {
  ProfileCase profile;  // the file's bytes and the reads to compare
  InfEncoding encoding = InfEncoding::Ansi;
  // An entry to write, after which every read is compared again.
  std::string writeSection;
  std::string writeKey;
  std::string writeValue;
};

InfCase GenerateInf(Random& random);
const char* EncodingName(InfEncoding encoding);

}  // namespace differential
