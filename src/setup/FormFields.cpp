#include "FormFields.h"

#include "app/Forms.h"
#include "data/DataSource.h"
#include "services/Colors.h"
#include "services/Twips.h"
#include "widgets/DataMessages.h"
#include "widgets/FieldBinder.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FormFields::FormFields()
    : Form(QString::fromLatin1(Name)) {
    Label1 = new QLabel(QStringLiteral("You may remove fields that are not applicable. Select "
                                       "which Fields to display..."),
                        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Twips::setGeometry(Label1, 240, 120, 4400, 495);
    Frame1 = new QGroupBox(QStringLiteral("Fields"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Twips::setGeometry(Frame1, 240, 720, 4400, 3000);
    const QStringList captions = {QStringLiteral("Visit Frequency"), QStringLiteral("Category"),
                                  QStringLiteral("Account No"),      QStringLiteral("Branch"),
                                  QStringLiteral("Division"),        QStringLiteral("Region"),
                                  QStringLiteral("Sales Manager")};
    Data1 = new DataSource(QStringLiteral("Data1"), this);
    Data1->setDatabaseName(QStringLiteral("User.mdb"));
    Data1->setRecordSource(QStringLiteral("SELECT * FROM TABLE01"));
    for (int i = 0; i < 7; ++i) {
        auto* check = new QCheckBox(captions.at(i), Frame1);
        check->setObjectName(QStringLiteral("Check%1").arg(i + 1));
        Twips::setGeometry(check, 240, 300 + i * 375, 3800, 315);
        m_checks.append(check);
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("Text0%1").arg(i + 1));
        box->setVisible(false);
        FieldBinder::bind(Data1, box, QStringLiteral("TEXT0%1").arg(i + 1));
        m_flags.append(box);
    }
    CommandOK = new QPushButton(QStringLiteral("&OK"), this);
    CommandOK->setObjectName(QStringLiteral("CommandOK"));
    Twips::setGeometry(CommandOK, 3425, 3960, 1215, 375);
    connect(CommandOK, &QPushButton::clicked, this, &FormFields::CommandOK_Click);
}

void FormFields::Form_Load() {
    setWindowTitle(QStringLiteral("Select Fields..."));
    Colors::setBackground(this, Colors::White);
    Twips::setFixedSize(this, 5000, 5000 - 400);
    setKeyPreview(true);
    if (Form* menu = Forms::loaded(QStringLiteral("FormMenu"))) {
        const QRect at = Twips::geometry(menu);
        Twips::move(this, at.x() + 200, at.y() + 400);
    }
    DataMessages::refresh(Data1);
}

QString FormFields::flag(int field) const {
    return m_flags.value(field - 1)->text();
}

void FormFields::Form_Activate() {
    for (int i = 0; i < 7; ++i)
        if (m_flags.at(i)->text() == QLatin1String("1"))
            m_checks.at(i)->setChecked(true);
}

void FormFields::CommandOK_Click() {
    for (int i = 0; i < 7; ++i)
        m_flags.at(i)->setText(m_checks.at(i)->isChecked() ? QStringLiteral("1")
                                                           : QStringLiteral("0"));
    // The choice is stored at once: the window is only hidden, and its close
    // (the next save point) may not come before the end of the program.
    if (!Data1->save())
        return; // the refusal was shown; the window stays with the choice
    hide();
    Forms::show(QStringLiteral("FormMenu"));
}

void FormFields::Form_Unload(bool&) {
    Forms::show(QStringLiteral("FormMenu"));
}
