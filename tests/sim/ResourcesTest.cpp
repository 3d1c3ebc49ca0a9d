// The resource reader of the simulated dialog manager takes any .res image with a clear answer.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/Resources.h"
#include "platform/sim/SimDialogs.h"
#include "ui/CompiledResources.h"

namespace {

void Dword(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) {
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
}

TEST(Resources, AResourceNamedByAStringIsPassedOver) {
  // One empty dialog resource whose name is the string "#ab", not a number.
  std::vector<std::uint8_t> image;
  Dword(image, 0);                                            // data size
  Dword(image, 36);                                           // header size
  image.insert(image.end(), {0xFF, 0xFF, 0x05, 0x00});        // type: dialog
  image.insert(image.end(), {'#', 0, 'a', 0, 'b', 0, 0, 0});  // name: "#ab"
  Dword(image, 0);                                            // data version
  image.insert(image.end(), {0x30, 0x10, 0x09, 0x04});        // memory flags, language 1033
  Dword(image, 0);                                            // version
  Dword(image, 0);                                            // characteristics
  sim::Resources resources;
  std::string error;
  EXPECT_TRUE(resources.Load(image.data(), image.size(), error)) << error;
  EXPECT_TRUE(resources.DialogIds().empty());
  image.resize(30);  // cut short
  EXPECT_FALSE(resources.Load(image.data(), image.size(), error));
  EXPECT_FALSE(error.empty());
}

TEST(Resources, AnImageThatBreaksOffPartWayIsNotTakenInPart) {
  // The launcher's own resources, then a header that promises more than follows.
  std::vector<std::uint8_t> image(ui::kSetupResources,
                                  ui::kSetupResources + ui::kSetupResourcesSize);
  Dword(image, 0x40);
  Dword(image, 0x20);
  sim::SimCore core;
  sim::SimDialogs dialogs(core);
  std::string error;
  EXPECT_FALSE(dialogs.LoadResources(image.data(), image.size(), error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(dialogs.Templates().DialogIds().empty());
  image.resize(ui::kSetupResourcesSize);
  EXPECT_TRUE(dialogs.LoadResources(image.data(), image.size(), error)) << error;
  EXPECT_FALSE(dialogs.Templates().DialogIds().empty());
}

}  // namespace
