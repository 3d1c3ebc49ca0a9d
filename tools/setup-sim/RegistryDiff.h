// The registry changes of a run: two REGEDIT4 exports compared key by key, and the difference
// written as a REGEDIT4 file that turns the first registry into the second.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lab {

struct RegValueChange {
  std::string name;                   // as REGEDIT4 writes it: @ or a quoted name
  std::optional<std::string> before;  // the data as REGEDIT4 writes it; none: not there
  std::optional<std::string> after;
};

struct RegKeyChange {
  enum class Kind { Added, Deleted, Changed };
  Kind kind = Kind::Changed;
  std::string path;
  // Added: every value of the new key; Changed: the values that differ; Deleted: the values
  // the key held. A deleted key stands for its subkeys too.
  std::vector<RegValueChange> values;
  int deletedSubkeys = 0;
};

// Key and value names compare ignoring case, as Windows compares them.
std::vector<RegKeyChange> DiffRegistry(const std::string& before, const std::string& after);

// "REGEDIT4", then a [-KEY] line per deleted key and a [KEY] block per added or changed key,
// with "name"=- for a deleted value; the value a change replaced stands in a comment above it.
std::string RegistryDiffText(const std::vector<RegKeyChange>& changes);

const char* KindName(RegKeyChange::Kind kind);

// A value's data read back from the form REGEDIT4 writes it in, with its type.
struct RegData {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> bytes;
};
std::optional<RegData> DecodeRegData(const std::string& written);

// A value's name as Windows knows it: "" for the default value (@), quotes and escapes gone.
std::string PlainValueName(const std::string& written);

// "REG_SZ", "REG_DWORD"...; "REG_TYPE_n" for a type Windows gives no name.
std::string RegTypeName(std::uint32_t type);

// The strings of REG_SZ, REG_EXPAND_SZ (one) and REG_MULTI_SZ (each) data, or none for data of
// another type.
std::optional<std::vector<std::string>> RegDataStrings(const RegData& data);

}  // namespace lab
