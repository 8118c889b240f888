#include "FormActivities.h"

#include "data/Columns.h"
#include "data/DataSource.h"
#include "services/Colors.h"
#include "services/Twips.h"
#include "widgets/FieldBinder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

DocumentBrowser::Design design() {
    DocumentBrowser::Design d;
    d.name = FormActivities::Name;
    d.table = "TABLE09";
    d.caption = QStringLiteral("Activities");
    d.item = QStringLiteral("RECORD");
    d.items = QStringLiteral("RECORDS");
    d.deleteQuestion = QStringLiteral("Are you sure you want to delete this record?");
    d.navigationHelp = QStringLiteral("Navigate your records.");
    d.searchHelpBefore = QStringLiteral("Search correspondence to ");
    d.hiddenBoxes = {QStringLiteral("NUMBER01"), QStringLiteral("DATE01")};
    d.widthMargin = 200;
    d.heightMargin = 700;
    return d;
}

} // namespace

FormActivities::FormActivities()
    : DocumentBrowser(design()) {
    LabelMethod = new QLineEdit(this);
    LabelMethod->setObjectName(QStringLiteral("LabelMethod"));
    LabelMethod->setReadOnly(true);
    LabelMethod->setFrame(false);
    LabelMethod->setFocusPolicy(Qt::NoFocus);
    QFont bold = LabelMethod->font();
    bold.setBold(true);
    LabelMethod->setFont(bold);
    const QRect position = Twips::geometry(LabelPosition);
    Twips::setGeometry(LabelPosition, position.x(), position.y(), 2400, position.height());
    Twips::setGeometry(LabelMethod, position.x() + 2460, position.y() - 15, 960, 285);
    Colors::setBackground(LabelMethod, Colors::White);
    FieldBinder::bind(m_documents, LabelMethod, DocumentColumn::Kind);
}

void FormActivities::tick() {
    const QString kind = LabelMethod->text();
    if (kind == QLatin1String("EMAIL")) {
        CommandOutlook->setEnabled(true);
        CommandWord->setEnabled(false);
    } else if (kind == QLatin1String("LETTER") || kind == QLatin1String("TELEFAX")) {
        CommandWord->setEnabled(true);
        CommandOutlook->setEnabled(false);
    }
}

void FormActivities::paintEditing(qint64 background) {
    DocumentBrowser::paintEditing(background);
    Colors::setBackground(LabelMethod, background);
}
