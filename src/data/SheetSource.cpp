#include "SheetSource.h"

namespace {

SheetSource::Reader& installed() {
    static SheetSource::Reader reader;
    return reader;
}

} // namespace

void SheetSource::install(Reader reader) {
    installed() = std::move(reader);
}

std::optional<SheetTable> SheetSource::read(const QString& path, const QString& sheet,
                                            QString* error) {
    if (!installed()) {
        if (error)
            *error = QStringLiteral("No reader of workbooks is installed, so the worksheet [%1$] "
                                    "cannot be read.")
                         .arg(sheet);
        return std::nullopt;
    }
    return installed()(path, sheet, error);
}
