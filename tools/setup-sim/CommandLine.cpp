#include "tools/setup-sim/CommandLine.h"

#include <cstdio>
#include <memory>

#include "install/SetupCommands.h"
#include "platform/sim/Text.h"
#include "tools/setup-sim/JsonDocument.h"
#include "tools/setup-sim/Progress.h"

namespace lab {

void Fail(const std::string& message) {
  std::fprintf(stderr, "setup-sim: %s\n", message.c_str());
}

int Refuse(const char* command, bool json, const std::string& message, int exitCode) {
  Fail(message);
  if (json) {
    std::fputs(JsonText(ErrorJson(command, message, exitCode)).c_str(), stdout);
    std::fflush(stdout);
  }
  return exitCode;
}

CommandsFactory LauncherCommands() {
  return [](sim::SimMachine&) { return std::make_unique<install::SetupCommands>(); };
}

MatrixProgress TerminalProgress(const std::string& command) {
  auto line = std::make_shared<Progress>("setup-sim " + command);
  return [line](std::size_t done, std::size_t total, const std::string& label) {
    if (label.empty()) {
      line->Clear();
    } else {
      line->Show(std::to_string(done + 1) + "/" + std::to_string(total) + " " + label);
    }
  };
}

bool ParseCommandList(const std::string& text, std::vector<MainCommand>& commands,
                      std::string& error) {
  commands.clear();
  for (const std::string& name : sim::Split(text == "all" ? "driver,apps,both,exit" : text, ',')) {
    std::optional<MainCommand> command = ParseCommand(name);
    if (!command) {
      error = "--commands: \"" + name + "\" is none of driver, apps, both, exit, all";
      return false;
    }
    commands.push_back(*command);
  }
  return true;
}

std::vector<std::string> ParseWindowsList(const std::string& text) {
  std::vector<std::string> names;
  for (const std::string& name : sim::Split(text, ',')) {
    if (!name.empty()) {
      names.push_back(name);
    }
  }
  return names;
}

}  // namespace lab
