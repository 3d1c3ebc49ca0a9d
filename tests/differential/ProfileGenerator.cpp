#include "tests/differential/ProfileGenerator.h"

#include <cctype>
#include <cstdio>

namespace differential {

namespace {

const std::vector<std::string> kSections = {
    "Strings", "Setup", "InstallOption", "Version", "a", "Need_To_Reboot", "Long Section Name"};
const std::vector<std::string> kKeys = {"Key",  "DriverOnly",    "name1", "k",
                                        "Path", "Long Key Name", "OEM1",  "x"};

std::string VaryCase(Random& random, const std::string& name) {
  std::string varied = name;
  std::size_t how = random.Below(4);
  for (char& c : varied) {
    unsigned char u = static_cast<unsigned char>(c);
    if (how == 1 || (how == 3 && random.Percent(50))) {
      c = static_cast<char>(std::toupper(u));
    } else if (how == 2) {
      c = static_cast<char>(std::tolower(u));
    }
  }
  return varied;
}

std::string Blanks(Random& random, bool tabs) {
  std::string blanks;
  std::size_t count = random.Below(4);
  for (std::size_t i = 0; i < count; ++i) {
    blanks += tabs && random.Percent(40) ? '\t' : ' ';
  }
  return blanks;
}

std::string Letters(Random& random, std::size_t length) {
  std::string text;
  for (std::size_t i = 0; i < length; ++i) {
    text += static_cast<char>((random.Percent(20) ? 'A' : 'a') + random.Below(26));
  }
  return text;
}

std::string Value(Random& random) {
  switch (random.Below(8)) {
    case 0:
      return random.Pick({"value", "C:\\WINDOWS\\INF", "1", "Yes", "two words", "a=b", ""});
    case 1:  // numbers as GetPrivateProfileIntA meets them
      return random.Pick({"12", "12abc", "-3", "0x10", "0X1f", "+5", "abc", "0o17", "0b101",
                          "4294967297", "007", "-", "0x", " 9"});
    case 2:  // quotation marks, balanced or not
      return random.Pick({"\"in quotes\"", "'single'", "\"unbalanced", "unbalanced'", "'mixed\"",
                          "\" spaced \"", "\"\"", "\"", "'", "'a'b'", "\"a\" b", "\"9\""});
    case 3:  // a semicolon is no comment inside a value
      return random.Pick({"v ; not a comment", ";starts", "x;y", "; "});
    case 4:  // tabs inside
      return random.Pick({"a\tb", "\tv", "tab\t"});
    case 5: {  // long: sometimes longer than the usual 260-character buffer, on purpose
      std::size_t length = random.Percent(70) ? random.Between(20, 120) : random.Between(250, 400);
      return Letters(random, length);
    }
    default:
      return Letters(random, random.Between(1, 8));
  }
}

struct Builder {
  Random& random;
  std::string ending;  // empty: a different line end on every line
  std::string text;
  std::vector<std::string> sectionsUsed;
  std::vector<std::string> keysUsed;

  void Line(const std::string& line) {
    text += line;
    text += ending.empty() ? random.Pick({"\r\n", "\n", "\r"}) : ending;
  }

  void Entry() {
    std::string key = VaryCase(random, random.Pick(kKeys));
    keysUsed.push_back(key);
    std::string value = Value(random);
    switch (random.Below(4)) {
      case 0:
        Line(key + "=" + value);
        break;
      case 1:
        Line(Blanks(random, true) + key + Blanks(random, true) + "=" + Blanks(random, true) +
             value + Blanks(random, true));
        break;
      case 2:
        Line(key + "\t=\t" + value);
        break;
      default:
        Line(" " + key + " = " + value + " ");
        break;
    }
  }

  // Lines that are no entry, or entries without a name.
  void OtherLine() {
    switch (random.Below(8)) {
      case 0:
        Line("");
        break;
      case 1:
        Line(Blanks(random, true));
        break;
      case 2:
        Line("; comment " + Letters(random, 4));
        break;
      case 3:
        Line("  ;" + random.Pick(kKeys) + "=hidden");
        break;
      case 4:
        Line("no equals here");
        break;
      case 5:
        Line(random.Pick(kKeys));  // a key name alone, without "="
        break;
      case 6:
        Line("=" + Value(random));
        break;
      default:
        Line(" = " + Value(random));
        break;
    }
  }

  // A header as it should be, in one of its legal looks.
  void Header(const std::string& name) {
    switch (random.Below(7)) {
      case 0:
      case 1:
        Line("[" + name + "]");
        break;
      case 2:
        Line("[ " + name + " ]");
        break;
      case 3:
        Line(Blanks(random, true) + "[" + name + "]" + Blanks(random, true));
        break;
      case 4:
        Line("[" + name + "] text after");
        break;
      case 5:
        Line("[" + name + "]x=1");
        break;
      default:
        Line("[" + name + "] ; comment");
        break;
    }
  }

