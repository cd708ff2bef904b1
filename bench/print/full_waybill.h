#pragma once
// A full waybill for the print benchmarks: every field filled with texts
// of typical length, marks checked.
#include <string>

#include "print/core/waybill_fields.h"

namespace bench_print {

inline print::WaybillFields fullWaybill() {
    print::WaybillFields f;
    f.dpix = f.dpiy = "360";
    f.prnTop = "12";
    f.prnLeft = "-3";
    f.zip = "123-4567";
    f.date = "2010/12/18";
    f.deDate1 = "10"; f.deDate2 = "12"; f.deDate3 = "24";
    // Full-width texts (Shift-JIS) of typical length.
    const std::string kana = "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8";  // あいうえお
    f.add1 = kana + kana + kana + kana;
    f.add2 = kana + kana;
    f.g1 = f.g2 = f.g3 = kana + kana + kana;
    f.custo1 = kana + kana;
    f.tel = "03-1234-5678";
    f.myZip = "530-0001";
    f.myAdd1 = kana + kana + kana;
    f.myAdd2 = kana;
    f.my = kana + kana;
    f.myTel = "06-1111-2222";
    f.timeBand[1] = true;
    f.special = {true, false, true, true, true};
    return f;
}

}  // namespace bench_print
