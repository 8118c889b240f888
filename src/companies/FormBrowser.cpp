#include "FormBrowser.h"

#include "app/Forms.h"
#include "services/Desktop.h"
#include "services/MsgBox.h"
#include "services/Pointer.h"
#include "services/Twips.h"
#include "widgets/DocumentView.h"

#include <QDir>
#include <QLabel>

FormBrowser::FormBrowser()
    : Form(QString::fromLatin1(Name)) {
    WebBrowser1 = new DocumentView(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    LabelWait = new QLabel(QStringLiteral("Please Wait..."), this);
    LabelWait->setObjectName(QStringLiteral("LabelWait"));
    LabelWait->setVisible(false);
}

void FormBrowser::Form_Load() {
    // The size of the contacts window where there is one.
    if (Form* contacts = Forms::loaded(QStringLiteral("FormContacts"))) {
        const QRect size = Twips::geometry(contacts);
        Twips::setSize(this, size.width(), size.height());
    } else {
        Twips::setSize(this, 12900, 7530);
    }
}

void FormBrowser::resizeEvent(QResizeEvent* event) {
    Form::resizeEvent(event);
    WebBrowser1->setGeometry(0, 0, std::max(0, width() - Twips::toPixelsX(100)), height());
}

bool FormBrowser::Navigate(const QString& path) {
    setWindowTitle(path);
    LabelWait->setVisible(true);
    Pointer::busy();
    const DocumentView::Kind kind = WebBrowser1->navigate(path);
    Pointer::normal();
    LabelWait->setVisible(false);
    const QString shown = QDir::toNativeSeparators(path);
    if (kind == DocumentView::Kind::Missing) {
        MsgBox::show(QStringLiteral("The file %1 cannot be found.").arg(shown),
                     MsgBox::OKOnly | MsgBox::Exclamation);
        return false;
    }
    if (kind == DocumentView::Kind::Other) {
        if (MsgBox::show(QStringLiteral("Tessaly cannot show %1 itself. Do you want to open it "
                                        "with the program your computer uses for such files?")
                             .arg(shown),
                         MsgBox::YesNo | MsgBox::Question) == MsgBox::Yes)
            Desktop::openFile(path);
        return false;
    }
    return true;
}
