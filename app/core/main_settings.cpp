#include "app/core/main_settings.h"

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
    const std::string_view s = kSettingsSection;
    ini.writeInteger(s, "Addr_Font", m.printSize);
    ini.writeString(s, "E_ZIP", m.zip);
    ini.writeString(s, "E_AD1", m.address1);
    ini.writeString(s, "E_AD2", m.address2);
    ini.writeString(s, "E_CUS", m.consignee);
    ini.writeString(s, "E_TEL", m.tel);
    ini.writeString(s, "E_G1", m.goods1);
    ini.writeString(s, "E_G2", m.goods2);
    ini.writeString(s, "E_G3", m.goods3);
    ini.writeString(s, "KOSUU3", m.count);
    ini.writeString(s, "OP023My", m.senderName);
    ini.writeString(s, "OP023MyZip", m.senderZip);
    ini.writeString(s, "OP023MyADD1", m.senderAddress1);
    ini.writeString(s, "OP023MyADD2", m.senderAddress2);
    ini.writeString(s, "OP023MyTEL", m.senderTel);
    ini.writeInteger(s, "ComboBox_SEL", m.feedMode);
    ini.writeInteger(s, "Tab_My", m.senderTab);
}
