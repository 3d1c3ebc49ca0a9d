#include "tools/setup-sim/LintChecks.h"

#include "platform/sim/ProfileDocument.h"
#include "platform/sim/Text.h"

namespace lab {

namespace {

std::string Full(const std::string& path) {
  return path.empty() ? "D:\\" : "D:\\" + path;
}

}  // namespace

DiscView::DiscView(std::unique_ptr<sim::SimMachine> machine) : machine_(std::move(machine)) {
  if (const sim::FileNode* file = Node("setup.ini"); file != nullptr && !file->isFolder) {
    optionName = file->name;
    optionText = std::string(file->data.begin(), file->data.end());
  }
  // GetPrivateProfileIntA over the file as the profile functions read it.
  sim::ProfileDocument document(optionText.value_or(""));
  auto read = [&](const char* key, int fallback) {
    std::optional<std::string> value = document.Get("InstallOption", key);
    return value ? static_cast<int>(sim::ProfileTextToInt(*value)) : fallback;
  };
  app::InstallOptions defaults;
  options.DriverOnly = read("DriverOnly", defaults.DriverOnly);
  options.WindowsMEDriverAskUser = read("WindowsMEDriverAskUser", defaults.WindowsMEDriverAskUser);
  options.WindowsMEDriver = read("WindowsMEDriver", defaults.WindowsMEDriver);
  options.Windows98SEDriverAskUser =
      read("Windows98SEDriverAskUser", defaults.Windows98SEDriverAskUser);
  options.Windows98SEDriver = read("Windows98SEDriver", defaults.Windows98SEDriver);
  options.WebSetup = read("WebSetup", defaults.WebSetup);
  options.InstallWDMDriver = read("InstallWDMDriver", defaults.InstallWDMDriver);
  options.InstallWDMUDACodecDriver =
      read("InstallWDMUDACodecDriver", defaults.InstallWDMUDACodecDriver);
  options.UDAWindows98Driver = read("UDAWindows98Driver", defaults.UDAWindows98Driver);
  if (options.InstallWDMUDACodecDriver != 0) {
    udaMode = 1;
    options.Windows98SEDriver = options.WindowsMEDriver = options.InstallWDMDriver = 1;
    options.Windows98SEDriverAskUser = options.WindowsMEDriverAskUser = 0;
  }
}

const sim::FileNode* DiscView::Node(const std::string& path) const {
  std::string full = Full(path);
  while (full.size() > 3 && full.back() == '\\') {
    full.pop_back();
  }
  return machine_->Files().Find(full);
}

bool DiscView::IsFile(const std::string& path) const {
  const sim::FileNode* node = Node(path);
  return node != nullptr && !node->isFolder;
}

bool DiscView::IsFolder(const std::string& path) const {
  const sim::FileNode* node = Node(path);
  return node != nullptr && node->isFolder;
}

std::optional<std::string> DiscView::Read(const std::string& path) const {
  const sim::FileNode* node = Node(path);
  if (node == nullptr || node->isFolder) {
    return std::nullopt;
  }
  return std::string(node->data.begin(), node->data.end());
}

std::vector<std::string> DiscView::FilesIn(const std::string& folder) const {
  std::vector<std::string> names;
  const sim::FileNode* node = Node(folder);
  if (node != nullptr && node->isFolder) {
    for (const auto& child : node->children) {
      if (!child->isFolder) {
        names.push_back(child->name);
      }
    }
  }
  return names;
}

std::string DiscView::Spelt(const std::string& path) const {
  std::string spelt;
  std::string walked;
  for (const std::string& part : sim::Split(path, '\\')) {
    if (part.empty()) {
      continue;
    }
    walked += (walked.empty() ? "" : "\\") + part;
    const sim::FileNode* node = Node(walked);
    spelt += (spelt.empty() ? "" : "\\") + (node != nullptr ? node->name : part);
  }
  return path.size() > 0 && path.back() == '\\' ? spelt + "\\" : spelt;
}

Reach RoutesReached(const DiscView& disc) {
  const app::InstallOptions& o = disc.options;
  Reach reach;
  reach.wdm98 = disc.udaMode != 0 && o.UDAWindows98Driver != 0;
  reach.vxd98 = !reach.wdm98;
  reach.wdm98SE = o.Windows98SEDriverAskUser != 0 || o.Windows98SEDriver != 0;
  reach.vxd98SE = o.Windows98SEDriverAskUser != 0 || o.Windows98SEDriver == 0;
  reach.wdmME = o.WindowsMEDriverAskUser != 0 || o.WindowsMEDriver != 0;
  reach.vxdME = o.WindowsMEDriverAskUser != 0 || o.WindowsMEDriver == 0;
  return reach;
}

}  // namespace lab
