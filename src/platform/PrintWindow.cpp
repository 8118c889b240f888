#include "PrintWindow.h"

#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace {
QString& outputFile() {
    static QString path;
    return path;
}
} // namespace

void PrintWindow::printToFile(const QString& pdfPath) {
    outputFile() = pdfPath;
}

void PrintWindow::printToPrinter() {
    outputFile().clear();
}

bool PrintWindow::print(QWidget* window, QString* error) {
    const QPixmap image = window->grab();
    QPrinter printer(QPrinter::HighResolution);
    if (!outputFile().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(outputFile());
    } else {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull()) {
            if (error)
                *error = QStringLiteral("No printer is set up on this computer.");
            return false;
        }
        printer.setPrinterName(info.printerName());
    }
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(window->windowTitle());
    QPainter painter;
    if (!painter.begin(&printer)) {
        if (error)
            *error = QStringLiteral("The printer cannot be opened.");
        return false;
    }
    const QRect page = painter.viewport();
    QSize size = image.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.setViewport(page.x(), page.y(), size.width(), size.height());
    painter.setWindow(image.rect());
    painter.drawPixmap(0, 0, image);
    return painter.end();
}
