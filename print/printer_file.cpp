#include "print/printer_file.h"

#include <QFile>
#include <string>
#include <utility>
#include <vector>

#include "print/core/form.h"
#include "store/ini_file.h"
#include "text/sjis.h"
#include "text/sjis_qt.h"

namespace printer_file {

namespace {
IniFile fileIn(const QString& baseFolder) { return IniFile(QFile::encodeName(path(baseFolder)).toStdString()); }

using KeyValues = std::vector<std::pair<std::string, std::string>>;

KeyValues printerKeys(const QString& printerName, const QString& prnNoIndex, const QString& top,
                      const QString& left) {
    return {{"PrnName", sjis::trim(sjis::fromQString(printerName))},
            {"PrnNoIndex", sjis::fromQString(prnNoIndex)},
            {"vamPrn_Top", sjis::fromQString(top)},
            {"vamPrn_Left", sjis::fromQString(left)}};
}
}  // namespace

QString path(const QString& baseFolder) { return baseFolder + QStringLiteral("/vamu_a500.ini"); }

Record readRecord(const QString& baseFolder, const QString& section) {
    const IniFile ini = fileIn(baseFolder);
    const std::string s = sjis::fromQString(section);
    auto read = [&](const char* key, const char* fallback) { return sjis::toQString(ini.readString(s, key, fallback)); };
    return {read("PrnName", ""),      read("PrnNoIndex", "0"), read("vamPrn_Top", "0"),
            read("vamPrn_Left", "0"), read("PrnPaperSize", ""), read("PrnBin", ""),
            read("PrnFeedAfterJob", "0").trimmed() == QStringLiteral("1"), read("PrnForm", "").trimmed()};
}

void writeRecord(const QString& baseFolder, const QString& section, const QString& printerName,
                 const QString& prnNoIndex, const QString& top, const QString& left) {
    IniFile ini = fileIn(baseFolder);
    // Written as one replacement: the record is never left half-updated.
    ini.writeStrings(sjis::fromQString(section), printerKeys(printerName, prnNoIndex, top, left));
}

void writeRecord(const QString& baseFolder, const QString& section, const Record& record) {
    KeyValues keys = printerKeys(record.name, record.prnNoIndex, record.top, record.left);
    keys.emplace_back("PrnPaperSize", sjis::fromQString(record.paper));
    keys.emplace_back("PrnBin", sjis::fromQString(record.bin));
    IniFile ini = fileIn(baseFolder);
    const std::string s = sjis::fromQString(section);
    // Only a record that has ever asked for the blank form carries the key,
    // so a file that never did stays as older versions wrote it.
    if (record.feedAfterJob || !ini.readString(s, "PrnFeedAfterJob", "").empty())
        keys.emplace_back("PrnFeedAfterJob", record.feedAfterJob ? "1" : "0");
    // The same for the form: a file whose records print on the built-in
    // form keeps its bytes.
    const std::string& builtin = print::builtinForm().id;
    const std::string form = record.form.isEmpty() ? builtin : sjis::fromQString(record.form.trimmed());
    if (form != builtin || !ini.readString(s, "PrnForm", "").empty()) keys.emplace_back("PrnForm", form);
    ini.writeStrings(s, keys);
}

}  // namespace printer_file
