#pragma once
// The printer file vamu_a500.ini in the base folder: one record per feed
// mode, in the section named by the feed mode's text (Shift-JIS).
#include <QString>

namespace printer_file {

// One feed mode's record. The printer is found by its name; the index
// among the usable printers serves files that hold no name. The paper
// size and bin are the names the printer's lists show (empty: the
// printer's own default). `feedAfterJob`: one blank form is fed after every
// job (kept as PrnFeedAfterJob=1; readers that do not know the key skip it).
// `form`: the id of the form the feed mode prints on (PrnForm; empty: the
// built-in form).
struct Record {
    QString name, prnNoIndex, top, left, paper, bin;
    bool feedAfterJob = false;
    QString form;
};

QString path(const QString& baseFolder);

// PrnName, PrnNoIndex, vamPrn_Top, vamPrn_Left, PrnPaperSize, PrnBin,
// PrnFeedAfterJob and PrnForm; missing ones give "" for the name, paper,
// bin and form, off for the blank form, "0" for the others.
Record readRecord(const QString& baseFolder, const QString& section);

// Writes PrnName (trimmed), PrnNoIndex, vamPrn_Top, vamPrn_Left in this
// order, in one replacement of the file; the paper and bin keys stay as
// they are. Raises IniWriteError.
void writeRecord(const QString& baseFolder, const QString& section, const QString& printerName,
                 const QString& prnNoIndex, const QString& top, const QString& left);

// The whole record: the four keys above, then PrnPaperSize, PrnBin,
// PrnFeedAfterJob ("1" or "0"; left out while the record never asked for
// the blank form) and PrnForm (left out while the record never named a form
// other than the built-in one).
void writeRecord(const QString& baseFolder, const QString& section, const Record& record);

}  // namespace printer_file
