// A simulated machine with a driver disc in drive D: (read-only media, as a real disc), the main
// dialog's working state, and a user who answers the commands' questions from a script.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/InstallContext.h"
#include "install/SetupCommands.h"
#include "platform/sim/SimMachine.h"
#include "tests/JournalText.h"

namespace installtest {

class ScriptedUser : public install::UserPrompts {
 public:
  platform::WindowHandle MainWindow() override { return kMainWindow; }
  void CloseMainWindow() override { ends.push_back("closed"); }
  void EndMainWindow(int result) override { ends.push_back("ended " + std::to_string(result)); }
  int AskDriverArchitecture(int& vxdSelected) override {
    asked.push_back(vxdSelected);
    if (answers.empty()) {
      ADD_FAILURE() << "the architecture question was not expected";
      return win::IDCANCEL;
    }
    auto [result, choice] = answers.front();
    answers.pop_front();
    if (result == win::IDOK) {
      vxdSelected = choice;
    }
    return result;
  }
  void OfferRestart() override { ends.push_back("restart offered"); }

  static constexpr platform::WindowHandle kMainWindow{0x4711};
  std::deque<std::pair<int, int>> answers;  // result, vxdSelected
  std::vector<int> asked;                   // the preset of each question
  std::vector<std::string> ends;            // what became of the main window, in order
};

// The real commands, with the installers that other work builds recorded instead.
class Commands : public install::SetupCommands {
 public:
  void StageVxdDriver(install::Session&) override { calls.push_back("StageVxdDriver"); }
  void InstallNt4Driver(install::Session&) override { calls.push_back("InstallNt4Driver"); }
  void StageWdmDriver(install::Session& session, int defer, int patch) override {
    calls.push_back("StageWdmDriver " + std::to_string(defer) + " " + std::to_string(patch));
    install::SetupCommands::StageWdmDriver(session, defer, patch);
  }
  std::vector<std::string> calls;
};

class InstallTest : public ::testing::Test {
 protected:
  explicit InstallTest(sim::WindowsVersion version = sim::WindowsVersion::Win98SE)
      : machine(version), session{machine.Platform(), state, context, detection, user, commands} {
    machine.Files().AddDrive('D', true);
    static_cast<app::WindowsClass&>(state) = app::ClassifyWindows(machine.Platform().system);
    state.sourceDir = "D:\\";
    context.sourceDir = "D:\\";
    windows = machine.Files().WindowsFolder() + "\\";
  }

  // A file on the disc (the disc is read-only media: its files read as read-only).
  void Disc(const std::string& path, const std::string& content = "x") {
    machine.Files().WriteFileDirect("D:\\" + path, content, win::FILE_ATTRIBUTE_READONLY);
  }
  std::string Read(const std::string& path) {
    return machine.Files().ReadFileDirect(path).value_or("<missing>");
  }
  bool Exists(const std::string& path) { return machine.Files().Find(path) != nullptr; }
  // Runs `command`; true when it ended the process.
  bool Ends(const std::function<void()>& command) {
    try {
      command();
      return false;
    } catch (const sim::ProcessExit&) {
      return true;
    }
  }
  std::vector<std::string> Started() {
    std::vector<std::string> lines;
    for (const auto& process : machine.Processes().Started()) {
      lines.push_back(process.commandLine);
    }
    return lines;
  }
  std::vector<std::string> Journal(const std::string& category) {
    return testsupport::JournalTexts(machine, category);
  }
  std::string StateFile() { return Read(windows + "ORVSETUP.INI"); }

  sim::SimMachine machine;
  install::MainDialogState state;
  app::InstallContext context;
  app::DetectionState detection;
  ScriptedUser user;
  Commands commands;
  install::Session session;
  std::string windows;  // the Windows folder, with its backslash
};

}  // namespace installtest
