// A user who is never asked anything: the benchmarks' runs take no questions.
#pragma once

#include "install/SetupCommands.h"

namespace bench {

class NoQuestions : public install::UserPrompts {
 public:
  platform::WindowHandle MainWindow() override { return {}; }
  void CloseMainWindow() override {}
  void EndMainWindow(int) override {}
  int AskDriverArchitecture(int&) override { return 1; }
  void OfferRestart() override {}
};

}  // namespace bench
