#include "FormExport.h"

#include "app/Controls.h"
#include "app/Forms.h"
#include "app/ModuleHelp.h"
#include "data/DataSource.h"
#include "data/Database.h"
#include "data/SqlQuote.h"
#include "data/SqliteConnection.h"
#include "formats/Csv.h"
#include "formats/VCard.h"
#include "platform/ProgramFolder.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Pointer.h"
#include "services/Twips.h"
#include "widgets/DBCombo.h"
#include "widgets/DataMessages.h"
#include "widgets/FlexGrid.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace {

// The headings of the export file, one per column of the query.
const QStringList Headings{QStringLiteral("Company"),          QStringLiteral("Business Street"),
                           QStringLiteral("Business Street2"), QStringLiteral("Business City"),
                           QStringLiteral("Business Phone"),   QStringLiteral("Business Fax"),
                           QStringLiteral("Web Page"),         QStringLiteral("Title"),
                           QStringLiteral("First Name"),       QStringLiteral("Last Name"),
                           QStringLiteral("Mobile Phone"),     QStringLiteral("E-mail Address"),
                           QStringLiteral("Job Title"),        QStringLiteral("Assistant's Name")};

bool writeFile(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("The file %1 cannot be written: %2")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}

} // namespace

FormExport::FormExport()
    : Form(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    Data1 = new DataSource(QStringLiteral("Data1"), this);
    Data1->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    DataMT12 = new DataSource(QStringLiteral("DataMT12"), this);
    DataMT12->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    DataMT12->setRecordSource(QStringLiteral("MT12"));

    LabelName =
        Controls::label(this, "LabelName", QStringLiteral("Select your Name..."), 120, 120, 2400);
    DBComboName = new DBCombo(this);
    DBComboName->setObjectName(QStringLiteral("DBComboName"));
    DBComboName->setRowSource(DataMT12, QStringLiteral("TEXT01"));
    connect(DBComboName, &DBCombo::clicked, this, &FormExport::DBComboName_Click);
    CommandExport = Controls::button(this, "CommandExport", QStringLiteral("&Export"), 0, 0, 1215);
    connect(CommandExport, &QPushButton::clicked, this, &FormExport::CommandExport_Click);
    CommandHelp = Controls::pictureButton(this, "CommandHelp", "help-browser", 0, 0);
    CommandHelp->setToolTip(QStringLiteral("Tessaly Help (F1)"));
    connect(CommandHelp, &QPushButton::clicked, this, &FormExport::CommandHelp_Click);
    LabelDone = Controls::label(this, "LabelDone", QString(), 0, 0, 3000);
    MSFlexGrid1 = new FlexGrid(this);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->setDataSource(Data1);

    // The window is sizable: the grid takes what the controls above leave.
    auto* top = new QHBoxLayout;
    top->addWidget(LabelName);
    top->addWidget(DBComboName, 1);
    top->addWidget(CommandExport);
    top->addWidget(CommandHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(LabelDone);
    layout->addWidget(MSFlexGrid1, 1);
}

QString FormExport::recordSource(const QString& salesPerson) {
    return QStringLiteral("SELECT TABLE01.TEXT01 AS Company, ") +
           QStringLiteral("TABLE01.TEXT06 AS [Business Street], ") +
           QStringLiteral("TABLE01.TEXT07 AS [Business Street2], ") +
           QStringLiteral("TABLE01.TEXT08 AS [Business City], ") +
           QStringLiteral("TABLE01.TEXT10 AS [Business Phone], ") +
           QStringLiteral("TABLE01.TEXT11 AS [Business Fax], ") +
           QStringLiteral("TABLE01.TEXT12 AS [Web Page], TABLE03.TEXT01 AS Title, ") +
           QStringLiteral("TABLE03.TEXT02 AS [First Name], ") +
           QStringLiteral("TABLE03.TEXT03 AS [Last Name], ") +
           QStringLiteral("TABLE03.TEXT04 AS [Mobile Phone], ") +
           QStringLiteral("TABLE03.TEXT05 AS [E-mail Address], ") +
           QStringLiteral("TABLE03.TEXT07 AS [Job Title], ") +
           QStringLiteral("TABLE03.TEXT10 AS [Assistant's Name] ") +
           QStringLiteral("FROM TABLE01, TABLE03 ") +
           QStringLiteral("WHERE TABLE01.AUTONUMBER = TABLE03.NUMBER01 AND ") +
           QStringLiteral("(TABLE01.TEXT20 = 'Company') AND ") +
           QStringLiteral("(TABLE01.TEXT18 = '") + SqlQuote::text(salesPerson) +
           QStringLiteral("') ORDER BY TABLE01.TEXT01");
}

void FormExport::Form_Load() {
    setWindowTitle(QStringLiteral("Export"));
    Colors::setBackground(this, Colors::White);
    Twips::setSize(this, 5000, 2000);
    setKeyPreview(true);
    LabelDone->setVisible(false);
    CommandExport->setEnabled(false);
    DataMessages::refresh(DataMT12);
    DBComboName->setText(QString());
}

void FormExport::Form_Unload(bool&) {
    Forms::show(QStringLiteral("FormMenu"));
}

bool FormExport::Form_KeyUp(QKeyEvent* event) {
    if (event->key() != Qt::Key_F1)
        return false;
    CommandHelp_Click();
    return true;
}

void FormExport::CommandHelp_Click() {
    ModuleHelp::ShowHelp();
}

void FormExport::DBComboName_Click() {
    CommandExport->setEnabled(!DBComboName->selectedItem().isEmpty());
}

void FormExport::CommandExport_Click() {
    // A staging table an earlier import left behind goes.
    QString ignored;
    if (auto connection =
            SqliteConnection::shared(Database::resolve(QStringLiteral("TESSALY.mdb")), &ignored);
        connection && connection->tableExists(QStringLiteral("Contacts")))
        connection->execute(QStringLiteral("DROP TABLE Contacts"), &ignored);
    Data1->setRecordSource(recordSource(DBComboName->text()));
    if (!DataMessages::refresh(Data1))
        return;
    QString error;
    if (!OutlookContacts(&error)) {
        // The export did not happen: the user is told so, not that it did.
        MsgBox::show(error, MsgBox::OKOnly);
        return;
    }
    CommandExport->setEnabled(false);
    LabelDone->setText(QStringLiteral("All contacts successfully exported!"));
    LabelDone->setVisible(true);
}

bool FormExport::OutlookContacts(QString* error) {
    Pointer::busy();
    // The values as stored: each field a text, never read as a number or a
    // date the way a pasted cell would be ("0123" keeps its zero).
    QList<QStringList> rows{Headings};
    QList<VCard::Contact> cards;
    const int columns = int(Headings.size());
    for (int row = 0; row < Data1->rowCount(); ++row) {
        QStringList values;
        for (int c = 0; c < columns; ++c)
            values.append(Data1->textAt(row, c));
        rows.append(values);
        VCard::Contact card;
        card.company = values[0];
        card.street = QStringList{values[1], values[2]}.join(u'\n').trimmed();
        card.city = values[3];
        card.telephone = values[4];
        card.telefax = values[5];
        card.website = values[6];
        card.title = values[7];
        card.firstName = values[8];
        card.lastName = values[9];
        card.cellphone = values[10];
        card.email = values[11];
        card.jobTitle = values[12];
        card.assistant = values[13];
        cards.append(card);
    }
    const QString temp = ProgramFolder::tempFolder();
    QDir().mkpath(temp);
    const bool written = writeFile(QDir(temp).filePath(QStringLiteral("Contacts.csv")),
                                   "\xEF\xBB\xBF" + Csv::write(rows).toUtf8(), error) &&
                         writeFile(QDir(temp).filePath(QStringLiteral("Contacts.vcf")),
                                   VCard::write(cards).toUtf8(), error);
    Pointer::normal();
    return written;
}
