// A simulated machine with the launcher's compiled resources, a disc in drive D:, and
// commands that record what the main dialog asked of them.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "tests/JournalText.h"
#include "ui/CompiledResources.h"
#include "ui/SetupMainDialog.h"
#include "ui/resource.h"

namespace uitest {

class RecordingCommands : public install::Commands {
 public:
  void OnInstallDriver(install::Session& session) override {
    calls.push_back("OnInstallDriver vxd=" + std::to_string(session.state.useVxdDriver));
    if (onInstallDriver)
      onInstallDriver(session);
  }
  void OnInstallApplications(install::Session& session) override {
    calls.push_back("OnInstallApplications");
    if (onInstallApplications)
      onInstallApplications(session);
  }
  void OnCombinedInstall(install::Session&) override { calls.push_back("OnCombinedInstall"); }
  void StageVxdDriver(install::Session&) override { calls.push_back("StageVxdDriver"); }
  void InstallNt4Driver(install::Session&) override { calls.push_back("InstallNt4Driver"); }
  void StageWdmDriver(install::Session&, int defer, int patch) override {
    calls.push_back("StageWdmDriver " + std::to_string(defer) + " " + std::to_string(patch));
    if (onStage)
      onStage();
  }

  std::vector<std::string> calls;
  std::function<void(install::Session&)> onInstallDriver;
  std::function<void(install::Session&)> onInstallApplications;
  std::function<void()> onStage;
};

class UiTest : public ::testing::Test {
 protected:
  explicit UiTest(sim::WindowsVersion version = sim::WindowsVersion::Win98SE) : machine(version) {
    std::string error;
    EXPECT_TRUE(
        machine.Dialogs().LoadResources(ui::kSetupResources, ui::kSetupResourcesSize, error))
        << error;
    machine.Files().AddDrive('D', true);
    machine.Files().WriteFileDirect("D:\\MESetup.dat", "MZ", win::FILE_ATTRIBUTE_READONLY);
    machine.Files().WriteFileDirect("D:\\W2KSetup.dat", "MZ", win::FILE_ATTRIBUTE_READONLY);
    context.sourceDir = "D:\\";
    static_cast<app::WindowsClass&>(context) = app::ClassifyWindows(machine.Platform().system);
  }

  // Runs the main dialog; true when it ended the process.
  bool RunMain() {
    dialog =
        std::make_unique<ui::SetupMainDialog>(machine.Platform(), context, detection, commands);
    try {
      result = dialog->DoModal();
      return false;
    } catch (const sim::ProcessExit&) {
      return true;
    }
  }
  void Script(int templateId, std::vector<sim::DialogAction> actions) {
    machine.Dialogs().Script(templateId, actions);
  }
  std::vector<std::string> Journal(const std::string& category) {
    return testsupport::JournalTexts(machine, category);
  }
  std::vector<std::string> Started() {
    std::vector<std::string> lines;
    for (const auto& process : machine.Processes().Started()) {
      lines.push_back(process.commandLine);
    }
    return lines;
  }
  const sim::DialogSnapshot& Last(int templateId) {
    for (auto it = machine.Dialogs().Shown().rbegin(); it != machine.Dialogs().Shown().rend();
         ++it) {
      if (it->templateId == templateId) {
        return *it;
      }
    }
    static sim::DialogSnapshot none;
    ADD_FAILURE() << "dialog " << templateId << " was not shown";
    return none;
  }

  sim::SimMachine machine;
  app::InstallContext context;
  app::DetectionState detection;
  RecordingCommands commands;
  std::unique_ptr<ui::SetupMainDialog> dialog;
  int result = 0;
};

inline sim::DialogAction Click(int id) {
  return sim::DialogAction::Click(id);
}
inline sim::DialogAction Close() {
  return sim::DialogAction::Close();
}

}  // namespace uitest
