// What the commands of setup-sim share on the command line: the exit codes, messages on standard
// error (and as JSON with --json), and the commands kept in files of their own (diff, init).
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "tools/setup-sim/Matrix.h"

namespace lab {

// The exit codes, as the help lists them.
inline constexpr int kExitFailed = 1;    // bad input, or a failure
inline constexpr int kExitUsage = 2;     // a command line that cannot be used
inline constexpr int kExitStopped = 3;   // a run stopped at a dialog with no action left
inline constexpr int kExitProblems = 4;  // matrix: a row showed "Can not find" or missed a program
inline constexpr int kExitDiffers = 5;   // matrix --expect, diff: what was compared differs

void Fail(const std::string& message);

// A command that cannot go on: the message on standard error and, with --json, as JSON on
// standard output, for the tool that reads it. Gives back the exit code.
int Refuse(const char* command, bool json, const std::string& message, int exitCode);

// The commands of the real program.
CommandsFactory LauncherCommands();

// A line on standard error that says how far a matrix has come (on a terminal only).
MatrixProgress TerminalProgress(const std::string& command);

// A comma-separated list of Windows versions or of main-window commands ("all" is every one);
// false with a message naming what is none.
bool ParseCommandList(const std::string& text, std::vector<MainCommand>& commands,
                      std::string& error);
std::vector<std::string> ParseWindowsList(const std::string& text);

struct DiffCommandLine {
  std::vector<std::string> discs;        // one or two
  std::vector<std::string> optionFiles;  // with one disc: one or two
  std::string machines;
  std::string windows;
  std::string commands = "all";
  bool json = false;
  std::string output;
};
void AddDiffOptions(CLI::App& diff, DiffCommandLine& options);
int Diff(const DiffCommandLine& options);

struct InitCommandLine {
  std::string folder;
};
void AddInitOptions(CLI::App& init, InitCommandLine& options);
int Init(const InitCommandLine& options);

}  // namespace lab
