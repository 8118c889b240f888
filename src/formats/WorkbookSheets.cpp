#include "WorkbookSheets.h"

#include "WorkbookReader.h"
#include "data/SheetSource.h"

namespace WorkbookSheets {

void install() {
    SheetSource::install(
        [](const QString& path, const QString& name, QString* error) -> std::optional<SheetTable> {
            const auto reader = WorkbookReader::open(path, error);
            if (!reader)
                return std::nullopt;
            const auto sheet = reader->sheet(name, error);
            if (!sheet)
                return std::nullopt;
            return SheetTable{sheet->name, sheet->rows};
        });
}

} // namespace WorkbookSheets
