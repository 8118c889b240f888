#include "FormRemoveBlanks.h"

#include "data/BlankCompanies.h"
#include "data/SqliteConnection.h"
#include "platform/ProgramFolder.h"
#include "services/MsgBox.h"

#include <QTimer>

namespace {

// Most of a tick: the window's owner stays responsive between slices.
constexpr int SliceMs = 15;

} // namespace

FormRemoveBlanks::FormRemoveBlanks()
    : Form(QString::fromLatin1(Name)) {
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &FormRemoveBlanks::Timer1_Timer);
}

FormRemoveBlanks::~FormRemoveBlanks() = default;

void FormRemoveBlanks::Form_Load() {
    startWalk();
}

void FormRemoveBlanks::startWalk() {
    if (isWalking())
        return;
    QString error;
    auto connection =
        SqliteConnection::shared(ProgramFolder::file(QStringLiteral("TESSALY.mdb")), &error);
    if (!connection) {
        MsgBox::show(error, MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    m_walk = std::make_unique<BlankCompanies>(connection);
    Timer1->start();
}

bool FormRemoveBlanks::isWalking() const {
    return Timer1->isActive();
}

int FormRemoveBlanks::kept() const {
    return m_walk ? m_walk->kept() : 0;
}

void FormRemoveBlanks::Timer1_Timer() {
    if (!m_walk) {
        Timer1->stop();
        return;
    }
    QString error;
    if (!m_walk->step(SliceMs, &error)) {
        Timer1->stop();
        MsgBox::show(QStringLiteral("The blank companies could not all be removed: ") + error,
                     MsgBox::OKOnly | MsgBox::Critical);
        return;
    }
    if (m_walk->done())
        Timer1->stop();
}
