#include "WorkbookReader.h"

#include "BiffReader.h"
#include "XlsReader.h"
#include "XlsxReader.h"

#include <QDir>
#include <QFile>

std::unique_ptr<WorkbookReader> WorkbookReader::open(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.exists() ? QStringLiteral("The workbook %1 cannot be read: %2")
                                         .arg(QDir::toNativeSeparators(path), file.errorString())
                                   : QStringLiteral("The workbook %1 does not exist.")
                                         .arg(QDir::toNativeSeparators(path));
        return nullptr;
    }
    const QByteArray magic = file.read(8);
    file.close();
    if (magic.startsWith("PK\x03\x04"))
        return XlsxReader::open(path, error);
    if (magic == QByteArray::fromHex("D0CF11E0A1B11AE1")) {
        // FreeXL first; where it refuses the file or finds no sheet in it
        // (BIFF5 files of other programs), the BIFF records are read here.
        QString refused;
        bool unreadable = false;
        auto reader = XlsReader::open(path, &refused, &unreadable);
        if (reader && !reader->sheetNames().isEmpty())
            return reader;
        if (!reader && !unreadable) {
            if (error)
                *error = refused; // too large: no other reader takes it either
            return nullptr;
        }
        QString fallbackError;
        auto fallback = BiffReader::open(path, &fallbackError);
        if (fallback && !fallback->sheetNames().isEmpty())
            return fallback;
        if (reader) {
            if (error)
                *error = fallback ? QStringLiteral("The workbook %1 holds no worksheet.")
                                        .arg(QDir::toNativeSeparators(path))
                                  : fallbackError;
            return nullptr;
        }
        if (error)
            *error = refused;
        return nullptr;
    }
    if (error)
        *error = QStringLiteral("%1 is not a workbook (neither .xlsx nor .xls).")
                     .arg(QDir::toNativeSeparators(path));
    return nullptr;
}

int WorkbookReader::sheetIndex(const QString& name) const {
    const QStringList names = sheetNames();
    for (int i = 0; i < names.size(); ++i)
        if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString WorkbookReader::tooLarge(const QString& path, const QString& why) {
    return QStringLiteral("The workbook %1 cannot be read: it is too large (%2).")
        .arg(QDir::toNativeSeparators(path), why);
}
