#include "tools/setup-sim/DialogHtml.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "platform/WinConstants.h"
#include "tools/setup-sim/HtmlText.h"

namespace lab {

namespace {

constexpr int kFramePixels = 3;
constexpr int kCaptionPixels = 18;

struct Box {
  int left = 0, top = 0, width = 0, height = 0;
};

// Pixels a dialog unit: a quarter of the font's average character width across, an eighth of
// its height down. The sizes are those of MS Sans Serif at 96 dots an inch (8 points: 6 by 13
// pixels), scaled for other point sizes.
struct Units {
  double across;
  double down;
};

Units UnitsOf(const sim::DialogTemplate& layout) {
  const double points = layout.pointSize > 0 ? layout.pointSize : 8;
  const double height = std::round(points * 96 / 72 * 1.25);
  return Units{std::round(height * 6 / 13) / 4, height / 8};
}

Box Scaled(const Units& units, int x, int y, int cx, int cy) {
  return Box{static_cast<int>(std::lround(x * units.across)),
             static_cast<int>(std::lround(y * units.down)),
             static_cast<int>(std::lround(cx * units.across)),
             static_cast<int>(std::lround(cy * units.down))};
}

std::string Placed(const Box& box) {
  return "left:" + std::to_string(box.left) + "px;top:" + std::to_string(box.top) +
         "px;width:" + std::to_string(box.width) + "px;height:" + std::to_string(box.height) + "px";
}

// "#129": the resource a picture control shows.
int PictureId(const std::string& text) {
  return text.size() > 1 && text[0] == '#' ? std::atoi(text.c_str() + 1) : 0;
}

std::string Control(const sim::DialogControl& control, const sim::DialogSnapshot& state,
                    const Units& units, PagePictures& pictures) {
  Box box = Scaled(units, control.x, control.y, control.cx, control.cy);
  if (auto moved = state.placed.find(control.id); control.id > 0 && moved != state.placed.end()) {
    const platform::Rect& rect = moved->second;
    box = Box{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
  }
  auto enabled = state.enabled.find(control.id);
  const bool disabled =
      enabled != state.enabled.end() ? !enabled->second : (control.style & win::WS_DISABLED) != 0;
  auto checked = state.checked.find(control.id);
  const bool marked = checked != state.checked.end() && checked->second != 0;
  std::string kind;
  std::string inner = EscapeMnemonic(control.text);
  if (control.className == "Button") {
    switch (control.style & win::BS_TYPEMASK) {
      case win::BS_DEFPUSHBUTTON:
        kind = "push default";
        break;
      case win::BS_CHECKBOX:
      case win::BS_AUTOCHECKBOX:
      case win::BS_3STATE:
      case win::BS_AUTO3STATE:
        kind = marked ? "check checked" : "check";
        inner = "<span class=\"mark\"></span>" + inner;
        break;
      case win::BS_RADIOBUTTON:
      case win::BS_AUTORADIOBUTTON:
        kind = marked ? "radio checked" : "radio";
        inner = "<span class=\"mark\"></span>" + inner;
        break;
      case win::BS_GROUPBOX:
        kind = "group";
        inner = "<span class=\"legend\">" + inner + "</span>";
        break;
      default:
        kind = "push";
    }
  } else if (control.className == "Static") {
    const std::uint32_t type = control.style & win::SS_TYPEMASK;
    const bool picture = type == win::SS_ICON || type == win::SS_BITMAP;
    if (picture) {
      // A picture control takes the size of its picture.
      const PagePictures::Picture shown = type == win::SS_ICON
                                              ? pictures.Icon(PictureId(control.text))
                                              : pictures.Bitmap(PictureId(control.text));
      kind = "picture " + shown.styleClass;
      box.width = shown.width;
      box.height = shown.height;
      inner.clear();
    } else {
      kind = type == win::SS_CENTER  ? "static center"
             : type == win::SS_RIGHT ? "static right"
             : type == 0             ? "static"
                                     : "static frame";
      if (control.style & win::SS_NOPREFIX) {
        inner = Escape(control.text);
      }
    }
  } else if (control.className == "Edit") {
    kind = "edit";
    inner = Escape(control.text);
  } else {
    kind = "other";
    inner = Escape(control.className);
  }
  return "<div class=\"ctl " + kind + (disabled ? " disabled" : "") + "\" style=\"" + Placed(box) +
         "\" title=\"" + std::to_string(control.id) + "\">" + inner + "</div>";
}

}  // namespace

PagePictures::Picture PagePictures::Bitmap(int id) {
  const std::string file = resources_.BitmapFile(id);
  if (file.size() < 26) {
    return {};
  }
  // The DIB's width and height (negative for rows top down), after the file header.
  auto number = [&](std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
      value = value * 256 + static_cast<unsigned char>(file[at + static_cast<std::size_t>(i)]);
    }
    return std::abs(static_cast<int>(static_cast<std::int32_t>(value)));
  };
  const std::string name = "bitmap-" + std::to_string(id);
  used_.emplace(name, "data:image/bmp;base64," + Base64(file));
  return Picture{name, number(18), number(22)};
}

PagePictures::Picture PagePictures::Icon(int id) {
  const std::string file = resources_.IconFile(id);
  if (file.empty()) {
    return {};
  }
  const std::string name = "icon-" + std::to_string(id);
  used_.emplace(name, "data:image/x-icon;base64," + Base64(file));
  return Picture{name, 32, 32};
}

std::string PagePictures::Style() const {
  std::string style;
  for (const auto& [name, url] : used_) {
    style += "." + name + "{background-image:url(" + url + ")}\n";
  }
  return style;
}

std::string DialogHtml(const DialogDrawing& dialog, PagePictures& pictures) {
  const sim::DialogTemplate& layout = dialog.layout;
  const sim::DialogSnapshot& state = dialog.state;
  const Units units = UnitsOf(layout);
  const bool caption = (layout.style & win::WS_CAPTION) == win::WS_CAPTION;
  const int frame = (layout.style & (win::DS_MODALFRAME | win::WS_BORDER)) != 0 ? kFramePixels : 0;
  Box client = Scaled(units, 0, 0, layout.cx, layout.cy);
  if (auto moved = state.placed.find(0); moved != state.placed.end()) {
    // The program moved its window: the size given is the window's, frame and caption too.
    client.width = moved->second.right - moved->second.left - 2 * frame;
    client.height =
        moved->second.bottom - moved->second.top - 2 * frame - (caption ? kCaptionPixels : 0);
  }
  std::string html = "<div class=\"window" + std::string(frame ? " framed" : "") + "\">";
  if (caption) {
    html += "<div class=\"title\">" + Escape(state.caption) + "</div>";
  }
  // The font's name goes into a style: letters, digits and blanks only, so that it stays a name.
  std::string font;
  for (char c : layout.font) {
    if (std::isalnum(static_cast<unsigned char>(c)) || c == ' ') {
      font += c;
    }
  }
  html += "<div class=\"client\" style=\"width:" + std::to_string(client.width) +
          "px;height:" + std::to_string(client.height) + "px;font-family:'" + font +
          "','Microsoft Sans Serif',Tahoma,'DejaVu Sans Condensed',sans-serif;font-size:" +
          std::to_string(layout.pointSize > 0 ? layout.pointSize : 8) + "pt\">";
  for (const sim::DialogControl& control : layout.controls) {
    if ((control.style & win::WS_VISIBLE) != 0) {
      html += Control(control, state, units, pictures);
    }
  }
  return html + "</div></div>";
}

const char* DialogStyle() {
  return R"(.window{display:inline-block;background:#c0c0c0;color:#000;vertical-align:top}
.window.framed{border:3px outset #dfdfdf}
.window .title{height:18px;line-height:18px;padding:0 4px;background:#000080;color:#fff;
 font:bold 11px Tahoma,sans-serif;white-space:nowrap;overflow:hidden}
.client{position:relative;overflow:hidden}
.ctl{position:absolute;box-sizing:border-box;white-space:nowrap;overflow:hidden;line-height:1.1}
.ctl.push{border:2px outset #e0e0e0;background:#c0c0c0;display:flex;align-items:center;
 justify-content:center}
.ctl.push.default{border:2px outset #e0e0e0;outline:1px solid #000}
.ctl.static{white-space:normal}
.ctl.center{text-align:center}
.ctl.right{text-align:right}
.ctl.frame{border:1px inset #808080}
.ctl.edit{background:#fff;border:2px inset #c0c0c0;padding:1px 2px}
.ctl.other{border:1px dashed #606060;color:#606060}
.ctl.group::before{content:"";position:absolute;inset:0.6em 0 0 0;border:2px groove #fff}
.ctl .legend{position:absolute;top:0;left:6px;background:#c0c0c0;padding:0 2px}
.ctl.picture{background-repeat:no-repeat;background-size:100% 100%}
.ctl.disabled{color:#808080;text-shadow:1px 1px #fff}
.ctl .mark{display:inline-block;width:11px;height:11px;margin-right:4px;vertical-align:-2px;
 background:#fff;border:1px inset #808080;font-size:10px;line-height:11px;text-align:center}
.ctl.radio .mark{border-radius:50%}
.ctl.check.checked .mark::after{content:"\2713"}
.ctl.radio.checked .mark::after{content:"\25CF"}
)";
}

}  // namespace lab
