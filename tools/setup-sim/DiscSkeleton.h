// A skeleton driver disc (setup-sim init): every folder a route of the launcher takes files from,
// an annotated setup.ini with every key at its default, and placeholder files named as the
// routes look for them, which lint passes. The reference of the layout and of every key is
// docs/disc-reference.md.
#pragma once

#include <string>
#include <vector>

namespace lab {

struct SkeletonFile {
  std::string path;  // relative to the disc, "/" between folders
  std::string content;
};

const std::vector<SkeletonFile>& DiscSkeleton();

// Writes the skeleton into `folder`, which must not exist or be empty: through a temporary
// folder beside it that then takes its name, so that a failure or Ctrl-C leaves nothing. False
// with a message otherwise; `files` receives how many files were written.
bool WriteDiscSkeleton(const std::string& folder, std::size_t& files, std::string& error);

}  // namespace lab
