#include "tests/contract/ContractEnv.h"

namespace contract {

Environment& Env() {
  static Environment environment;
  return environment;
}

void ContractTest::SetUp() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  dir = Env().scratch + name + "\\";
  ASSERT_TRUE(p().files.CreateFolder(dir)) << "cannot create " << dir;
  keyPath = "Software\\OrvantaContract\\" + name;
  p().registry.DeleteKey(win::HKEY_CURRENT_USER, keyPath);
  ASSERT_EQ(p().registry.CreateKey(win::HKEY_CURRENT_USER, keyPath, win::KEY_ALL_ACCESS, key), 0);
}

void ContractTest::TearDown() {
  p().registry.CloseKey(key);
  p().registry.DeleteKey(win::HKEY_CURRENT_USER, "Software\\OrvantaContract");
}

bool ContractTest::NtFamily() {
  platform::OsVersion os;
  EXPECT_TRUE(p().system.GetVersion(os));
  return os.platformId == win::VER_PLATFORM_WIN32_NT;
}

void ContractTest::WriteRaw(const std::string& path, const std::string& content) {
  std::unique_ptr<platform::Stream> stream = p().files.OpenStream(path, "wb");
  ASSERT_TRUE(stream) << "cannot write " << path;
  ASSERT_EQ(stream->Write(content.data(), content.size()), content.size());
}

std::string ContractTest::ReadRaw(const std::string& path) {
  std::unique_ptr<platform::Stream> stream = p().files.OpenStream(path, "rb");
  if (!stream) {
    ADD_FAILURE() << "cannot read " << path;
    return std::string();
  }
  std::vector<std::uint8_t> bytes = stream->Read(1 << 20);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace contract
