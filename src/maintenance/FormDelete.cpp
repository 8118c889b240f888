#include "FormDelete.h"

#include "SizeLine.h"
#include "app/Controls.h"
#include "app/Forms.h"
#include "app/ModuleMouse.h"
#include "data/Compaction.h"
#include "data/PurgeWalk.h"
#include "data/PurgeWorker.h"
#include "platform/Locale.h"
#include "platform/ProgramFolder.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// A stored date as the bound date box shows it: in the user's form, with
// its time where it has one; a text that is no date as it is.
QString shownDate(const QString& stored) {
    const QDateTime moment =
        QDateTime::fromString(stored.trimmed().replace(u' ', u'T'), Qt::ISODate);
    if (moment.isValid() && stored.trimmed().size() > 10)
        return Locale::dateTimeText(moment);
    const QDate day = PurgeWalk::dayOf(stored);
    return day.isValid() ? Locale::dateText(day) : stored;
}

} // namespace

struct FormDelete::Stage {
    const char* table;
    const char* progress; // LabelDeleting
    const char* item;     // "Checking " + item + n + " of " + m + " remaining " + items
    const char* items;
};

const FormDelete::Stage FormDelete::Stages[4] = {
    {"TABLE08", "Checking dates and deleting call reports older then ", "Report ", "Reports."},
    {"TABLE09", "Checking dates and deleting correspondence older then ", "Fax, Letter or E-Mail ",
     "Faxes, Letters or E-Mails."},
    {"TABLE06", "Checking dates and deleting projects older then ", "Project ", "Projects."},
    {"TABLE07", "Checking dates and deleting action steps older then ", "Action Step ",
     "Action Steps."},
};

FormDelete::FormDelete()
    : Form(QString::fromLatin1(Name)) {
    using namespace Controls;
    LabelSize = label(this, "LabelSize", QString(), 240, 240, 10935, 975);
    LabelSize->setWordWrap(true);
    LabelSize->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    CommandYes = button(this, "CommandYes", QStringLiteral("&Yes"), 240, 1440, 1215);
    CommandNo = button(this, "CommandNo", QStringLiteral("&No"), 1560, 1440, 1215);
    MaskEdBoxDate = new QLineEdit(this);
    MaskEdBoxDate->setObjectName(QStringLiteral("MaskEdBoxDate"));
    Twips::setGeometry(MaskEdBoxDate, 240, 1440, 1575, 315);
    MaskEdBoxDate->setInputMask(QStringLiteral("99-99-9999;_"));
    LabelHint = label(this, "LabelHint", QStringLiteral("dd-mm-yyyy"), 1920, 1470, 1500);
    CommandDelete = button(this, "CommandDelete", QStringLiteral("&Delete"), 240, 1920, 1215);
    LabelDeleting = label(this, "LabelDeleting", QString(), 240, 2520, 10935, 495);
    LabelDeleting->setWordWrap(true);
    LabelDeleting->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    TextDate = new QLineEdit(this);
    TextDate->setObjectName(QStringLiteral("TextDate"));
    TextDate->setVisible(false);
    for (int i = 0; i < 4; ++i) {
        Timer[i] = new QTimer(this);
        Timer[i]->setObjectName(QStringLiteral("Timer%1").arg(i + 1));
        Timer[i]->setInterval(10);
    }
    connect(Timer[0], &QTimer::timeout, this, &FormDelete::Timer1_Timer);
    connect(Timer[1], &QTimer::timeout, this, &FormDelete::Timer2_Timer);
    connect(Timer[2], &QTimer::timeout, this, &FormDelete::Timer3_Timer);
    connect(Timer[3], &QTimer::timeout, this, &FormDelete::Timer4_Timer);
    connect(CommandYes, &QPushButton::clicked, this, &FormDelete::CommandYes_Click);
    connect(CommandNo, &QPushButton::clicked, this, &FormDelete::CommandNo_Click);
    connect(MaskEdBoxDate, &QLineEdit::textChanged, this, &FormDelete::MaskEdBoxDate_Change);
    connect(CommandDelete, &QPushButton::clicked, this, &FormDelete::CommandDelete_Click);
}

