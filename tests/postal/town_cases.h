#pragma once
// Codes against addresses down to the town, on the bundled table: each
// check of a code (the library, the batch, the command-line tool) is run
// over the same cases.
#include <vector>

struct TownCase {
    const char* zip;
    const char* address;  // UTF-8
    bool matches;
};

inline const std::vector<TownCase>& townCases() {
    static const std::vector<TownCase> cases = {
        {"5300002", "大阪府大阪市北区曽根崎新地1-3-16", true},
        {"5300002", "大阪府大阪市北区梅田1-1", false},     // another town of the city
        {"5300001", "大阪府大阪市北区梅田3-1-3", true},
        {"5300057", "大阪市北区曽根崎新地1-1", false},     // a longer town is named
        {"5300002", "大阪市北区曽根崎2-3", false},         // a shorter one
        {"5300000", "大阪府大阪市北区梅田1-1", true},      // the code for the rest of the city
        {"5300002", "大阪府大阪市北区", true},             // no town yet
        {"5300002", "大阪市北区ほげ町1-2", true},          // a town the table does not know
        {"5306012", "大阪市北区天満橋1-8-30 OAPタワー12階", true},  // a high-rise's floor
        {"5306012", "大阪市北区梅田1-1", false},
        {"0010011", "北海道札幌市北区北11条西4丁目", true},  // digits for kanji numerals
        {"0010011", "札幌市北区北十一条西四丁目", true},
        {"0010010", "札幌市北区北11条西4", false},
        {"0640820", "札幌市中央区大通西5丁目", true},      // the 丁目 ranges are not told apart
        {"3703501", "群馬県北群馬郡榛東村大字長岡1", true},  // 大字 and 字
        {"3703501", "榛東村字長岡", true},
        {"3703502", "榛東村大字長岡", false},
        {"6040841", "京都市中京区車屋町通二条下る仁王門突抜町", true},  // the street first
        {"6040875", "京都市中京区車屋町通二条下る仁王門突抜町", false},
    };
    return cases;
}
