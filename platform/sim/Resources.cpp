#include "platform/sim/Resources.h"

#include <algorithm>

#include "platform/sim/CodePage.h"
#include "platform/sim/Text.h"

namespace sim {

namespace {

constexpr int kBitmap = 2;
constexpr int kIcon = 3;
constexpr int kDialog = 5;
constexpr int kString = 6;
constexpr int kGroupIcon = 14;
constexpr std::uint32_t kSetFont = 0x40;

// A reader over little-endian data that refuses to go past its end.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool ok() const { return ok_; }
  std::size_t at() const { return at_; }
  void Seek(std::size_t to) {
    if (to > size_) {
      ok_ = false;
    } else {
      at_ = to;
    }
  }
  void Align4() { Seek((at_ + 3) & ~std::size_t{3}); }
  std::uint16_t Word() {
    if (at_ + 2 > size_) {
      ok_ = false;
      return 0;
    }
    std::uint16_t value = static_cast<std::uint16_t>(data_[at_] | (data_[at_ + 1] << 8));
    at_ += 2;
    return value;
  }
  std::uint32_t Dword() {
    std::uint32_t low = Word();
    return low | (static_cast<std::uint32_t>(Word()) << 16);
  }
  std::uint8_t Byte() {
    if (at_ + 1 > size_) {
      ok_ = false;
      return 0;
    }
    return data_[at_++];
  }
  // A zero-terminated UTF-16 string, as UTF-8.
  std::string Text() {
    std::string text;
    for (;;) {
      std::uint32_t unit = Word();
      if (!ok_ || unit == 0) {
        return text;
      }
      if (unit >= 0xD800 && unit < 0xDC00) {
        std::uint32_t low = Word();
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      }
      AppendUtf8(text, unit);
    }
  }
  // A name or an ordinal: "#N" for ordinals.
  // A resource type or name given by number; -1 for one given by a string (which the launcher's
  // resources do not use).
  int Ordinal() {
    if (at_ + 2 <= size_ && data_[at_] == 0xFF && data_[at_ + 1] == 0xFF) {
      Word();
      return Word();
    }
    Text();
    return -1;
  }
  std::string NameOrOrdinal() {
    if (at_ + 2 <= size_ && data_[at_] == 0xFF && data_[at_ + 1] == 0xFF) {
      Word();
      return "#" + std::to_string(Word());
    }
    return Text();
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

// The predefined window classes, by atom or by name in any letter case, as the dialog manager
// takes them.
std::string ClassName(const std::string& name) {
  static const std::pair<const char*, const char*> classes[] = {
      {"#128", "Button"},  {"#129", "Edit"},      {"#130", "Static"},
      {"#131", "ListBox"}, {"#132", "ScrollBar"}, {"#133", "ComboBox"}};
  for (const auto& [atom, className] : classes) {
    if (name == atom || EqualsNoCase(name, className)) {
      return className;
    }
  }
  return name;
}

bool ParseDialog(Reader& in, DialogTemplate& dialog) {
  std::uint16_t first = in.Word();
  std::uint16_t signature = in.Word();
  dialog.extended = first == 1 && signature == 0xFFFF;
  std::uint16_t count = 0;
  if (dialog.extended) {
    in.Dword();  // help id
    dialog.exStyle = in.Dword();
    dialog.style = in.Dword();
  } else {
    in.Seek(in.at() - 4);
    dialog.style = in.Dword();
    dialog.exStyle = in.Dword();
  }
  count = in.Word();
  dialog.x = static_cast<std::int16_t>(in.Word());
  dialog.y = static_cast<std::int16_t>(in.Word());
  dialog.cx = static_cast<std::int16_t>(in.Word());
  dialog.cy = static_cast<std::int16_t>(in.Word());
  in.NameOrOrdinal();  // menu
  in.NameOrOrdinal();  // class
  dialog.caption = in.Text();
  if (dialog.style & kSetFont) {
    dialog.pointSize = in.Word();
    if (dialog.extended) {
      in.Word();  // weight
      in.Byte();  // italic
      in.Byte();  // character set
    }
    dialog.font = in.Text();
  }
  for (std::uint16_t i = 0; i < count && in.ok(); ++i) {
    in.Align4();
    DialogControl control;
    if (dialog.extended) {
      in.Dword();  // help id
      in.Dword();  // extended style
      control.style = in.Dword();
    } else {
      control.style = in.Dword();
      in.Dword();
    }
    control.x = static_cast<std::int16_t>(in.Word());
    control.y = static_cast<std::int16_t>(in.Word());
    control.cx = static_cast<std::int16_t>(in.Word());
    control.cy = static_cast<std::int16_t>(in.Word());
    control.id = dialog.extended ? static_cast<std::int32_t>(in.Dword())
                                 : static_cast<std::int16_t>(in.Word());
    control.className = ClassName(in.NameOrOrdinal());
    control.text = in.NameOrOrdinal();
    std::uint16_t extra = in.Word();
    in.Seek(in.at() + extra);
    dialog.controls.push_back(control);
  }
  return in.ok();
}

}  // namespace

bool Resources::Load(const std::uint8_t* data, std::size_t size, std::string& error) {
  Reader in(data, size);
  while (in.at() < size) {
    std::size_t start = in.at();
    std::uint32_t dataSize = in.Dword();
    std::uint32_t headerSize = in.Dword();
    const int typeId = in.Ordinal();
    const int nameId = in.Ordinal();
    in.Align4();
    in.Dword();  // data version
    in.Word();   // memory flags
    int language = in.Word();
    if (!in.ok() || headerSize < 8 || start + headerSize + dataSize > size) {
      error = "the resources are cut short at byte " + std::to_string(start);
      return false;
    }
    std::size_t body = start + headerSize;
    if (dataSize > 0 && typeId == kDialog && nameId >= 0) {
      Reader item(data + body, dataSize);
      DialogTemplate dialog;
      dialog.id = nameId;
      dialog.language = language;
      if (!ParseDialog(item, dialog)) {
        error = "dialog " + std::to_string(nameId) + " is malformed";
        return false;
      }
      dialogs_[{nameId, language}] = dialog;
    } else if (dataSize > 0 && typeId == kString && nameId > 0) {
      Reader item(data + body, dataSize);
      for (int i = 0; i < 16 && item.ok(); ++i) {
        std::uint16_t length = item.Word();
        std::string text;
        for (std::uint16_t c = 0; c < length && item.ok(); ++c) {
          AppendUtf8(text, item.Word());
        }
        if (length > 0 && item.ok()) {
          strings_[(nameId - 1) * 16 + i] = text;
        }
      }
    } else if ((typeId == kBitmap || typeId == kGroupIcon || typeId == kIcon) && nameId >= 0) {
      auto& kept = typeId == kBitmap ? bitmaps_ : typeId == kIcon ? iconImages_ : icons_;
      kept[nameId].assign(reinterpret_cast<const char*>(data + body), dataSize);
    }
    in.Seek(body + dataSize);
    in.Align4();
  }
  return true;
}

const DialogTemplate* Resources::Dialog(int id, int language) const {
  for (int wanted : {language, 1033}) {
    auto it = dialogs_.find({id, wanted});
    if (it != dialogs_.end()) {
      return &it->second;
    }
  }
  for (const auto& [key, dialog] : dialogs_) {
    if (key.first == id) {
      return &dialog;
    }
  }
  return nullptr;
}

std::vector<std::pair<int, int>> Resources::DialogIds() const {
  std::vector<std::pair<int, int>> ids;
  for (const auto& [key, dialog] : dialogs_) {
    ids.push_back(key);
  }
  return ids;
}

std::optional<std::string> Resources::String(int id) const {
  auto it = strings_.find(id);
  return it == strings_.end() ? std::nullopt : std::optional<std::string>(it->second);
}

bool Resources::HasBitmap(int id) const {
  return bitmaps_.count(id) != 0;
}

bool Resources::HasIcon(int id) const {
  return icons_.count(id) != 0;
}

namespace {

void PutWord(std::string& out, std::uint32_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>((value >> 8) & 0xFF);
}

void PutDword(std::string& out, std::uint32_t value) {
  PutWord(out, value & 0xFFFF);
  PutWord(out, value >> 16);
}

}  // namespace

std::string Resources::BitmapFile(int id) const {
  auto it = bitmaps_.find(id);
  if (it == bitmaps_.end() || it->second.size() < 40) {
    return {};
  }
  // The file header a .bmp file has before the DIB: where the pixels start after the header
  // and the colour table (three masks for bit fields, no table above 8 bits a pixel).
  Reader dib(reinterpret_cast<const std::uint8_t*>(it->second.data()), it->second.size());
  const std::uint32_t headerSize = dib.Dword();
  dib.Seek(14);
  const std::uint32_t bitCount = dib.Word();
  const std::uint32_t compression = dib.Dword();
  dib.Seek(32);
  std::uint32_t colours = dib.Dword();
  if (colours == 0 && bitCount <= 8) {
    colours = 1u << bitCount;
  }
  const std::uint32_t masks = compression == 3 && headerSize == 40 ? 12 : 0;
  const std::uint64_t pixels = 14ull + headerSize + masks + 4ull * colours;
  if (!dib.ok() || pixels > 14 + it->second.size()) {
    return {};
  }
  std::string file = "BM";
  PutDword(file, static_cast<std::uint32_t>(14 + it->second.size()));
  PutDword(file, 0);
  PutDword(file, static_cast<std::uint32_t>(pixels));
  return file + it->second;
}

std::string Resources::IconFile(int id) const {
  auto it = icons_.find(id);
  if (it == icons_.end()) {
    return {};
  }
  // The group's directory names each image by id; the file's directory names it by where it
  // stands in the file, after the directory.
  Reader group(reinterpret_cast<const std::uint8_t*>(it->second.data()), it->second.size());
  group.Word();
  group.Word();
  const std::uint16_t count = group.Word();
  std::string directory;
  PutWord(directory, 0);
  PutWord(directory, 1);
  PutWord(directory, count);
  std::string images;
  const std::uint32_t start = 6 + 16u * count;
  for (std::uint16_t i = 0; i < count && group.ok(); ++i) {
    for (int field = 0; field < 4; ++field) {
      directory += static_cast<char>(group.Byte());  // width, height, colours, reserved
    }
    PutWord(directory, group.Word());  // planes
    PutWord(directory, group.Word());  // bits a pixel
    group.Dword();                     // the size, taken from the image itself
    auto image = iconImages_.find(group.Word());
    if (image == iconImages_.end()) {
      return {};
    }
    PutDword(directory, static_cast<std::uint32_t>(image->second.size()));
    PutDword(directory, static_cast<std::uint32_t>(start + images.size()));
    images += image->second;
  }
  return group.ok() && count > 0 ? directory + images : std::string();
}

}  // namespace sim
