#include "tools/setup-sim/DialogScript.h"

#include "platform/sim/Text.h"
#include "tools/setup-sim/InputFile.h"
#include "ui/resource.h"

namespace lab {

namespace {

struct NamedTemplate {
  const char* name;
  int id;
};

constexpr NamedTemplate kTemplates[] = {
    {"main", IDD_SETUP_MAIN},          {"about", IDD_ABOUT},     {"jack-options", IDD_JACK_OPTIONS},
    {"architecture", IDD_DRIVER_ARCH}, {"restart", IDD_RESTART}, {"no-chip", IDD_NO_CHIP},
};

bool TemplateId(const std::string& text, int& id) {
  for (const NamedTemplate& named : kTemplates) {
    if (sim::EqualsNoCase(text, named.name)) {
      id = named.id;
      return true;
    }
  }
  if (text.empty() || text.size() > 6 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  id = std::stoi(text);
  return true;
}

bool HasControl(const sim::DialogTemplate& dialog, int id) {
  for (const sim::DialogControl& control : dialog.controls) {
    if (control.id == id) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::optional<int> DialogTemplateId(const std::string& line) {
  int id = 0;
  if (!TemplateId(std::string(sim::TrimBlanks(line.substr(0, line.find('=')))), id)) {
    return std::nullopt;
  }
  return id;
}

const char* DialogNames() {
  return "main (102), about (100), jack-options (103), architecture (130), restart (132), "
         "no-chip (306)";
}

bool ParseDialogScript(const std::string& text, const sim::Resources& templates, int language,
                       DialogScript& script, std::string& error) {
  std::size_t equals = text.find('=');
  if (equals == std::string::npos) {
    error = "\"" + text + "\" is not TEMPLATE=ACTIONS, such as 102=click:3,click:2";
    return false;
  }
  std::string name(sim::TrimBlanks(text.substr(0, equals)));
  if (!TemplateId(name, script.templateId)) {
    error = "\"" + name + "\" is no dialog template: give its number or one of " + DialogNames();
    return false;
  }
  const sim::DialogTemplate* dialog = templates.Dialog(script.templateId, language);
  if (dialog == nullptr) {
    error = "the launcher has no dialog template " + std::to_string(script.templateId) +
            " (its dialogs: " + DialogNames() + ")";
    return false;
  }
  script.actions.clear();
  for (const std::string& piece : sim::Split(text.substr(equals + 1), ',')) {
    std::string word(sim::TrimBlanks(piece));
    sim::DialogAction action;
    if (!sim::ParseDialogAction(word, action)) {
      error = "\"" + word + "\" is not click:CONTROL, owner:CONTROL, close or syscommand:N";
      return false;
    }
    if (action.kind == sim::DialogAction::Kind::Click && !HasControl(*dialog, action.id)) {
      error = "dialog " + std::to_string(script.templateId) + " has no control " +
              std::to_string(action.id) + " to click";
      return false;
    }
    script.actions.push_back(action);
  }
  return true;
}

bool ReadAnswerFile(const std::string& path, const sim::Resources& templates, int language,
                    std::vector<DialogScript>& scripts, std::string& error) {
  std::string content;
  if (!ReadInputFile(path, "the answers file", content, error)) {
    return false;
  }
  int number = 0;
  for (std::string line : sim::Split(content, '\n')) {
    ++number;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    std::string_view body = sim::TrimBlanks(line);
    if (body.empty() || body[0] == ';' || body[0] == '#') {
      continue;
    }
    DialogScript script;
    if (!ParseDialogScript(std::string(body), templates, language, script, error)) {
      error = path + " line " + std::to_string(number) + ": " + error;
      return false;
    }
    scripts.push_back(script);
  }
  return true;
}

}  // namespace lab
