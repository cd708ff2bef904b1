#include "print/printer_file.h"

#include <QFile>

#include "store/ini_file.h"
#include "text/sjis.h"
#include "text/sjis_qt.h"

namespace printer_file {

namespace {
IniFile fileIn(const QString& baseFolder) { return IniFile(QFile::encodeName(path(baseFolder)).toStdString()); }
}  // namespace

QString path(const QString& baseFolder) { return baseFolder + QStringLiteral("/vamu_a500.ini"); }

Record readRecord(const QString& baseFolder, const QString& section) {
    const IniFile ini = fileIn(baseFolder);
    const std::string s = sjis::fromQString(section);
    return {sjis::toQString(ini.readString(s, "PrnNoIndex", "0")), sjis::toQString(ini.readString(s, "vamPrn_Top", "0")),
            sjis::toQString(ini.readString(s, "vamPrn_Left", "0"))};
}

void writeRecord(const QString& baseFolder, const QString& section, const QString& printerName,
                 const QString& prnNoIndex, const QString& top, const QString& left) {
    IniFile ini = fileIn(baseFolder);
    // Written as one replacement: the record is never left half-updated.
    ini.writeStrings(sjis::fromQString(section), {{"PrnName", sjis::trim(sjis::fromQString(printerName))},
                                                  {"PrnNoIndex", sjis::fromQString(prnNoIndex)},
                                                  {"vamPrn_Top", sjis::fromQString(top)},
                                                  {"vamPrn_Left", sjis::fromQString(left)}});
}

}  // namespace printer_file
