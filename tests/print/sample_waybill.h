#pragma once
// A full waybill for the printing tests and benchmarks: Japanese texts in
// every field, margins, a date and some marks checked.
#include <QString>

#include "print/core/waybill_fields.h"
#include "text/sjis_qt.h"

namespace layout_test {

// A full waybill with Japanese texts in every field.
inline print::WaybillFields sampleFields() {
    auto sj = [](const char* utf8) { return sjis::fromQString(QString::fromUtf8(utf8)); };
    print::WaybillFields f;
    f.dpix = f.dpiy = "360";
    f.prnTop = "12";
    f.prnLeft = "-3";
    f.zip = "123-4567";
    f.date = "2010/12/18";
    f.deDate1 = "10"; f.deDate2 = "12"; f.deDate3 = "24";
    f.add1 = sj("東京都千代田区丸の内１－２－３");
    f.add2 = sj("ペリカンビル５階");
    f.g1 = sj("りんご"); f.g2 = sj("みかん（ワレモノ）"); f.g3 = sj("書類");
    f.custo1 = sj("日通　太郎");
    f.tel = "03-1234-5678";
    f.myZip = "530-0001";
    f.myAdd1 = sj("大阪府大阪市北区梅田１－１");
    f.myAdd2 = sj("ｶﾌﾞｼｷｶﾞｲｼｬ");
    f.my = sj("株式会社バム");
    f.myTel = "06-1111-2222";
    f.timeBand[3] = true;
    f.special[2] = f.special[3] = true;
    return f;
}

}  // namespace layout_test
