#pragma once
// The bundled table, loaded once for every test that reads it, and UTF-8
// text as the Shift-JIS bytes the core takes.
#include <string>
#include <string_view>

#include "postal/postal_table.h"
#include "text/sjis_convert.h"

inline const postal::Table& bundledTable() {
    static const postal::Table table = postal::Table::load(VP_BUNDLED_TABLE);
    return table;
}

inline std::string sj(std::string_view utf8) { return sjis::fromUtf8(utf8).value(); }
inline std::string u8(std::string_view sjisText) { return sjis::toUtf8(sjisText); }
