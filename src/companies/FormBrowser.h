#pragma once

#include "app/Form.h"

class DocumentView;
class QLabel;

// The document viewer: an attached document or a product's file shown in
// the program (PDF, images, text, HTML, RTF); other kinds are offered to the
// user's own program, and a missing file is reported.
class FormBrowser : public Form {
    Q_OBJECT
public:
    static constexpr const char* Name = "FormBrowser";
    FormBrowser();

    void Form_Load() override;
    // Shows the file and takes its path as the caption.
    bool Navigate(const QString& path);
    DocumentView* WebBrowser1 = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLabel* LabelWait;
};
