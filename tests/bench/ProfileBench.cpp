// The simulated machine's profile engine beside the real GetPrivateProfileStringA and
// WritePrivateProfileStringA, on the same workload in one process (run under Wine): a 5,000-line
// INF file, every key read once, one value in ten rewritten, every key read again. The answers
// must be the same; the times are printed with their ratio.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "platform/win32/Win32Platform.h"

#include "platform/win32/WinApi.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Entry {
  std::string section;
  std::string key;
};

// 5,000 lines: 100 sections of 48 keys, with comments and blank lines between them.
std::string MakeInf(std::vector<Entry>& entries) {
  std::string text;
  for (int s = 0; s < 100; ++s) {
    const std::string section = "Section" + std::to_string(s) + ".AddReg";
    text += "[" + section + "]\r\n";
    for (int k = 0; k < 48; ++k) {
      const std::string key = "HKR,Key" + std::to_string(k);
      text += key + " = \"value " + std::to_string(s * 100 + k) + "\"\r\n";
      entries.push_back({section, key});
    }
    text += "; end of " + section + "\r\n";
  }
  return text;
}

// Reads every key, rewrites one in ten, reads every key again; the answers, in order.
std::vector<std::string> Work(platform::Profiles& profiles, const std::string& file,
                              const std::vector<Entry>& entries, double& seconds) {
  std::vector<std::string> answers;
  answers.reserve(entries.size() * 2);
  const auto start = Clock::now();
  for (const Entry& entry : entries) {
    answers.push_back(profiles.GetString(entry.section, entry.key, "", 1024, file));
  }
  for (std::size_t i = 0; i < entries.size(); i += 10) {
    profiles.WriteString(entries[i].section, entries[i].key, "rewritten " + std::to_string(i),
                         file);
  }
  for (const Entry& entry : entries) {
    answers.push_back(profiles.GetString(entry.section, entry.key, "", 1024, file));
  }
  seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return answers;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<Entry> entries;
  const std::string inf = MakeInf(entries);

  char temp[MAX_PATH] = {};
  ::GetTempPathA(MAX_PATH, temp);
  const std::string file = std::string(temp) + "orv-profile-bench.inf";
  FILE* out = std::fopen(file.c_str(), "wb");
  if (out == nullptr) {
    std::fprintf(stderr, "profile_bench: cannot write %s\n", file.c_str());
    return 1;
  }
  std::fwrite(inf.data(), 1, inf.size(), out);
  std::fclose(out);
  win32::Win32Platform real(argc > 0 ? argv[0] : "", "");
  double realSeconds = 0;
  std::vector<std::string> realAnswers = Work(real.Platform().profiles, file, entries, realSeconds);
  ::DeleteFileA(file.c_str());

  sim::SimMachine machine;
  machine.Files().WriteFileDirect("C:\\bench.inf", inf);
  double simSeconds = 0;
  std::vector<std::string> simAnswers =
      Work(machine.Platform().profiles, "C:\\bench.inf", entries, simSeconds);

  const bool same = realAnswers == simAnswers;
  std::printf(
      "profile workload (5,000-line INF, %zu reads, %zu writes): Win32 %.3f s, simulated "
      "%.3f s, %.1f times as fast, answers %s\n",
      entries.size() * 2, entries.size() / 10, realSeconds, simSeconds, realSeconds / simSeconds,
      same ? "the same" : "DIFFERENT");
  return same ? 0 : 1;
}
