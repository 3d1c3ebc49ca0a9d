// The user's answers: on the command line and in answer files, checked against the launcher's
// own templates, with the line of the first entry that cannot be used.
#include <gtest/gtest.h>

#include "tests/lab/LabTestSupport.h"
#include "tools/setup-sim/DialogScript.h"
#include "ui/CompiledResources.h"

namespace {

class DialogScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(templates_.Load(ui::kSetupResources, ui::kSetupResourcesSize, error)) << error;
  }
  sim::Resources templates_;
};

TEST_F(DialogScriptTest, NumbersAndNames) {
  lab::DialogScript script;
  std::string error;
  ASSERT_TRUE(
      lab::ParseDialogScript("architecture = click:1005, click:1", templates_, 1033, script, error))
      << error;
  EXPECT_EQ(script.templateId, 130);
  ASSERT_EQ(script.actions.size(), 2u);
  EXPECT_EQ(script.actions[0].id, 1005);
  ASSERT_TRUE(lab::ParseDialogScript("102=syscommand:0x10,close", templates_, 1033, script, error));
  EXPECT_EQ(script.actions[0].kind, sim::DialogAction::Kind::SysCommand);
  EXPECT_EQ(script.actions[1].kind, sim::DialogAction::Kind::Close);
}

TEST_F(DialogScriptTest, WhatCannotBeUsedIsNamed) {
  lab::DialogScript script;
  std::string error;
  EXPECT_FALSE(lab::ParseDialogScript("999=click:1", templates_, 1033, script, error));
  EXPECT_NE(error.find("no dialog template 999"), std::string::npos) << error;
  EXPECT_FALSE(lab::ParseDialogScript("wizard=click:1", templates_, 1033, script, error));
  EXPECT_NE(error.find("\"wizard\" is no dialog template"), std::string::npos) << error;
  EXPECT_FALSE(lab::ParseDialogScript("102=click:7", templates_, 1033, script, error));
  EXPECT_NE(error.find("dialog 102 has no control 7"), std::string::npos) << error;
  EXPECT_FALSE(lab::ParseDialogScript("102=push:3", templates_, 1033, script, error));
  EXPECT_NE(error.find("\"push:3\" is not click:CONTROL"), std::string::npos) << error;
  EXPECT_FALSE(lab::ParseDialogScript("102", templates_, 1033, script, error));
  EXPECT_NE(error.find("TEMPLATE=ACTIONS"), std::string::npos) << error;
}

TEST_F(DialogScriptTest, AnswerFiles) {
  labtest::TempFolder temp;
  const auto path = (temp.path() / "answers.txt").string();
  labtest::WriteText(path,
                     "; the VxD driver on 98 SE\r\nmain=click:3\r\n\r\n# then no restart\r\n"
                     "restart=click:1001,click:1\r\n");
  std::vector<lab::DialogScript> scripts;
  std::string error;
  ASSERT_TRUE(lab::ReadAnswerFile(path, templates_, 1033, scripts, error)) << error;
  ASSERT_EQ(scripts.size(), 2u);
  EXPECT_EQ(scripts[1].templateId, 132);
  EXPECT_EQ(scripts[1].actions[0].id, 1001);

  labtest::WriteText(path, "main=click:3\nrestart=click:1001\njack=click:1\n");
  scripts.clear();
  EXPECT_FALSE(lab::ReadAnswerFile(path, templates_, 1033, scripts, error));
  EXPECT_NE(error.find("answers.txt line 3: \"jack\" is no dialog template"), std::string::npos)
      << error;
  EXPECT_FALSE(lab::ReadAnswerFile(path + ".absent", templates_, 1033, scripts, error));
  EXPECT_NE(error.find("cannot read the answers file"), std::string::npos) << error;
  // A folder is no answers file, though it opens for reading.
  const std::string folder = std::filesystem::path(path).parent_path().string();
  EXPECT_FALSE(lab::ReadAnswerFile(folder, templates_, 1033, scripts, error));
  EXPECT_NE(error.find("is a folder, not a file"), std::string::npos) << error;
}

}  // namespace