  // The broken headers: without a closing bracket, or with a second one.
  void BrokenHeader(const std::string& name) {
    if (random.Percent(50)) {
      Line(random.Pick({"[", "[ "}) + name + random.Pick({"", "   ", "\t", "=x"}));
    } else {
      Line("[" + name + random.Pick({"]]", "] x]", "]]]", " ]] "}));
    }
  }
};

}  // namespace

ProfileCase GenerateProfile(Random& random) {
  ProfileCase result;
  Builder builder{random, "", "", {}, {}};
  std::size_t style = random.Below(4);
  builder.ending = style == 0 ? "\r\n" : style == 1 ? "\n" : style == 2 ? "\r" : "";

  std::size_t shape = random.Below(100);
  if (shape < 4) {
    // An empty file, or one of blanks only.
    builder.text = shape < 2 ? "" : " \r\n\t\r\n";
  } else {
    bool malformed = shape >= 55;
    if (random.Percent(30)) {
      builder.Line("; " + Letters(random, 6));
    }
    if (malformed && random.Percent(45)) {
      // Entries before the first header.
      for (std::size_t i = random.Between(1, 3); i > 0; --i) {
        builder.Entry();
      }
    }
    std::size_t sections = random.Between(0, 5);
    for (std::size_t s = 0; s < sections; ++s) {
      std::string name = VaryCase(random, random.Pick(kSections));
      builder.sectionsUsed.push_back(name);
      if (malformed && random.Percent(30)) {
        builder.BrokenHeader(name);
      } else {
        builder.Header(name);
      }
      for (std::size_t lines = random.Between(0, 7); lines > 0; --lines) {
        if (random.Percent(70)) {
          builder.Entry();
        } else {
          builder.OtherLine();
        }
      }
    }
    if (!builder.text.empty() && random.Percent(20)) {
      // No line end after the last line.
      while (!builder.text.empty() &&
             (builder.text.back() == '\n' || builder.text.back() == '\r')) {
        builder.text.pop_back();
      }
    }
  }
  result.text = builder.text;

  for (std::size_t q = random.Between(6, 12); q > 0; --q) {
    ProfileQuery query;
    std::size_t which = random.Below(100);
    if (which < 65 && !builder.sectionsUsed.empty()) {
      query.section = VaryCase(random, random.Pick(builder.sectionsUsed));
    } else if (which < 80) {
      query.section = VaryCase(random, random.Pick(kSections));
    } else if (which < 88) {
      query.section = random.Pick({"", " "});
    } else {
      query.section = "Absent";
    }
    if (random.Percent(10)) {
      query.section = " " + query.section + "  ";
    }
    which = random.Below(100);
    if (which < 70 && !builder.keysUsed.empty()) {
      query.key = VaryCase(random, random.Pick(builder.keysUsed));
    } else if (which < 85) {
      query.key = VaryCase(random, random.Pick(kKeys));
    } else if (which < 92) {
      query.key = "";
    } else {
      query.key = "absent";
    }
    if (random.Percent(10)) {
      query.key = "  " + query.key + " ";
    }
    query.integer = random.Percent(20);
    if (query.integer) {
      query.defaultValue = static_cast<std::int32_t>(random.Pick(std::vector<int>{0, -1, 77}));
    } else {
      query.defaultText = random.Pick({"default", "", "dflt  ", "  lead", "x y"});
      std::size_t size = random.Below(100);
      query.capacity = size < 75   ? 260u
                       : size < 90 ? static_cast<std::uint32_t>(random.Between(1, 8))
                                   : 1024u;
    }
    result.queries.push_back(query);
  }
  return result;
}

std::string Escape(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    switch (c) {
      case '\r':
        escaped += "\\r";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\t':
        escaped += "\\t";
        break;
      case '"':
        escaped += "\\\"";
        break;
      case '\\':
        escaped += "\\\\";
        break;
      default:
        if (u < 0x20 || u >= 0x7f) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", u);
          escaped += hex;
        } else {
          escaped += c;
        }
    }
  }
  return escaped;
}

std::string DescribeQuery(const ProfileQuery& query) {
  std::string call = query.integer ? "GetPrivateProfileIntA" : "GetPrivateProfileStringA";
  call += "(\"" + Escape(query.section) + "\", \"" + Escape(query.key) + "\", ";
  if (query.integer) {
    call += std::to_string(query.defaultValue);
  } else {
    call += "\"" + Escape(query.defaultText) + "\", buffer of " + std::to_string(query.capacity);
  }
  return call + ")";
}

}  // namespace differential
