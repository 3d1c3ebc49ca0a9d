// What the user does in the launcher's dialogs, given on the command line ("102=click:3,click:2",
// or by name: "main=click:3") or in an answer file, one such line per dialog template. Each
// template and each control clicked must exist in the launcher's own templates.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/sim/Resources.h"
#include "platform/sim/SimDialogs.h"

namespace lab {

struct DialogScript {
  int templateId = 0;
  std::vector<sim::DialogAction> actions;
};

// The template names an answer may use instead of the number: main, about, jack-options,
// architecture, restart, no-chip.
const char* DialogNames();
// The template a "TEMPLATE=..." line names, by number or by name; nothing when it names none.
std::optional<int> DialogTemplateId(const std::string& line);

// One "TEMPLATE=ACTIONS" line; false with a message when the template, an action or a control
// is unknown.
bool ParseDialogScript(const std::string& text, const sim::Resources& templates, int language,
                       DialogScript& script, std::string& error);

// An answer file: one "TEMPLATE=ACTIONS" line per dialog, blank lines, and comments starting
// with ";" or "#". The message names the file and line of the first entry it cannot use.
bool ReadAnswerFile(const std::string& path, const sim::Resources& templates, int language,
                    std::vector<DialogScript>& scripts, std::string& error);

}  // namespace lab
