// Settings reading rules and storage: integers, Booleans, strings cut at a
// zero character, port base parsing, and the eight values written as text.
#include "ui/settings.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

namespace duplane {
namespace {

TEST(SettingIntegerTest, ReadsDecimalWithSignAndDollarHex) {
  EXPECT_EQ(ParseSettingInteger("7"), 7);
  EXPECT_EQ(ParseSettingInteger("-5"), -5);
  EXPECT_EQ(ParseSettingInteger("+12"), 12);
  EXPECT_EQ(ParseSettingInteger("$1F"), 0x1F);
  EXPECT_EQ(ParseSettingInteger("-$10"), -16);
  EXPECT_EQ(ParseSettingInteger("2147483647"), 2147483647);
  EXPECT_EQ(ParseSettingInteger("-2147483648"), -2147483647 - 1);
}

TEST(SettingIntegerTest, RejectsAnythingElse) {
  for (const char* bad :
       {"", "abc", " 7", "7 ", "0x10", "$", "-", "1.5", "2147483648", "$1G", "$100000000"}) {
    EXPECT_FALSE(ParseSettingInteger(bad).has_value()) << bad;
  }
}

TEST(PortBaseTest, HexDigitsOnlyKeepingTheLow16Bits) {
  EXPECT_EQ(ParsePortBase("0378"), 0x378);
  EXPECT_EQ(ParsePortBase("2F8"), 0x2F8);
  EXPECT_EQ(ParsePortBase("3bc"), 0x3BC);
  EXPECT_EQ(ParsePortBase("10378"), 0x378);
  EXPECT_EQ(ParsePortBase("00000000278"), 0x278);  // leading zeros do not count
  EXPECT_EQ(ParsePortBase("FFFFFFFF"), 0xFFFF);
  for (const char* bad : {"", "0x278", " 278", "278 ", "$278", "-278", "100000000", "27G"}) {
    EXPECT_FALSE(ParsePortBase(bad).has_value()) << bad;
  }
}

class SettingsStoreTest : public ::testing::Test {
 protected:
  QString File() const { return dir_.filePath("Duplane.conf"); }
  QTemporaryDir dir_;
};

TEST_F(SettingsStoreTest, MissingValuesGiveTheDefaults) {
  QSettings store(File(), QSettings::IniFormat);
  const Settings s = LoadSettingsFrom(store);
  EXPECT_EQ(s.main_width, 0);
  EXPECT_EQ(s.main_height, 0);
  EXPECT_FALSE(s.main_maximized);
  EXPECT_EQ(s.lpt_port, 1);
  EXPECT_EQ(s.base[0], "0378");
  EXPECT_EQ(s.base[1], "0278");
  EXPECT_EQ(s.base[2], "03BC");
  EXPECT_TRUE(s.remote_icons);
}

TEST_F(SettingsStoreTest, PortOutsideOneToThreeOrNoNumberReadsAsOne) {
  for (const char* stored : {"7", "0", "-1", "two"}) {
    QSettings store(File(), QSettings::IniFormat);
    store.setValue("LPTPort", stored);
    EXPECT_EQ(LoadSettingsFrom(store).lpt_port, 1) << stored;
  }
  QSettings store(File(), QSettings::IniFormat);
  store.setValue("LPTPort", "3");
  EXPECT_EQ(LoadSettingsFrom(store).lpt_port, 3);
}

TEST_F(SettingsStoreTest, BooleansAreNonZeroIntegersAndStringsEndAtZero) {
  QSettings store(File(), QSettings::IniFormat);
  store.setValue("MainMaximized", "$10");
  store.setValue("RemoteIcons", "yes");  // no number: the default (on)
  store.setValue("Base1", QString("2F8") + QChar(0) + "junk");
  store.setValue("Base3", "");
  store.setValue("MainWidth", "-5");
  const Settings s = LoadSettingsFrom(store);
  EXPECT_TRUE(s.main_maximized);
  EXPECT_TRUE(s.remote_icons);
  EXPECT_EQ(s.base[0], "2F8");
  EXPECT_EQ(s.base[2], "");  // present but empty stays empty
  EXPECT_EQ(s.main_width, -5);

  store.setValue("RemoteIcons", "0");
  EXPECT_FALSE(LoadSettingsFrom(store).remote_icons);
}

TEST_F(SettingsStoreTest, WritesEveryValueAsTextAndReadsItBack) {
  Settings s;
  s.main_width = 800;
  s.main_height = 600;
  s.main_maximized = true;
  s.lpt_port = 2;
  s.base[1] = " 278";  // kept as typed, never validated on the way out
  s.remote_icons = false;
  {
    QSettings store(File(), QSettings::IniFormat);
    SaveSettingsTo(store, s);
  }
  QSettings store(File(), QSettings::IniFormat);
  EXPECT_EQ(store.allKeys().size(), 8);
  EXPECT_EQ(store.value("MainWidth").toString(), "800");
  EXPECT_EQ(store.value("MainMaximized").toString(), "1");
  EXPECT_EQ(store.value("RemoteIcons").toString(), "0");
  EXPECT_EQ(store.value("Base2").toString(), " 278");
  const Settings back = LoadSettingsFrom(store);
  EXPECT_EQ(back.main_height, 600);
  EXPECT_EQ(back.lpt_port, 2);
  EXPECT_EQ(back.base[1], " 278");
  EXPECT_FALSE(back.remote_icons);
}

}  // namespace
}  // namespace duplane
