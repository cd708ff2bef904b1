#pragma once
// The printer file vamu_a500.ini in the base folder: one record per feed
// mode, in the section named by the feed mode's text (Shift-JIS).
#include <QString>

namespace printer_file {

struct Record {
    QString prnNoIndex, top, left;
};

QString path(const QString& baseFolder);

// PrnNoIndex, vamPrn_Top, vamPrn_Left, each "0" when missing.
Record readRecord(const QString& baseFolder, const QString& section);

// Writes PrnName (trimmed), PrnNoIndex, vamPrn_Top, vamPrn_Left in this
// order, in one replacement of the file. Raises IniWriteError.
void writeRecord(const QString& baseFolder, const QString& section, const QString& printerName,
                 const QString& prnNoIndex, const QString& top, const QString& left);

}  // namespace printer_file
