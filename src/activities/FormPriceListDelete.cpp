#include "FormPriceListDelete.h"

#include "FormPriceList.h"
#include "app/Controls.h"
#include "app/Forms.h"
#include "data/DataSource.h"
#include "data/ProductLists.h"
#include "services/MsgBox.h"
#include "services/Twips.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

FormPriceListDelete::FormPriceListDelete()
    : Form(QString::fromLatin1(Name)) {
    Label1 = Controls::label(this, "Label1", QStringLiteral("What do you want to delete?"), 240,
                             240, 2700);
    CommandThis =
        Controls::button(this, "CommandThis", QStringLiteral("&This Record"), 240, 660, 2640);
    CommandAll =
        Controls::button(this, "CommandAll", QStringLiteral("&All Records"), 240, 1140, 2640);
    connect(CommandThis, &QPushButton::clicked, this, &FormPriceListDelete::CommandThis_Click);
    connect(CommandAll, &QPushButton::clicked, this, &FormPriceListDelete::CommandAll_Click);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &FormPriceListDelete::Timer1_Timer);
}

void FormPriceListDelete::Form_Load() {
    setWindowTitle(QStringLiteral("Delete"));
    Twips::setFixedSize(this, 3200, 2000);
}

void FormPriceListDelete::Form_Unload(bool& cancel) {
    Q_UNUSED(cancel);
    Timer1->stop();
}

bool FormPriceListDelete::isDeleting() const {
    return Timer1->isActive();
}

void FormPriceListDelete::CommandThis_Click() {
    auto* list =
        qobject_cast<FormPriceList*>(Forms::loaded(QString::fromLatin1(FormPriceList::Name)));
    const QString product = list ? list->product() : QString();
    if (MsgBox::show(QStringLiteral("Are you sure toy want to delete ") + product + u'?',
                     MsgBox::YesNo | MsgBox::Exclamation) == MsgBox::Yes &&
        list) {
        Recordset* rs = list->dataTable13()->recordset();
        if (rs->isNewRow())
            rs->cancelUpdate(); // a row not stored yet is given up
        else if (!rs->bookmark().isEmpty())
            rs->deleteCurrent();
        list->dataTable13()->refresh();
    }
    hide();
}

void FormPriceListDelete::CommandAll_Click() {
    if (MsgBox::show(QStringLiteral("Are you sure toy want to delete all records on the price "
                                    "list?"),
                     MsgBox::YesNo | MsgBox::Exclamation) == MsgBox::Yes)
        Timer1->start();
    hide();
}

void FormPriceListDelete::Timer1_Timer() {
    auto* list =
        qobject_cast<FormPriceList*>(Forms::loaded(QString::fromLatin1(FormPriceList::Name)));
    if (!list) {
        Timer1->stop();
        return;
    }
    DataSource* rows = list->dataTable13();
    if (!ProductLists::deleteSlice(rows, SliceMs))
        return;
    Timer1->stop();
    rows->recordset()->moveFirst();
    rows->refresh();
}