FormDelete::~FormDelete() {
    stopWorker();
}

void FormDelete::Form_Load() {
    setWindowTitle(QStringLiteral("Delete Old Files"));
    Colors::setBackground(this, Colors::White);
    // The main menu's size, less the title bar, which the window manager adds.
    Twips::setSize(this, 11415, 8055 - 400);
    setKeyPreview(true);
    for (QWidget* w : {static_cast<QWidget*>(MaskEdBoxDate), static_cast<QWidget*>(LabelHint),
                       static_cast<QWidget*>(CommandDelete), static_cast<QWidget*>(LabelDeleting)})
        w->setVisible(false);
    Form_Activate();
}

void FormDelete::Form_Activate() {
    if (CommandYes->isHidden() && CommandNo->isHidden())
        return; // past the question: the instructions or the progress stay
    LabelSize->setText(SizeLine::text(true) +
                       QStringLiteral(" .Do you want to delete old activities (call reports, faxes "
                                      "letters, e-mails and projects)?"));
}

void FormDelete::Form_Unload(bool& cancel) {
    Q_UNUSED(cancel);
    // Leaving stops the purge where it is: what was deleted stays deleted.
    for (QTimer* timer : Timer)
        timer->stop();
    stopWorker();
    // The backup closed the main menu; leaving before the end brings it
    // back, so that the program does not end with this window.
    if (!Forms::isLoaded(QStringLiteral("FormMenu")) &&
        !Forms::isVisible(QStringLiteral("FormMaintenance")))
        Forms::show(QStringLiteral("FormMenu"));
}

void FormDelete::CommandNo_Click() {
    unload();
}

void FormDelete::CommandYes_Click() {
    const QString temp = native(ProgramFolder::path() + QStringLiteral("/Temp"));
    const MsgBox::Result answer =
        MsgBox::show(QStringLiteral("Do you want to make a backup of the database "
                                    "'TESSALY.mdb'in the folder ") +
                         temp + QStringLiteral(" before deleting?"),
                     MsgBox::YesNo);
    if (answer == MsgBox::Yes) {
        Forms::unload(QStringLiteral("FormMenu"));
        ModuleMouse::PointerBusy();
        QString error;
        QDir().mkpath(ProgramFolder::tempFolder());
        const bool copied = Compaction::copyDatabase(
            ProgramFolder::file(QStringLiteral("TESSALY.mdb")),
            ProgramFolder::file(QStringLiteral("Temp/TESSALY.mdb")), &error);
        ModuleMouse::PointerNormal();
        if (!copied) {
            MsgBox::show(QStringLiteral("The backup of 'TESSALY.mdb' could not be made in the "
                                        "folder ") +
                             temp + QStringLiteral(": ") + error +
                             QStringLiteral("\r\nNothing has been deleted."),
                         MsgBox::OKOnly | MsgBox::Critical);
            return;
        }
    }
    LabelSize->setText(QStringLiteral("Enter a date. All call reports, faxes, letters and e-mails "
                                      "generated before this date will be permanently deleted."));
    CommandNo->setVisible(false);
    CommandYes->setVisible(false);
    MaskEdBoxDate->setVisible(true);
    LabelHint->setVisible(true);
    MaskEdBoxDate->setFocus();
}

void FormDelete::MaskEdBoxDate_Change() {
    CommandDelete->setVisible(true);
}

