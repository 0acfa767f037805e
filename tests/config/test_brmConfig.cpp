#include <gtest/gtest.h>

#include "RegistrySandbox.h"
#include "brmConfig.h"
#include "brmRegTools.h"
#include "brmRegistry.h"
#include "utMulticonfigRead.h"

namespace {

const char* kBase = "\\Software\\Brenmoor\\Corvina\\";

// A window of the test's own: bounds and state as plain numbers.
struct TTestForm : TConfigForm {
  std::string name = "formTest";
  int32_t left = 10, top = 20, width = 300, height = 200, state = 0;
  int restored = 0;
  std::string Name() const override { return name; }
  int32_t Left() const override { return left; }
  int32_t Top() const override { return top; }
  int32_t Width() const override { return width; }
  int32_t Height() const override { return height; }
  int32_t WindowState() const override { return state; }
  void SetLeft(int32_t v) override { left = v; }
  void SetTop(int32_t v) override { top = v; }
  void SetWidth(int32_t v) override { width = v; }
  void SetHeight(int32_t v) override { height = v; }
  void SetWindowState(int32_t v) override { state = v; }
  void PositionRestored() override { ++restored; }
};

struct TConfigFixture : ::testing::Test {
  TRegistrySandbox box;
  TBRMConfigManager config;
  TConfigFixture() { config.SetProductName("Corvina"); }
};

}  // namespace

TEST_F(TConfigFixture, TheMachineWideValueWinsWhenItHasTheRightType) {
  int32_t v = 99;
  EXPECT_FALSE(config.ReadInteger("OpenTabMain", v));
  EXPECT_EQ(v, 99);
  config.WriteInteger("OpenTabMain", 1, false);
  EXPECT_TRUE(config.ReadInteger("OpenTabMain", v));
  EXPECT_EQ(v, 1);
  utRegWriteSingleString(HKEY_LOCAL_MACHINE, kBase, "OpenTabMain", "2", 32);
  EXPECT_TRUE(config.ReadInteger("OpenTabMain", v));
  EXPECT_EQ(v, 1);  // a REG_SZ is passed over
  config.WriteInteger("OpenTabMain", 2, true);
  EXPECT_TRUE(config.ReadInteger("OpenTabMain", v));
  EXPECT_EQ(v, 2);
  // The user's own value is still there.
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly(kBase));
  EXPECT_EQ(reg.ReadInteger("OpenTabMain"), 1);
}

TEST_F(TConfigFixture, StringsExpandStringsAndMissingValues) {
  std::string s = "preset";
  utRegWriteSingleStringByType(HKEY_CURRENT_USER, kBase, "LastQuery", "http://x/", rdExpandString,
                               32);
  EXPECT_FALSE(config.ReadString("LastQuery", s));
  EXPECT_EQ(s, "preset");
  config.WriteString("WhoisQuery", "example.de", false);
  EXPECT_TRUE(config.ReadString("WhoisQuery", s));
  EXPECT_EQ(s, "example.de");
  config.WriteString("Sub\\", "x", "in a subkey", false);
  EXPECT_TRUE(config.ReadString("Sub\\", "x", s));
  EXPECT_EQ(s, "in a subkey");
  EXPECT_FALSE(config.ReadString("Missing", s));
  EXPECT_EQ(s, "in a subkey");
  // Writes go to the user's root.
  std::string data;
  EXPECT_TRUE(utRegReadSingleString(HKEY_CURRENT_USER, kBase, "WhoisQuery", data, 32));
  EXPECT_FALSE(utRegKeyExists(HKEY_LOCAL_MACHINE, "\\Software\\Brenmoor", false));
}

