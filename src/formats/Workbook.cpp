#include "Workbook.h"

#include "Csv.h"
#include "Sheet.h"
#include "WorkbookReader.h"
#include "XlsxWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

bool hasSuffix(const QString& path, const char* suffix) {
    return QFileInfo(path).suffix().compare(QLatin1String(suffix), Qt::CaseInsensitive) == 0;
}

// The file to read for a name: itself, or the .xlsx or .xls of that name.
QString existingWorkbook(const QString& path) {
    if (QFileInfo::exists(path))
        return path;
    const QFileInfo info(path);
    const QString base = info.dir().filePath(info.completeBaseName());
    for (const char* suffix : {".xlsx", ".xls"}) {
        const QString sibling = base + QLatin1String(suffix);
        if (QFileInfo::exists(sibling))
            return sibling;
    }
    return path;
}

} // namespace

Workbook::Workbook(WorkbookOwner* owner, const QString& name)
    : m_owner(owner)
    , m_name(name) {
    addSheet(QStringLiteral("Sheet1"));
}

Workbook::~Workbook() = default;

std::unique_ptr<Workbook> Workbook::open(const QString& requested, QString* error,
                                         WorkbookOwner* owner) {
    const QString path = existingWorkbook(requested);
    auto workbook = std::make_unique<Workbook>(owner, QFileInfo(path).fileName());
    workbook->m_sheets.clear();
    if (hasSuffix(path, "csv")) {
        if (!workbook->readCsv(path, error))
            return nullptr;
        workbook->m_format = FileFormat::Csv;
    } else {
        auto reader = WorkbookReader::open(path, error);
        if (!reader)
            return nullptr;
        for (const QString& name : reader->sheetNames()) {
            const auto worksheet = reader->sheet(name, error);
            if (!worksheet)
                return nullptr;
            workbook->m_sheets.push_back(Sheet::fromWorksheet(*worksheet));
        }
        if (workbook->m_sheets.empty())
            workbook->m_sheets.push_back(std::make_unique<Sheet>());
    }
    workbook->m_active = workbook->m_sheets.front().get();
    workbook->m_path = QFileInfo(path).absoluteFilePath();
    return workbook;
}

bool Workbook::readCsv(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.exists() ? QStringLiteral("The file %1 cannot be read: %2")
                                         .arg(QDir::toNativeSeparators(path), file.errorString())
                                   : QStringLiteral("The workbook %1 does not exist.")
                                         .arg(QDir::toNativeSeparators(path));
        return false;
    }
    const QByteArray data = file.readAll();
    // UTF-8 as written here; an older file in a single-byte code page reads as Latin-1.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(data);
    if (utf8.hasError())
        text = QString::fromLatin1(data);
    auto sheet = std::make_unique<Sheet>(QFileInfo(path).completeBaseName().left(31));
    const QList<QStringList> rows = Csv::parse(text);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows.at(r).size(); ++c)
            sheet->enter(r, c, rows.at(r).at(c));
    m_sheets.push_back(std::move(sheet));
    return true;
}

Sheet* Workbook::sheet(int index) const {
    return index >= 0 && index < sheetCount() ? m_sheets.at(size_t(index)).get() : nullptr;
}

Sheet* Workbook::sheet(const QString& name) const {
    for (const auto& sheet : m_sheets)
        if (sheet->name().compare(name, Qt::CaseInsensitive) == 0)
            return sheet.get();
    return nullptr;
}

Sheet* Workbook::addSheet(const QString& name) {
    QString unique = name;
    for (int n = sheetCount() + 1; unique.isEmpty() || sheet(unique); ++n)
        unique = QStringLiteral("Sheet%1").arg(n);
    m_sheets.push_back(std::make_unique<Sheet>(unique));
    m_active = m_sheets.back().get();
    return m_active;
}

Sheet* Workbook::activeSheet() const {
    return m_active;
}

void Workbook::activateSheet(Sheet* sheet) {
    for (const auto& own : m_sheets)
        if (own.get() == sheet)
            m_active = sheet;
}

QString Workbook::name() const {
    return m_path.isEmpty() ? m_name : QFileInfo(m_path).fileName();
}

bool Workbook::saveAs(const QString& requested, FileFormat format, QString* error) {
    QString path = QFileInfo(requested).absoluteFilePath();
    if (format == FileFormat::Xlsx && hasSuffix(path, "xls"))
        path += u'x';
    else if (QFileInfo(path).suffix().isEmpty())
        path += format == FileFormat::Csv ? QStringLiteral(".csv") : QStringLiteral(".xlsx");

    for (const auto& sheet : m_sheets)
        sheet->recalculate();
    if (format == FileFormat::Csv) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            if (error)
                *error = QStringLiteral("The file %1 cannot be written: %2")
                             .arg(QDir::toNativeSeparators(path), file.errorString());
            return false;
        }
        const Sheet* sheet = m_active ? m_active : m_sheets.front().get();
        file.write(Csv::write(sheet->displayRows()).toUtf8());
        if (!file.commit()) {
            if (error)
                *error = QStringLiteral("The file %1 cannot be written: %2")
                             .arg(QDir::toNativeSeparators(path), file.errorString());
            return false;
        }
    } else if (!XlsxWriter::write(*this, path, error)) {
        return false;
    }
    m_path = path;
    m_format = format;
    if (m_owner)
        m_owner->workbookSaved(this);
    return true;
}

bool Workbook::save(QString* error) {
    if (m_path.isEmpty()) {
        if (error)
            *error = QStringLiteral("The workbook %1 has no file yet: save it under a name "
                                    "first.")
                         .arg(m_name);
        return false;
    }
    return saveAs(m_path, m_format, error);
}

void Workbook::close() {
    if (m_owner)
        m_owner->workbookClosed(this);
}
