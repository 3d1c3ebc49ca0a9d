// Small text helpers of the simulated machine. Windows compares names ignoring case by ASCII
// letter; that is what these do.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sim {

std::string Upper(std::string_view text);
// The same into `result`, whose storage is reused.
void AssignUpper(std::string& result, std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// Splits at every `separator`, keeping empty pieces.
std::vector<std::string> Split(std::string_view text, char separator);
// The same pieces as views into `text`, which must outlive them.
std::vector<std::string_view> SplitViews(std::string_view text, char separator);
std::string_view TrimBlanks(std::string_view text);  // spaces and tabs, both ends

}  // namespace sim
