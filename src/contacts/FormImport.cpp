#include "FormImport.h"

#include "app/Controls.h"
#include "app/Forms.h"
#include "app/ModuleHelp.h"
#include "data/DataSource.h"
#include "data/Database.h"
#include "data/SqliteConnection.h"
#include "formats/ContactImport.h"
#include "platform/Clock.h"
#include "services/Colors.h"
#include "services/FileChooser.h"
#include "services/MsgBox.h"
#include "services/Pointer.h"
#include "services/Twips.h"
#include "widgets/DataMessages.h"
#include "widgets/FieldBinder.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <sqlite3.h>

namespace {

const QString Staging = QStringLiteral("Contacts");

std::shared_ptr<SqliteConnection> mainDatabase(QString* error) {
    return SqliteConnection::shared(Database::resolve(QStringLiteral("TESSALY.mdb")), error);
}

} // namespace

FormImport::FormImport()
    : Form(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);
    CommandImport =
        Controls::button(this, "CommandImport", QStringLiteral("&Import"), 240, 240, 1215);
    CommandYes = Controls::button(this, "CommandYes", QStringLiteral("&Yes"), 240, 2520, 1215);
    CommandNo = Controls::button(this, "CommandNo", QStringLiteral("&No"), 1560, 2520, 1215);
    CommandHelp = Controls::pictureButton(this, "CommandHelp", "help-browser", 1560, 220);
    LabelDone = Controls::label(this, "LabelDone", QString(), 240, 780, 4320, 1620);
    LabelDone->setWordWrap(true);
    LabelDone->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    connect(CommandImport, &QPushButton::clicked, this, &FormImport::CommandImport_Click);
    connect(CommandYes, &QPushButton::clicked, this, &FormImport::CommandYes_Click);
    connect(CommandNo, &QPushButton::clicked, this, &FormImport::CommandNo_Click);
    connect(CommandHelp, &QPushButton::clicked, this, &FormImport::CommandHelp_Click);

    // The flag has a column of its own in User.mdb (TEXT10): the mail
    // window keeps its state in TEXT09.
    Data1 = new DataSource(QStringLiteral("Data1"), this);
    Data1->setDatabaseName(QStringLiteral("User.mdb"));
    Data1->setRecordSource(QStringLiteral("TABLE01"));
    Text09 = new QLineEdit(this);
    Text09->setObjectName(QStringLiteral("Text09"));
    Text09->setVisible(false);
    FieldBinder::bind(Data1, Text09, QStringLiteral("TEXT10"));
}

QString FormImport::importStatement() {
    return QStringLiteral(
        "INSERT INTO TABLE01 (TEXT01, TEXT08, TEXT10, TEXT11, TEXT12) SELECT DISTINCT "
        "Contacts.Company AS TEXT01, Contacts.BusinessCity AS TEXT08, Contacts.BusinessPhone AS "
        "TEXT10, Contacts.BusinessFax AS TEXT11, Contacts.WebPage AS TEXT12 From Contacts");
}

QString FormImport::failureMessage() {
    return QStringLiteral("You did not export your contacts from MS-Outlook or something went "
                          "wrong during the importation process!") +
           QStringLiteral("\r\n") + QStringLiteral("Please try exporting from MS-Outlook again.");
}

QString FormImport::againQuestion() {
    return QStringLiteral("You have already imported data from MS-Outlook. ") +
           QStringLiteral("Performing this operation again from the same MS-Outlook program will "
                          "cause duplicates to be created. ") +
           QStringLiteral("Are you sure you want to continue?");
}

void FormImport::Form_Load() {
    setWindowTitle(QStringLiteral("Import"));
    Colors::setBackground(this, Colors::White);
    Twips::setFixedSize(this, 3200, 2000);
    setKeyPreview(true);
    CommandYes->setVisible(false);
    CommandNo->setVisible(false);
    LabelDone->setVisible(false);
    DataMessages::refresh(Data1);
}

void FormImport::Form_Unload(bool&) {
    Data1->save();
    // The staging table lives only until the window closes.
    QString ignored;
    if (auto connection = mainDatabase(&ignored); connection && connection->tableExists(Staging))
        connection->execute(QStringLiteral("DROP TABLE Contacts;"), &ignored);
    Forms::show(QStringLiteral("FormMenu"));
}

bool FormImport::Form_KeyUp(QKeyEvent* event) {
    if (event->key() != Qt::Key_F1)
        return false;
    CommandHelp_Click();
    return true;
}

void FormImport::CommandHelp_Click() {
    ModuleHelp::ShowHelp();
}

void FormImport::CommandImport_Click() {
    Twips::setFixedSize(this, 4845, 3405);
    const QString flag = Text09->text();
    if (flag.isEmpty()) {
        import();
    } else if (flag == QLatin1String("1")) {
        LabelDone->setText(againQuestion());
        LabelDone->setVisible(true);
        CommandYes->setVisible(true);
        CommandNo->setVisible(true);
        CommandNo->setFocus();
    }
}