TEST_F(TConfigFixture, UpdateHandlersRunWhenTheProductNameChanges) {
  std::vector<int> calls;
  config.RegisterConfigUpdateHandler([&] { calls.push_back(1); });
  config.RegisterConfigUpdateHandler([&] { calls.push_back(2); });
  config.SetProductName("Corvina");
  EXPECT_TRUE(calls.empty());
  config.SetProductName("Other");
  EXPECT_EQ(calls, (std::vector<int>{1, 2}));
  EXPECT_EQ(config.GetRegistryBasePath(), "\\Software\\Brenmoor\\Other\\");
  TTestForm form;
  EXPECT_EQ(config.GetRegistryFormPath(form), "\\Software\\Brenmoor\\Other\\UI\\Forms\\formTest");
  std::array<HKEY, 2> roots{};
  config.SetRootKeyArray(roots);
  EXPECT_EQ(roots[0], HKEY_LOCAL_MACHINE);
  EXPECT_EQ(roots[1], HKEY_CURRENT_USER);
}

TEST_F(TConfigFixture, WindowPositionsRoundTripAndAMaximizedWindowKeepsItsBounds) {
  TTestForm form;
  config.AddForm(&form);
  EXPECT_FALSE(config.ReadWindowPositions());
  EXPECT_EQ(form.left, 10);
  EXPECT_TRUE(config.WriteWindowPositions());
  form.left = 500;
  form.width = 1;
  form.state = 2;
  EXPECT_TRUE(config.WriteWindowPosition(form, false));
  TTestForm back;
  EXPECT_TRUE(config.ReadWindowPosition(back));
  EXPECT_EQ(back.left, 10);
  EXPECT_EQ(back.top, 20);
  EXPECT_EQ(back.width, 300);
  EXPECT_EQ(back.height, 200);
  EXPECT_EQ(back.state, 2);
  EXPECT_EQ(back.restored, 1);
  // Without "WindowState" the bounds are applied and the result is false.
  utRegWriteSingleInteger(HKEY_CURRENT_USER, config.GetRegistryFormPath(form), "WindowState", 2,
                          32);
  TRegistry reg;
  TTestForm other;
  other.name = "formOther";
  utRegWriteSingleInteger(HKEY_CURRENT_USER, config.GetRegistryFormPath(other), "Left", 77, 32);
  other.left = 0;
  EXPECT_FALSE(config.ReadWindowPosition(other));
  EXPECT_EQ(other.left, 77);
  EXPECT_EQ(other.width, 300);
  config.RemoveForm(&form);
}

TEST_F(TConfigFixture, ReadingThroughUsersFindsTheUsersValue) {
  utRegWriteSingleInteger(HKEY_CURRENT_USER, "\\Software\\X", "v", 5, 32);
  utMulticonfigReadInit();
  int32_t v = 0;
  EXPECT_TRUE(utMultiRegReadSingleInteger({HKEY_USERS}, {"\\Software\\X"}, "v", v));
  EXPECT_EQ(v, 5);
  // Within a root the last path has the last word.
  utRegWriteSingleInteger(HKEY_CURRENT_USER, "\\Software\\Y", "v", 6, 32);
  EXPECT_TRUE(
      utMultiRegReadSingleInteger({HKEY_CURRENT_USER}, {"\\Software\\Y", "\\Software\\X"}, "v", v));
  EXPECT_EQ(v, 5);
  TMultiConfigReader reader;
  EXPECT_EQ(reader.AddRootKey(HKEY_LOCAL_MACHINE), 0);
  EXPECT_EQ(reader.AddRootKey(HKEY_CURRENT_USER), 1);
  EXPECT_EQ(reader.GetRootKeyCount(), 2);
  EXPECT_EQ(reader.GetRootKeys(1), HKEY_CURRENT_USER);
  utMulticonfigReadFinalize();
}

TEST(ProductName, TakenFromTheProgramFile) {
  const std::pair<std::string, std::string> cases[] = {{"/usr/bin/corvina", "Corvina"},
                                                       {"CORVINA.EXE", "Corvina"},
                                                       {"/x/Corvina.bin.old", "Corvina"},
                                                       {"/x/mY-tool", "My-tool"},
                                                       {"", ""}};
  for (const auto& [path, name] : cases) EXPECT_EQ(ProductNameFromProgramFile(path), name) << path;
}
