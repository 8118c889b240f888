#pragma once

#include "Form.h"

class QPdfDocument;
class QPdfView;

// "Tessaly Help": the user manual Help.pdf from the program folder at 75 %
// zoom, opened on the page of the window in use. The page is chosen when the
// window loads: the last window of the help-page table that is visible then.
class FormHelp : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormHelp";
    FormHelp();

    void Form_Load() override;

    // The help page of each window, in the table's order.
    static const QList<QPair<QString, int>>& HelpPages();
    int page() const { return m_page; } // 0 when no window of the table was visible
    QString address() const { return m_address; }
    QPdfView* WebBrowser1 = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPdfDocument* m_document;
    int m_page = 0;
    QString m_address;
};
