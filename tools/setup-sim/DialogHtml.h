// A dialog drawn as the simulated dialog manager laid it out: the window and each control placed
// from the template's dialog units (or where the program moved them), with the controls' texts,
// check marks and enabled states as the dialog was left, in HTML and CSS.
#pragma once

#include <map>
#include <string>

#include "platform/sim/Resources.h"
#include "tools/setup-sim/RunReport.h"

namespace lab {

// The bitmaps and icons the dialogs of a page show, each put into the page once, as a style
// class, however many dialogs show it.
class PagePictures {
 public:
  explicit PagePictures(const sim::Resources& resources) : resources_(resources) {}

  struct Picture {
    std::string styleClass;  // empty: no such picture
    int width = 0;
    int height = 0;
  };
  Picture Bitmap(int id);
  Picture Icon(int id);
  // The style rules of the pictures used.
  std::string Style() const;

 private:
  const sim::Resources& resources_;
  std::map<std::string, std::string> used_;  // style class: its data URL
};

std::string DialogHtml(const DialogDrawing& dialog, PagePictures& pictures);

// The style rules the drawings need, once a page.
const char* DialogStyle();

}  // namespace lab
