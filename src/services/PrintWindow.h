#pragma once

#include <QPageLayout>
#include <QString>

class QTextDocument;
class QWidget;

// Prints a window's image in landscape on the default printer, scaled to fit
// the page, or a document laid out on the printer's pages. Test hook:
// printToFile() sends every print to a PDF file instead.
class PrintWindow {
public:
    // False, with the reason, when there is no printer or printing fails.
    static bool print(QWidget* window, QString* error = nullptr);
    static bool printDocument(QTextDocument& document, const QString& title,
                              QPageLayout::Orientation orientation, QString* error = nullptr);

    static void printToFile(const QString& pdfPath);
    static void printToPrinter();
};
