#include "FormFindandReplace.h"

#include "app/Controls.h"
#include "app/Forms.h"
#include "data/DataSource.h"
#include "data/Database.h"
#include "data/SqliteConnection.h"
#include "data/SqliteStatement.h"
#include "data/Transaction.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Pointer.h"
#include "services/Twips.h"
#include "widgets/DBCombo.h"
#include "widgets/DataMessages.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <sqlite3.h>

FormFindandReplace::FormFindandReplace()
    : Form(QString::fromLatin1(Name)) {
    Data1 = new DataSource(QStringLiteral("Data1"), this);
    Data1->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    LabelFind = Controls::label(this, "LabelFind", QStringLiteral("Find"), 120, 240, 840);
    LabelReplace = Controls::label(this, "LabelReplace", QStringLiteral("Replace"), 120, 720, 840);
    DBComboFind = new DBCombo(this);
    DBComboFind->setObjectName(QStringLiteral("DBComboFind"));
    DBComboFind->setRowSource(Data1, QStringLiteral("TEXT01"));
    Twips::setGeometry(DBComboFind, 1080, 180, 3135, 315);
    DBComboReplace = new DBCombo(this);
    DBComboReplace->setObjectName(QStringLiteral("DBComboReplace"));
    DBComboReplace->setRowSource(Data1, QStringLiteral("TEXT01"));
    Twips::setGeometry(DBComboReplace, 1080, 660, 3135, 315);
    TextFind = new QLineEdit(this);
    TextFind->setObjectName(QStringLiteral("TextFind"));
    TextFind->setVisible(false);
    TextReplace = new QLineEdit(this);
    TextReplace->setObjectName(QStringLiteral("TextReplace"));
    TextReplace->setVisible(false);
    CommandFindReplace =
        Controls::button(this, "CommandFindReplace", QStringLiteral("&Replace"), 3000, 1200, 1215);
    connect(DBComboFind, &DBCombo::clicked, this, &FormFindandReplace::DBComboFind_Click);
    connect(DBComboReplace, &DBCombo::clicked, this, &FormFindandReplace::DBComboReplace_Click);
    connect(CommandFindReplace, &QPushButton::clicked, this,
            &FormFindandReplace::CommandFindReplace_Click);
}

void FormFindandReplace::Form_Load() {
    setWindowTitle(QStringLiteral("Find & Replace"));
    Colors::setBackground(this, Colors::ButtonFace);
    Twips::setFixedSize(this, 4470, 2175 - 400);
    setKeyPreview(true);
    m_mode.clear();
    if (Form* tables = Forms::loaded(QStringLiteral("FormMastertables"))) {
        if (auto* clicked = tables->findChild<QLineEdit*>(QStringLiteral("TextClicked")))
            m_mode = clicked->text();
    }
    const QString table =
        m_mode == QLatin1String("SM") ? QStringLiteral("MT13") : QStringLiteral("MT12");
    Data1->setRecordSource(
        QStringLiteral("SELECT %1.TEXT01 FROM %1 ORDER BY %1.TEXT01").arg(table));
    DataMessages::refresh(Data1);
    DBComboFind->setText(QStringLiteral("Person to Replace..."));
    DBComboReplace->setText(QStringLiteral("Replace with..."));
}

void FormFindandReplace::DBComboFind_Click() {
    TextFind->setText(DBComboFind->text());
}

void FormFindandReplace::DBComboReplace_Click() {
    TextReplace->setText(DBComboReplace->text());
}

int FormFindandReplace::replaceInCompanies(const QString& mode, const QString& find,
                                           const QString& replacement, QString* error) {
    const QString column =
        mode == QLatin1String("SM") ? QStringLiteral("TEXT19") : QStringLiteral("TEXT18");
    const auto connection =
        SqliteConnection::shared(Database::resolve(QStringLiteral("TESSALY.mdb")), error);
    if (!connection)
        return -1;
    // One statement in one transaction: every company, active and archived,
    // or none. The comparison is exact, letter case included.
    Transaction transaction(*connection);
    if (!transaction.begin(error))
        return -1;
    SqliteStatement update = connection->prepare(
        QStringLiteral("UPDATE TABLE01 SET %1 = ? WHERE %1 = ? COLLATE BINARY").arg(column), error);
    if (!update.isValid())
        return -1;
    update.bind(1, replacement);
    update.bind(2, find);
    if (update.step() != SQLITE_DONE) {
        if (error)
            *error = connection->lastError();
        return -1;
    }
    const int changed = sqlite3_changes(connection->handle());
    if (!transaction.commit(error))
        return -1;
    connection->noteWrite();
    return changed;
}

void FormFindandReplace::CommandFindReplace_Click() {
    QString error;
    Pointer::busy();
    const int changed = replaceInCompanies(m_mode, TextFind->text(), TextReplace->text(), &error);
    Pointer::normal();
    if (changed < 0) {
        MsgBox::show(QStringLiteral("Nothing was replaced: ") + error,
                     MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    MsgBox::show(DBComboFind->text() + QStringLiteral(" has been replaced by ") +
                     DBComboReplace->text(),
                 MsgBox::OKOnly, QStringLiteral("Tessaly"));
    // The companies window reads its rows again when it is next opened.
    Forms::unload(QString::fromLatin1(Name));
    Forms::unload(QStringLiteral("FormCompanies"));
}
