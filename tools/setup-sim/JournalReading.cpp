#include "tools/setup-sim/JournalReading.h"

#include <cstdlib>

namespace lab {

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// The text between the first pair of double quotation marks at or after `from`.
std::string Quoted(const std::string& text, std::size_t from, std::size_t* end = nullptr) {
  std::size_t open = text.find('"', from);
  std::size_t close = open == std::string::npos ? open : text.find('"', open + 1);
  if (close == std::string::npos) {
    return {};
  }
  if (end != nullptr) {
    *end = close + 1;
  }
  return text.substr(open + 1, close - open - 1);
}

// "dialog 102 "Setup" ..." -> 102 and "Setup".
int DialogId(const std::string& text, std::size_t at, std::string* caption = nullptr) {
  int id = std::atoi(text.c_str() + at + 7);
  if (caption != nullptr) {
    *caption = Quoted(text, at);
  }
  return id;
}

class DialogReader {
 public:
  explicit DialogReader(std::vector<DialogShown>& dialogs) : dialogs_(dialogs) {}

  void Read(const std::string& text) {
    if (StartsWith(text, "dialog ") && text.size() > 6 &&
        text.compare(text.size() - 6, 6, " opens") == 0) {
      DialogShown shown;
      shown.templateId = DialogId(text, 0, &shown.caption);
      shown.depth = static_cast<int>(open_.size());
      open_.push_back(dialogs_.size());
      dialogs_.push_back(shown);
      return;
    }
    std::size_t ends = text.find("\" ends with ");
    if (StartsWith(text, "dialog ") && ends != std::string::npos) {
      int id = DialogId(text, 0);
      if (DialogShown* shown = Innermost(id)) {
        shown->caption = Quoted(text, 0);
        shown->result = std::atoi(text.c_str() + ends + 12);
        for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
          if (&dialogs_[*it] == shown) {
            open_.erase(std::next(it).base());
            break;
          }
        }
      }
      return;
    }
    // A user action names the dialog it went to: "click 3 "..." in dialog 102 "Setup"",
    // "close dialog 130 "..."", "system command 16 to dialog 102 "Setup"".
    std::size_t at = std::string::npos;
    std::string action;
    if (StartsWith(text, "close dialog ")) {
      at = 6;
      action = "close";
    } else if (StartsWith(text, "click ") || StartsWith(text, "system command ")) {
      std::size_t cut = text.find(StartsWith(text, "click ") ? " in dialog " : " to dialog ");
      if (cut != std::string::npos) {
        at = cut + 4;
        action = text.substr(0, cut);
        std::size_t tail = text.find("\": ", at);
        if (tail != std::string::npos) {
          action += " (" + text.substr(tail + 3) + ")";  // a click that did nothing
        }
      }
    }
    if (at != std::string::npos) {
      std::string caption;
      if (DialogShown* shown = Innermost(DialogId(text, at, &caption))) {
        shown->actions.push_back(action);
        shown->caption = caption.empty() ? shown->caption : caption;
      }
    }
  }

  // "dialog 102 "Setup" is shown with no action left": the caption of a dialog still open.
  void ReadStop(const std::string& text) {
    if (StartsWith(text, "dialog ")) {
      std::string caption;
      if (DialogShown* shown = Innermost(DialogId(text, 0, &caption)); shown && !caption.empty()) {
        shown->caption = caption;
      }
    }
  }

 private:
  DialogShown* Innermost(int id) {
    for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
      if (dialogs_[*it].templateId == id) {
        return &dialogs_[*it];
      }
    }
    return nullptr;
  }

  std::vector<DialogShown>& dialogs_;
  std::vector<std::size_t> open_;  // indices of the dialogs still shown, innermost last
};

// "message box "caption": "text" -> OK"
MessageBoxShown ReadMessageBox(const std::string& text) {
  MessageBoxShown box;
  std::size_t end = 0;
  box.caption = Quoted(text, 0, &end);
  std::size_t arrow = text.rfind("\" -> ");
  std::size_t open = text.find('"', end);
  if (arrow != std::string::npos && open != std::string::npos && open < arrow) {
    box.text = text.substr(open + 1, arrow - open - 1);
    box.answer = text.substr(arrow + 5);
  }
  return box;
}

