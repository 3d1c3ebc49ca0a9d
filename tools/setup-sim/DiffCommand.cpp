// setup-sim diff: what a new disc, or the disc with another option file, does differently from
// the old one on every Windows version with every command of the main window.
#include <unistd.h>

#include "tools/setup-sim/CommandLine.h"
#include "tools/setup-sim/JsonDocument.h"
#include "tools/setup-sim/Output.h"
#include "tools/setup-sim/RunDiff.h"

namespace lab {

namespace {

// One side of the comparison: a disc, with its own option file or another.
struct Side {
  std::string disc;
  std::string optionFile;

  std::string Name() const {
    return disc + (optionFile.empty() ? "" : " with the option file " + optionFile);
  }
};

bool SameSide(const Side& a, const Side& b) {
  auto same = [](const std::string& x, const std::string& y) {
    return x.empty() || y.empty() ? x == y : IsInside(x, y) && IsInside(y, x);
  };
  return same(a.disc, b.disc) && same(a.optionFile, b.optionFile);
}

}  // namespace

void AddDiffOptions(CLI::App& diff, DiffCommandLine& options) {
  diff.add_option("discs", options.discs,
                  "the old disc folder and the new one; or one disc with two --option-file (or "
                  "one, held against the disc's own setup.ini)")
      ->expected(1, 2);
  diff.add_option("--option-file", options.optionFiles,
                  "an option file used as the disc's setup.ini: the first is the old side")
      ->allow_extra_args(false);
  diff.add_option("--machines", options.machines,
                  "a folder of machine folders, one per Windows version (default: fresh "
                  "machines with the ORV6490)");
  diff.add_option("--windows", options.windows,
                  "the versions, comma-separated (default: 95,98,98SE,ME,NT4,2000,XP)");
  diff.add_option("--commands", options.commands,
                  "the main window's commands, comma-separated: driver, apps, both, exit, or all "
                  "(default: all)");
  diff.add_flag("--json", options.json, "the differences as JSON");
  diff.add_option("-o,--output", options.output, "write the differences to a file");
}

int Diff(const DiffCommandLine& options) {
  auto refuse = [&](const std::string& message, int exitCode) {
    return Refuse("diff", options.json, message, exitCode);
  };
  Side first;
  Side second;
  if (options.discs.size() == 2 && options.optionFiles.empty()) {
    first.disc = options.discs[0];
    second.disc = options.discs[1];
  } else if (options.discs.size() == 1 && !options.optionFiles.empty() &&
             options.optionFiles.size() <= 2) {
    first.disc = second.disc = options.discs[0];
    second.optionFile = options.optionFiles.back();
    first.optionFile = options.optionFiles.size() == 2 ? options.optionFiles.front() : "";
  } else {
    return refuse(
        "diff: give two discs (diff OLD NEW), or one disc and one or two option files "
        "(diff DISC --option-file OLD.ini --option-file NEW.ini)",
        kExitUsage);
  }
  if (SameSide(first, second)) {
    return refuse("diff: both sides are " + first.Name() + ": there is nothing to compare",
                  kExitUsage);
  }
  MatrixSetup setup;
  setup.machines = options.machines;
  setup.windows = ParseWindowsList(options.windows);
  std::string error;
  if (!ParseCommandList(options.commands, setup.commands, error)) {
    return refuse("diff: " + error, kExitUsage);
  }
  std::vector<Input> inputs{{first.disc, "the old disc folder"},
                            {second.disc, "the new disc folder"},
                            {first.optionFile, "the old option file"},
                            {second.optionFile, "the new option file"},
                            {setup.machines, "the folder of machines"}};
  if (!CheckOutput(options.output, inputs, error)) {
    return refuse(error, kExitFailed);
  }
  std::vector<std::vector<MatrixRow>> sides;
  for (const Side* side : {&first, &second}) {
    MatrixSetup each = setup;
    each.disc = side->disc;
    each.variants = {
        OptionVariant{side->optionFile.empty() ? "disc" : side->optionFile, side->optionFile, {}}};
    sides.push_back(RunMatrix(each, LauncherCommands(), TerminalProgress("diff"), error));
    if (sides.back().empty()) {
      return refuse("diff: " + side->Name() + ": " + error, kExitFailed);
    }
  }
  const std::vector<RowDifferences> rows = CompareMatrices(sides[0], sides[1]);
  const std::string text = options.json ? JsonText(DiffJson(first.Name(), second.Name(), rows))
                                        : DiffText(first.Name(), second.Name(), rows);
  if (!WriteOutput(options.output, text, error)) {
    return refuse(error, kExitFailed);
  }
  return rows.empty() ? 0 : kExitDiffers;
}

}  // namespace lab
