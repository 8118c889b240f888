#include "PrintWindow.h"

#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>
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

namespace {

// The default printer, or the test hook's PDF file; false without either.
bool choosePrinter(QPrinter& printer, QString* error) {
    if (!outputFile().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(outputFile());
        return true;
    }
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        if (error)
            *error = QStringLiteral("No printer is set up on this computer.");
        return false;
    }
    printer.setPrinterName(info.printerName());
    return true;
}

} // namespace

bool PrintWindow::printDocument(QTextDocument& document, const QString& title,
                                QPageLayout::Orientation orientation, QString* error) {
    QPrinter printer(QPrinter::HighResolution);
    if (!choosePrinter(printer, error))
        return false;
    printer.setPageOrientation(orientation);
    printer.setDocName(title);
    document.print(&printer);
    if (printer.printerState() == QPrinter::Error) {
        if (error)
            *error = QStringLiteral("The printer cannot be opened.");
        return false;
    }
    return true;
}

bool PrintWindow::print(QWidget* window, QString* error) {
    const QPixmap image = window->grab();
    QPrinter printer(QPrinter::HighResolution);
    if (!choosePrinter(printer, error))
        return false;
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
