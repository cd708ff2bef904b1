// The settings file of the main window: key order, defaults, the count's
// two names and a write that fails halfway.
#include <gtest/gtest.h>

#include <string>

#include "store/atomic_file.h"
#include "settings/main_settings.h"
#include "tests/support/scratch_folder.h"

namespace {

MainSettings sample() {
    MainSettings m;
    m.senderTab = 3;
    m.feedMode = 1;
    m.printSize = 2;
    m.senderName = "\x8e\x52\x93\x63";  // 山田
    m.senderZip = "105-0004";
    m.senderAddress1 = "a1";
    m.senderAddress2 = "a2";
    m.senderTel = "03";
    m.zip = "100-0001";
    m.address1 = "b1";
    m.address2 = "b2";
    m.consignee = "c";
    m.tel = "06";
    m.goods1 = "";
    m.goods2 = "g2";
    m.goods3 = "g3";
    m.count = "4";
    return m;
}

TEST(MainSettingsFile, CreatedFromNothingHoldsEveryKeyInTableOrder) {
    ScratchFolder dir;
    IniFile ini(dir.file(kSettingsFileName));
    writeMainSettings(ini, sample());
    EXPECT_EQ(slurp(ini.path()),
              "[vm_Pelicanprn]\r\n"
              "Addr_Font=2\r\n"
              "E_ZIP=100-0001\r\nE_AD1=b1\r\nE_AD2=b2\r\nE_CUS=c\r\nE_TEL=06\r\n"
              "E_G1=\r\nE_G2=g2\r\nE_G3=g3\r\n"
              "KOSUU3=4\r\n"
              "OP023My=\x8e\x52\x93\x63\r\nOP023MyZip=105-0004\r\nOP023MyADD1=a1\r\nOP023MyADD2=a2\r\nOP023MyTEL=03\r\n"
              "ComboBox_SEL=1\r\n"
              "Tab_My=3\r\n");
    // A second end of run rewrites the same bytes.
    const std::string first = slurp(ini.path());
    writeMainSettings(ini, sample());
    EXPECT_EQ(slurp(ini.path()), first);
}

TEST(MainSettingsFile, ReadsBackEverythingButTheCount) {
    ScratchFolder dir;
    IniFile ini(dir.file(kSettingsFileName));
    EXPECT_EQ(readMainSettings(ini), MainSettings{});  // no file: all defaults
    writeMainSettings(ini, sample());
    MainSettings expected = sample();
    expected.count = "1";  // saved as KOSUU3, looked for as KOSUU
    EXPECT_EQ(readMainSettings(ini), expected);
}

TEST(MainSettingsFile, HandEditedValues) {
    ScratchFolder dir;
    IniFile ini(dir.file(kSettingsFileName));
    spit(ini.path(),
         "[vm_pelicanprn]\n"
         "Tab_My=0x3\n"
         "ComboBox_SEL=one\n"
         "E_CUS=  \"Yamada\"  \n"
         "op023myzip=100-0001\n"
         "KOSUU=5\n"
         "Unknown=kept\n");
    const MainSettings m = readMainSettings(ini);
    EXPECT_EQ(m.senderTab, 3);
    EXPECT_EQ(m.feedMode, 0);
    EXPECT_EQ(m.printSize, 1);
    EXPECT_EQ(m.consignee, "Yamada");
    EXPECT_EQ(m.senderZip, "100-0001");
    EXPECT_EQ(m.count, "5");

    writeMainSettings(ini, m);
    const std::string after = slurp(ini.path());
    EXPECT_NE(after.find("OP023MyZip=100-0001\n"), std::string::npos);  // rewritten in place
    EXPECT_EQ(after.find("op023myzip"), std::string::npos);
    EXPECT_NE(after.find("KOSUU=5\nUnknown=kept\n"), std::string::npos);
    EXPECT_EQ(readMainSettings(ini).count, "5");
}

TEST(MainSettingsFile, FailedWriteKeepsThePreviousSettingsWhole) {
    ScratchFolder dir;
    IniFile ini(dir.file(kSettingsFileName));
    writeMainSettings(ini, MainSettings{});
    const std::string before = slurp(ini.path());
    setAtomicWriteFaultForTesting([](AtomicWriteStep s) { return s == AtomicWriteStep::Write ? ENOSPC : 0; });
    EXPECT_THROW(writeMainSettings(ini, sample()), IniWriteError);
    setAtomicWriteFaultForTesting({});
    EXPECT_EQ(slurp(ini.path()), before);
    EXPECT_EQ(dir.entryCount(), 1u);
}

}  // namespace