void FormImport::CommandYes_Click() {
    CommandYes->setVisible(false);
    CommandNo->setVisible(false);
    LabelDone->setVisible(false);
    import();
}

void FormImport::CommandNo_Click() {
    unload();
}

FormImport::Duplicates
FormImport::askAboutDuplicates(SqliteConnection& connection,
                               const QList<CompanyMatch::Company>& incoming) {
    QString error;
    const QList<ContactImport::Duplicate> found =
        ContactImport::duplicates(connection, incoming, &error);
    if (found.isEmpty())
        return {Duplicates::Add, {}};
    QSet<QString> companies;
    for (const ContactImport::Duplicate& d : found)
        companies.insert(CompanyMatch::key(incoming[d.index].name));
    const QString question =
        QStringLiteral("%1 of the companies to import may already be in the database, for "
                       "example \"%2\" (as \"%3\").")
            .arg(companies.size())
            .arg(incoming[found.first().index].name, found.first().existing) +
        QStringLiteral("\r\n") +
        QStringLiteral("Yes adds them anyway, No skips them, Cancel imports nothing.");
    QList<int> indexes;
    for (const ContactImport::Duplicate& d : found)
        indexes.append(d.index);
    switch (MsgBox::show(question, MsgBox::YesNoCancel | MsgBox::Question)) {
    case MsgBox::Yes:
        return {Duplicates::Add, indexes};
    case MsgBox::No:
        return {Duplicates::Skip, indexes};
    default:
        return {Duplicates::Cancel, indexes};
    }
}

bool FormImport::import() {
    QString error;
    auto connection = mainDatabase(&error);
    if (connection && connection->tableExists(Staging)) {
        // The companies of a table the mail program exported; those likely
        // in the database already are added only when the user says so.
        QList<qint64> rows;
        QList<CompanyMatch::Company> incoming;
        SqliteStatement staged = connection->prepare(
            QStringLiteral("SELECT rowid, Company, BusinessCity, BusinessPhone FROM Contacts"),
            &error);
        while (staged.isValid() && staged.step() == SQLITE_ROW) {
            rows.append(staged.intValue(0));
            incoming.append({staged.value(1).toString(), staged.value(2).toString(),
                             staged.value(3).toString()});
        }
        staged = SqliteStatement();
        const Duplicates answer = askAboutDuplicates(*connection, incoming);
        if (answer.choice == Duplicates::Cancel)
            return false;
        if (answer.choice == Duplicates::Skip)
            for (int index : answer.indexes)
                connection->execute(
                    QStringLiteral("DELETE FROM Contacts WHERE rowid = %1").arg(rows[index]),
                    &error);
        Database database;
        if (!database.open(QStringLiteral("TESSALY.mdb"), &error) ||
            !database.execute(importStatement(), &error)) {
            MsgBox::show(failureMessage(), MsgBox::OKOnly | MsgBox::Critical);
            unload();
            return false;
        }
        imported(QString());
        return true;
    }
    // Else the contacts of a file an address book or mail program wrote.
    const QString path = FileChooser::openFile(
        this, QStringLiteral("Import Contacts"),
        QStringLiteral("Contacts (*.vcf *.csv);;vCard files (*.vcf);;CSV files (*.csv)"));
    if (path.isEmpty())
        return false;
    Pointer::busy();
    auto contacts = ContactImport::readFile(path, &error);
    Pointer::normal();
    if (contacts && connection) {
        const Duplicates answer =
            askAboutDuplicates(*connection, ContactImport::companiesOf(*contacts));
        if (answer.choice == Duplicates::Cancel)
            return false;
        if (answer.choice == Duplicates::Skip) {
            const QSet<int> skipped(answer.indexes.begin(), answer.indexes.end());
            QList<VCard::Contact> kept;
            for (int i = 0; i < contacts->size(); ++i)
                if (!skipped.contains(i))
                    kept.append(contacts->at(i));
            *contacts = kept;
        }
    }
    Pointer::busy();
    const auto stored = contacts && connection
                            ? ContactImport::store(*connection, *contacts, Clock::today(), &error)
                            : std::nullopt;
    Pointer::normal();
    if (!stored) {
        MsgBox::show(QStringLiteral("Nothing was imported: ") + error,
                     MsgBox::OKOnly | MsgBox::Critical);
        return false;
    }
    imported(QStringLiteral("%1 companies and %2 contacts were added.")
                 .arg(stored->companies)
                 .arg(stored->contacts));
    return true;
}

void FormImport::imported(const QString& what) {
    CommandImport->setEnabled(false);
    LabelDone->setText(QStringLiteral("All records successfully imported!") +
                       (what.isEmpty() ? QString() : QStringLiteral("\n") + what));
    LabelDone->setVisible(true);
    Text09->setText(QStringLiteral("1"));
    Data1->save();
}
