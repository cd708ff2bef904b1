#pragma once
// Files and Shift-JIS bytes for the Qt tests: whole-file reads and writes,
// and UTF-8 or QString texts as the Shift-JIS bytes the program stores.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

#include "text/sjis_qt.h"

// The file's bytes; "<missing>" when it cannot be read, so a comparison
// tells a missing file from an empty one.
inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Replaces the file with `bytes` (a failed open fails the test).
inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

inline QByteArray sj(const QString& text) { return QByteArray::fromStdString(sjis::fromQString(text)); }
inline QByteArray sj(const char* utf8) { return sj(QString::fromUtf8(utf8)); }