// "WinExec "cmd" (program P)" or "CreateProcess "cmd" failed with error 2".
std::optional<ProgramStarted> ReadProgram(const std::string& text) {
  std::size_t blank = text.find(" \"");
  if (blank == std::string::npos) {
    return std::nullopt;
  }
  ProgramStarted started;
  started.how = text.substr(0, blank);
  if (started.how != "WinExec" && started.how != "CreateProcess") {
    return std::nullopt;
  }
  std::size_t program = text.rfind("\" (program ");
  std::size_t failed = text.rfind("\" failed with error ");
  if (program != std::string::npos && text.back() == ')') {
    started.commandLine = text.substr(blank + 2, program - blank - 2);
    started.program = text.substr(program + 11, text.size() - program - 12);
  } else if (failed != std::string::npos) {
    started.commandLine = text.substr(blank + 2, failed - blank - 2);
    started.failure = text.substr(failed + 2);
  } else {
    return std::nullopt;
  }
  return started;
}

// "C:\WINDOWS\ORVSETUP.INI [Need_To_Reboot] Install=YES", "... [s] key deleted",
// "... [s] deleted".
std::optional<ProfileWrite> ReadProfileWrite(const std::string& text) {
  std::size_t open = text.find(" [");
  std::size_t close = open == std::string::npos ? open : text.find("] ", open);
  if (close == std::string::npos && open != std::string::npos && text.back() == ']') {
    close = text.size() - 1;
  }
  if (close == std::string::npos) {
    return std::nullopt;
  }
  ProfileWrite entry;
  entry.file = text.substr(0, open);
  entry.section = text.substr(open + 2, close - open - 2);
  std::string rest = close + 2 <= text.size() ? text.substr(close + 2) : std::string();
  if (rest == "deleted") {
    return entry;
  }
  std::size_t equals = rest.find('=');
  if (equals != std::string::npos) {
    entry.key = rest.substr(0, equals);
    entry.value = rest.substr(equals + 1);
  } else if (rest.size() > 8 && rest.compare(rest.size() - 8, 8, " deleted") == 0) {
    entry.key = rest.substr(0, rest.size() - 8);
  } else {
    entry.key = rest;
  }
  return entry;
}

}  // namespace

JournalSummary ReadJournal(const std::vector<sim::JournalEntry>& journal) {
  JournalSummary summary;
  DialogReader dialogs(summary.dialogs);
  bool restarted = false;
  for (const sim::JournalEntry& entry : journal) {
    const std::string& text = entry.text;
    if (entry.category == "ui") {
      if (StartsWith(text, "message box ")) {
        summary.messageBoxes.push_back(ReadMessageBox(text.substr(12)));
      } else {
        dialogs.Read(text);
      }
    } else if (entry.category == "process") {
      if (std::optional<ProgramStarted> started = ReadProgram(text)) {
        summary.programs.push_back(*started);
      } else if (StartsWith(text, "exit with code ")) {
        summary.exitCode = std::atoi(text.c_str() + 15);
      } else if (StartsWith(text, "start-up returned")) {
        summary.startupReturned = true;
      }
    } else if (entry.category == "profile" && !restarted) {
      if (std::optional<ProfileWrite> written = ReadProfileWrite(text)) {
        summary.profileWrites.push_back(*written);
      }
    } else if (entry.category == "stopped") {
      dialogs.ReadStop(text);
    } else if (entry.category == "wait") {
      summary.waitedMs += std::strtoull(text.c_str(), nullptr, 10);
      ++summary.waits;
    } else if (entry.category == "restart") {
      if (text == "restart requested") {
        summary.restartRequested = true;
      } else if (text == "Windows restarts") {
        restarted = true;
      } else if (restarted) {
        summary.restartActions.push_back(text);
      }
    }
  }
  return summary;
}

}  // namespace lab
