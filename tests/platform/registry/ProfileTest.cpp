#include <gtest/gtest.h>

#include "platform/registry/Profile.h"
#include "platform/registry/Registry.h"
#include "support/TempDevice.h"

namespace {

class ProfileTest : public ::testing::Test {
  protected:
    TempFolder folder;
    std::unique_ptr<Registry> registry = Registry::Open((folder.Path() / "r.sqlite3").string());
    Profile profile{registry.get(), "Vornak", "quillo"};
};

}  // namespace

TEST_F(ProfileTest, AbsentValuesGiveTheCallersDefault) {
    EXPECT_EQ(profile.GetInt("Edit", "PenWidth", 5), 5);
    EXPECT_EQ(profile.GetInt("Edit", "BackColor", 0x00FFFFFF), 0x00FFFFFF);
    EXPECT_EQ(profile.GetString("System", "SaveFolder", ""), "");
    EXPECT_EQ(profile.GetString("ColorDlg", "Custom0", "16777215"), "16777215");
}

TEST_F(ProfileTest, PenColorWrittenIsReadBackUnderAnotherCase) {
    ASSERT_TRUE(profile.WriteInt("Edit", "PenColor", 0x000000FF));
    EXPECT_EQ(profile.GetInt("Edit", "pENColor", 0), 0x000000FF);
    EXPECT_EQ(profile.GetInt("edit", "PENCOLOR", 0), 0x000000FF);
}

TEST_F(ProfileTest, ValuesLiveUnderTheCompanyAndApplicationKey) {
    ASSERT_TRUE(profile.WriteString("System", "SaveFolder", "\\My Documents\\メモ"));
    EXPECT_EQ(profile.SectionKey("System"), "Software\\Vornak\\quillo\\System");
    EXPECT_EQ(registry->Read(Hive::CurrentUser, "Software\\Vornak\\quillo\\System", "SaveFolder"),
              RegistryValue(std::string("\\My Documents\\メモ")));
    Profile otherCompany(registry.get(), "Other", "quillo");
    EXPECT_EQ(otherCompany.GetString("System", "SaveFolder", "none"), "none");
}

TEST_F(ProfileTest, AValueOfTheOtherKindGivesTheDefault) {
    ASSERT_TRUE(profile.WriteString("Edit", "PenWidth", "7"));
    EXPECT_EQ(profile.GetInt("Edit", "PenWidth", 5), 5);
    ASSERT_TRUE(profile.WriteInt("System", "SaveFolder", 3));
    EXPECT_EQ(profile.GetString("System", "SaveFolder", "dflt"), "dflt");
    ASSERT_TRUE(profile.WriteInt("Edit", "PenWidth", 7));
    EXPECT_EQ(profile.GetInt("Edit", "PenWidth", 5), 7) << "a write replaces the kind too";
}

TEST_F(ProfileTest, WithoutARegistryReadsGiveDefaultsAndWritesFail) {
    Profile none(nullptr, "Vornak", "quillo");
    EXPECT_EQ(none.GetInt("View", "BackLine", 0), 0);
    EXPECT_EQ(none.GetString("Alerm", "DefaultWaveFile", ""), "");
    EXPECT_FALSE(none.WriteInt("View", "BackLine", 1));
}

TEST(ProfileOnDamagedRegistry, ReadsDefaults) {
    TempFolder folder;
    const auto file = folder.Path() / "registry.sqlite3";
    WriteHostFile(file, std::string(3000, '\x7f'));
    auto registry = Registry::Open(file.string());
    Profile profile(registry.get(), "Vornak", "quillo");
    EXPECT_EQ(profile.GetInt("Edit", "EraserWidth", 10), 10);
    EXPECT_EQ(profile.GetInt("System", "NotifyDialog", 1), 1);
    EXPECT_TRUE(profile.WriteInt("System", "NotifyDialog", 0));
    EXPECT_EQ(profile.GetInt("System", "NotifyDialog", 1), 0);
}