void FormDelete::CommandDelete_Click() {
    if (isPurging())
        return;
    // Nothing is deleted on a date that is not whole and real.
    if (!MaskEdBoxDate->hasAcceptableInput()) {
        MsgBox::show(QStringLiteral("Please enter the whole date as day, month and year "
                                    "(dd-mm-yyyy), for example 31-12-2020. Nothing has been "
                                    "deleted."),
                     MsgBox::OKOnly | MsgBox::Exclamation);
        MaskEdBoxDate->setFocus();
        return;
    }
    const QDate cutOff = QDate::fromString(MaskEdBoxDate->text(), QStringLiteral("dd-MM-yyyy"));
    if (!cutOff.isValid()) {
        MsgBox::show(QStringLiteral("There is no such day as ") + MaskEdBoxDate->text() +
                         QStringLiteral(". Please enter a date as day, month and year "
                                        "(dd-mm-yyyy). Nothing has been deleted."),
                     MsgBox::OKOnly | MsgBox::Exclamation);
        MaskEdBoxDate->setFocus();
        return;
    }
    m_cutOff = cutOff;
    m_undated = 0;
    openTable(0);
    MaskEdBoxDate->setEnabled(false);
    CommandDelete->setEnabled(false);
    Timer[0]->start();
    LabelDeleting->setVisible(true);
    LabelDeleting->setText(QStringLiteral("Checking and deleting record ") + TextDate->text() +
                           QStringLiteral(". Plase wait..."));
}

void FormDelete::openTable(int stage) {
    stopWorker();
    m_shownSlices = 0;
    m_worker = new PurgeWorker(ProgramFolder::file(QStringLiteral("TESSALY.mdb")),
                               QLatin1String(Stages[stage].table), m_cutOff, stage == 3, this);
    m_worker->start();
}

void FormDelete::stopWorker() {
    // Waits for the slice under way; the worker closes its connection.
    delete m_worker;
    m_worker = nullptr;
}

bool FormDelete::isPurging() const {
    for (const QTimer* timer : Timer)
        if (timer->isActive())
            return true;
    return false;
}

void FormDelete::Timer1_Timer() {
    tick(0);
}

void FormDelete::Timer2_Timer() {
    tick(1);
}

void FormDelete::Timer3_Timer() {
    tick(2);
}

void FormDelete::Timer4_Timer() {
    tick(3);
}

void FormDelete::tick(int stage) {
    if (!m_worker)
        return;
    const PurgeWorker::Progress progress = m_worker->progress();
    if (progress.slices != m_shownSlices) {
        m_shownSlices = progress.slices;
        TextDate->setText(shownDate(progress.currentDate));
        const Stage& s = Stages[stage];
        LabelDeleting->setText(QLatin1String(s.progress) + MaskEdBoxDate->text() + u' ' +
                               TextDate->text() + QStringLiteral(". Please wait..."));
        LabelSize->setText(QStringLiteral("Checking ") + QLatin1String(s.item) +
                           QString::number(progress.checked) + QStringLiteral(" of ") +
                           QString::number(progress.total) + QStringLiteral(" remaining ") +
                           QLatin1String(s.items));
        return;
    }
    if (!progress.finished)
        return;
    stopWorker();
    if (progress.failed) {
        stopWithError(progress.error);
        return;
    }
    m_undated += progress.undated;
    Timer[stage]->stop();
    if (stage == 3) {
        finish();
        return;
    }
    openTable(stage + 1);
    Timer[stage + 1]->start();
}

void FormDelete::stopWithError(const QString& error) {
    for (QTimer* timer : Timer)
        timer->stop();
    stopWorker();
    LabelDeleting->setVisible(false);
    MaskEdBoxDate->setEnabled(true);
    CommandDelete->setEnabled(true);
    MsgBox::show(QStringLiteral("The old records could not all be deleted: ") + error +
                     QStringLiteral("\r\nWhat was deleted stays deleted; the rest is unchanged."),
                 MsgBox::OKOnly | MsgBox::Critical);
}

void FormDelete::finish() {
    // The workers have closed their connections: the program's own see
    // every change.
    LabelDeleting->setVisible(false);
    LabelSize->setVisible(false);
    QString message = QStringLiteral("All selected records have been deleted.") +
                      QStringLiteral("\r\n") +
                      QStringLiteral("Now go to 'Maintenance and Replication' and compact the "
                                     "database.");
    if (m_undated > 0)
        message +=
            QStringLiteral("\r\n\r\n%1 records without a valid date were kept.").arg(m_undated);
    MsgBox::show(message, MsgBox::OKOnly);
    Forms::show(QStringLiteral("FormMaintenance"));
    unload();
    Forms::unload(QStringLiteral("FormMenu"));
}
