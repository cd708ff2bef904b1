#pragma once
// The main window's settings file vamu_Pelican.ini: what it keeps between
// runs, read once at the first showing and written once at the end.
#include <cstdint>
#include <string>

#include "store/ini_file.h"

inline constexpr char kSettingsFileName[] = "vamu_Pelican.ini";
inline constexpr char kSettingsSection[] = "vm_Pelicanprn";

struct MainSettings {
    std::int32_t senderTab = 0;  // Tab_My
    std::int32_t feedMode = 0;   // ComboBox_SEL
    std::int32_t printSize = 1;  // Addr_Font
    std::string senderName, senderZip, senderAddress1, senderAddress2, senderTel;
    std::string zip, address1, address2, consignee, tel, goods1, goods2, goods3;
    std::string count = "1";
    bool operator==(const MainSettings&) const = default;
};

// Reads every key in the start-up order (Tab_My, ComboBox_SEL, Addr_Font,
// the sender keys, the consignee and goods keys, then the count). The count
// is looked for under "KOSUU", which the program never writes, so it comes
// back as "1" unless that key was put in by other means. Never fails:
// anything missing gives its default.
MainSettings readMainSettings(const IniFile& ini);

// Writes every key in the file's own order: Addr_Font, E_ZIP ... E_G3,
// KOSUU3, OP023My ... OP023MyTEL, ComboBox_SEL, Tab_My. All keys go to disk
// in one replacement of the file, so a failed write (IniWriteError) leaves
// the previous settings whole rather than half of them new.
void writeMainSettings(IniFile& ini, const MainSettings& settings);
