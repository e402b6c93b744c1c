#include "framework/Registry.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/fake/FakePlatform.h"

namespace tv {
namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto p = std::make_unique<platform::FakePlatform>();
    fake_ = p.get();
    platform::SetPlatform(std::move(p));
  }
  void TearDown() override { platform::SetPlatform(nullptr); }

  platform::FakePlatform* fake_ = nullptr;
};

TEST_F(RegistryTest, OnlyTheRunKeyOfTheCurrentUserOpens) {
  TRegistry reg;
  EXPECT_EQ(reg.RootKey(), HKEY_CURRENT_USER);
  EXPECT_TRUE(reg.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Run", true));
  EXPECT_TRUE(reg.HasOpenKey());
  EXPECT_TRUE(reg.OpenKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", false));
  EXPECT_TRUE(reg.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\", false));
  EXPECT_FALSE(reg.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", true));
  EXPECT_FALSE(reg.HasOpenKey());
  EXPECT_FALSE(reg.OpenKey("Software\\Microsoft", true));
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(reg.OpenKey(TRegistry::kRunKey, true));
}

TEST_F(RegistryTest, OpeningFollowsTheStore) {
  TRegistry reg;
  fake_->SetAutorunKeyExists(false);
  EXPECT_FALSE(reg.OpenKey(TRegistry::kRunKey, false));
  EXPECT_FALSE(fake_->AutorunKeyExists());
  EXPECT_TRUE(reg.OpenKey(TRegistry::kRunKey, true));  // created
  EXPECT_TRUE(fake_->AutorunKeyExists());
  fake_->SetAutorunReachable(false);
  EXPECT_FALSE(reg.OpenKey(TRegistry::kRunKey, true));
}

TEST_F(RegistryTest, ValuesRoundTripThroughTheStore) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(TRegistry::kRunKey, true));
  EXPECT_FALSE(reg.ValueExists("Tovalin"));
  EXPECT_EQ(reg.ReadString("Tovalin"), "");
  reg.WriteString("Tovalin", "/opt/tovalin/Tovalin");
  EXPECT_TRUE(reg.ValueExists("Tovalin"));
  EXPECT_EQ(reg.ReadString("Tovalin"), "/opt/tovalin/Tovalin");
  EXPECT_EQ(fake_->AutorunValues().at("Tovalin"), "/opt/tovalin/Tovalin");
  EXPECT_TRUE(reg.DeleteValue("Tovalin"));
  EXPECT_FALSE(reg.DeleteValue("Tovalin"));
  EXPECT_FALSE(reg.ValueExists("Tovalin"));
  reg.CloseKey();
}

TEST_F(RegistryTest, WithoutAnOpenKeyNothingReachesTheStore) {
  fake_->SetAutorunValue("Tovalin", "/x");
  TRegistry reg;
  EXPECT_FALSE(reg.ValueExists("Tovalin"));
  EXPECT_EQ(reg.ReadString("Tovalin"), "");
  EXPECT_FALSE(reg.DeleteValue("Tovalin"));
  EXPECT_THROW(reg.WriteString("Tovalin", "/y"), ERegistryException);
  EXPECT_EQ(fake_->AutorunValues().at("Tovalin"), "/x");
  // A store that becomes unreachable after opening refuses the write.
  ASSERT_TRUE(reg.OpenKey(TRegistry::kRunKey, true));
  fake_->SetAutorunReachable(false);
  try {
    reg.WriteString("Tovalin", "/z");
    FAIL() << "expected a registry error";
  } catch (const ERegistryException& e) {
    EXPECT_EQ(std::string(e.what()), "Failed to set data for 'Tovalin'");
  }
}

}  // namespace
}  // namespace tv
