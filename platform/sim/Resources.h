// The launcher's compiled resources (a .res file, as the resource compiler writes it), read the
// way the dialog manager reads them: dialog templates, classic and extended, string tables,
// bitmaps and icons. Texts are turned from UTF-16 into UTF-8.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sim {

struct DialogControl {
  int id = 0;
  std::string className;  // "Button", "Static", "Edit"...
  std::uint32_t style = 0;
  std::string text;  // or "#129" for a resource ordinal (bitmaps, icons)
  int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
  int id = 0;
  int language = 0;
  bool extended = false;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  int x = 0, y = 0, cx = 0, cy = 0;
  std::string caption;
  int pointSize = 0;
  std::string font;
  std::vector<DialogControl> controls;
};

class Resources {
 public:
  // Reads a .res image; false with a message when it is malformed.
  bool Load(const std::uint8_t* data, std::size_t size, std::string& error);

  // The template in `language`, else in English (1033), else in any language.
  const DialogTemplate* Dialog(int id, int language) const;
  std::vector<std::pair<int, int>> DialogIds() const;  // (id, language) pairs
  std::optional<std::string> String(int id) const;
  bool HasBitmap(int id) const;
  bool HasIcon(int id) const;
  // A bitmap as a .bmp file holds it, and an icon with its images as an .ico file holds it, for
  // pictures of the dialogs; empty when there is no such resource or it is malformed.
  std::string BitmapFile(int id) const;
  std::string IconFile(int id) const;

 private:
  std::map<std::pair<int, int>, DialogTemplate> dialogs_;
  std::map<int, std::string> strings_;
  std::map<int, std::string> bitmaps_;     // the DIB: header, colours and pixels
  std::map<int, std::string> icons_;       // the group's directory
  std::map<int, std::string> iconImages_;  // each image of a group, by its own id
};

}  // namespace sim
