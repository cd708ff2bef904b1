#include "settings/main_settings.h"

MainSettings readMainSettings(const IniFile& ini) {
    const std::string_view s = kSettingsSection;
    MainSettings m;
    m.senderTab = ini.readInteger(s, "Tab_My", 0);
    m.feedMode = ini.readInteger(s, "ComboBox_SEL", 0);
    m.printSize = ini.readInteger(s, "Addr_Font", 1);
    m.senderName = ini.readString(s, "OP023My", "");
    // Written as OP023MyZip; the same key by the case- and blank-blind match.
    m.senderZip = ini.readString(s, "OP023MyZIP ", "");
    m.senderAddress1 = ini.readString(s, "OP023MyADD1", "");
    m.senderAddress2 = ini.readString(s, "OP023MyADD2", "");
    m.senderTel = ini.readString(s, "OP023MyTEL", "");
    m.zip = ini.readString(s, "E_ZIP", "");
    m.address1 = ini.readString(s, "E_AD1", "");
    m.address2 = ini.readString(s, "E_AD2", "");
    m.consignee = ini.readString(s, "E_CUS", "");
    m.tel = ini.readString(s, "E_TEL", "");
    m.goods1 = ini.readString(s, "E_G1", "");
    m.goods2 = ini.readString(s, "E_G2", "");
    m.goods3 = ini.readString(s, "E_G3", "");
    m.count = ini.readString(s, "KOSUU", "1");
    return m;
}

void writeMainSettings(IniFile& ini, const MainSettings& m) {
    ini.writeStrings(kSettingsSection, {
                                           {"Addr_Font", std::to_string(m.printSize)},
                                           {"E_ZIP", m.zip},
                                           {"E_AD1", m.address1},
                                           {"E_AD2", m.address2},
                                           {"E_CUS", m.consignee},
                                           {"E_TEL", m.tel},
                                           {"E_G1", m.goods1},
                                           {"E_G2", m.goods2},
                                           {"E_G3", m.goods3},
                                           {"KOSUU3", m.count},
                                           {"OP023My", m.senderName},
                                           {"OP023MyZip", m.senderZip},
                                           {"OP023MyADD1", m.senderAddress1},
                                           {"OP023MyADD2", m.senderAddress2},
                                           {"OP023MyTEL", m.senderTel},
                                           {"ComboBox_SEL", std::to_string(m.feedMode)},
                                           {"Tab_My", std::to_string(m.senderTab)},
                                       });
}
