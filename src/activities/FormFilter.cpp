#include "FormFilter.h"

#include "FormAllCallReports.h"
#include "app/Controls.h"
#include "app/HoverHelp.h"
#include "data/DataSource.h"
#include "data/SqlQuote.h"
#include "data/SqlTokenizer.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/DBCombo.h"
#include "widgets/DataMessages.h"

#include <QCalendarWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

namespace {

const QString FromPrompt = QStringLiteral("From which Date?");
const QString UntilPrompt = QStringLiteral("Until which Date?");

QLineEdit* box(QWidget* parent, const char* name, int left, int top, int width) {
    auto* b = new QLineEdit(parent);
    b->setObjectName(QLatin1String(name));
    Twips::setGeometry(b, left, top, width, 315);
    return b;
}

} // namespace

FormFilter::FormFilter()
    : Form(QString::fromLatin1(Name)) {
    QFont font = this->font();
    font.setPointSize(8);
    setFont(font);

    MonthView1 = new QCalendarWidget(this);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    // Week numbers left out: the seven day columns need the whole width.
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    Twips::setGeometry(MonthView1, 120, 120, 4800, 3000);
    connect(MonthView1, &QCalendarWidget::clicked, this, &FormFilter::MonthView1_DateClick);

    TextFrom = box(this, "TextFrom", 5160, 120, 2280);
    TextFrom->setText(FromPrompt);
    TextFrom->setToolTip(QStringLiteral("Click the starting date on the Calendar"));
    TextUntil = box(this, "TextUntil", 7560, 120, 2280);
    TextUntil->setText(UntilPrompt);
    TextUntil->setToolTip(QStringLiteral("Click the ending date on the Calendar"));

    DataCompanies = new DataSource(QStringLiteral("DataCompanies"), this);
    DataCompanies->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    DataCompanies->setReadOnly(true);
    DBCombo2 = new DBCombo(this);
    DBCombo2->setObjectName(QStringLiteral("DBCombo2"));
    Twips::setGeometry(DBCombo2, 5160, 600, 4680, 315);
    DBCombo2->setRowSource(DataCompanies, QStringLiteral("TEXT01"));
    connect(DBCombo2, &DBCombo::clicked, this, &FormFilter::DBCombo2_Click);
    TextCompany = box(this, "TextCompany", 5160, 1000, 4680);
    // The boxes say what they are for while they are empty.
    DBCombo2->lineEdit()->setPlaceholderText(QStringLiteral("Company (optional)"));
    TextCompany->setPlaceholderText(QStringLiteral("Company pattern, e.g. A*"));

    DataSalesPerson = new DataSource(QStringLiteral("DataSalesPerson"), this);
    DataSalesPerson->setDatabaseName(QStringLiteral("TESSALY.mdb"));
    DataSalesPerson->setReadOnly(true);
    DataSalesPerson->setRecordSource(QStringLiteral("SELECT * FROM MT12 ORDER BY TEXT01"));
    DBCombo1 = new DBCombo(this);
    DBCombo1->setObjectName(QStringLiteral("DBCombo1"));
    Twips::setGeometry(DBCombo1, 5160, 1500, 4680, 315);
    DBCombo1->setRowSource(DataSalesPerson, QStringLiteral("TEXT01"));
    connect(DBCombo1, &DBCombo::clicked, this, &FormFilter::DBCombo1_Click);
    TextSalesPerson = box(this, "TextSalesPerson", 5160, 1900, 4680);
    DBCombo1->lineEdit()->setPlaceholderText(QStringLiteral("Sales person (optional)"));
    TextSalesPerson->setPlaceholderText(QStringLiteral("Sales person pattern, e.g. J*"));

    TextSQL = box(this, "TextSQL", 5160, 2400, 4680);
    TextSQL->setVisible(false);

    CommandFilter =
        Controls::button(this, "CommandFilter", QStringLiteral("&Filter"), 5160, 2460, 1215);
    CommandFilter->setToolTip(QStringLiteral("Filter and Display"));
    connect(CommandFilter, &QPushButton::clicked, this, &FormFilter::CommandFilter_Click);

    FrameHelp = new QGroupBox(QStringLiteral("Help"), this);
    FrameHelp->setObjectName(QStringLiteral("FrameHelp"));
    Twips::setGeometry(FrameHelp, 120, 3300, 9720, 1080);
    LabelHelp = Controls::label(FrameHelp, "LabelHelp", QString(), 120, 240, 9480, 720);
    LabelHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_help = new HoverHelp(this, FrameHelp, LabelHelp);
    setHoverHelp(m_help);
    m_help->setText(TextFrom, QStringLiteral("Click on a starting date for the range of reports "
                                             "you want to filter. This selection is compulsory."));
    m_help->setText(TextUntil, QStringLiteral("Click on an ending date for the range of reports "
                                              "you want to filter. This selection is compulsory."));
    m_help->setText(DBCombo1, QStringLiteral("Select a sales person for the range of reports you "
                                             "want to filter. This selection is optional."));
    m_help->setText(DBCombo2, QStringLiteral("Select a company for the range of reports you want "
                                             "to filter. This selection is optional."));
    m_help->setText(CommandFilter, QStringLiteral("Apply filter and display."));
}

void FormFilter::Form_Load() {
    setWindowTitle(QStringLiteral("Filter Call Reports..."));
    Colors::setBackground(this, Colors::White);
    Twips::setFixedSize(this, 10000, 5000);
    setKeyPreview(true);
    FrameHelp->setVisible(false);
    // The calendar names months and days as the user's dates read.
    MonthView1->setLocale(Locale::current());
    // Opens two months back: most filters look at the weeks just gone.
    MonthView1->setSelectedDate(Clock::today());
    MonthView1->setSelectedDate(Clock::today().addDays(-60));
    // Archived companies are not offered.
    DataCompanies->setRecordSource(QStringLiteral("SELECT * FROM TABLE01") +
                                   QStringLiteral(" WHERE TABLE01.TEXT20 = 'Company' ORDER BY "
                                                  "TEXT01"));
    DataMessages::refresh(DataCompanies);
    DataMessages::refresh(DataSalesPerson);
    DBCombo1->setText(QString());
    DBCombo2->setText(QString());
}

QString FormFilter::dateText(const QDate& date) {
    return QStringLiteral("%1/%2/%3")
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

std::optional<QDate> FormFilter::readDate(const QString& text) {
    // A date alone: the date literal would also take a time of day, or a
    // time alone as a time on the dialect's day zero.
    static const QRegularExpression dateAlone(
        QStringLiteral("^\\s*[0-9]{1,4}[/.\\-][0-9]{1,2}[/.\\-][0-9]{1,4}\\s*$"));
    if (!dateAlone.match(text).hasMatch())
        return std::nullopt;
    const auto iso = sql::SqlTokenizer::dateLiteralToIso(text);
    if (!iso)
        return std::nullopt;
    const QDate date = QDate::fromString(iso->left(10), Qt::ISODate);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QString> FormFilter::recordSource(const QString& from, const QString& until,
                                                const QString& company,
                                                const QString& salesPerson) {
    const auto first = readDate(from);
    const auto last = readDate(until);
    if (!first || !last)
        return std::nullopt;
    // Reports carry the time of day they were written: the last day counts
    // up to its end, so the range ends before the next day begins. The
    // dates are written again as the literals read them, so nothing typed
    // into a date box reaches the query text.
    QString source =
        QStringLiteral("SELECT * FROM TABLE08 WHERE TABLE08.DATE01 >= #") + dateText(*first) + u'#';
    const QDate after = last->addDays(1);
    if (after.isValid() && after.year() <= 9999)
        source += QStringLiteral(" And TABLE08.DATE01 < #") + dateText(after) + u'#';
    return source + QStringLiteral("  AND TABLE08.TEXT01 Like '") + SqlQuote::text(company) +
           QStringLiteral("' AND TABLE08.TEXT03 Like '") + SqlQuote::text(salesPerson) +
           QStringLiteral("' ORDER BY TABLE08.DATE01 DESC");
}

void FormFilter::MonthView1_DateClick(const QDate& date) {
    if (TextFrom->text() == FromPrompt)
        TextFrom->setText(dateText(date));
    else if (TextUntil->text() == UntilPrompt)
        TextUntil->setText(dateText(date));
}

void FormFilter::DBCombo1_Click() {
    m_chosenSalesPerson = DBCombo1->text();
    TextSalesPerson->setText(m_chosenSalesPerson);
}

void FormFilter::DBCombo2_Click() {
    m_chosenCompany = DBCombo2->text();
    TextCompany->setText(m_chosenCompany);
}

QString FormFilter::literalPattern(const QString& text) {
    QString literal;
    for (const QChar c : text) {
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[')
            literal += u'[' + QString(c) + u']';
        else
            literal += c;
    }
    return literal;
}

QString FormFilter::pattern(const QLineEdit* box, const QString& chosen) {
    // "Shop #1" from the list would otherwise want a digit where it has "#".
    if (!chosen.isEmpty() && box->text() == chosen)
        return literalPattern(chosen);
    return box->text();
}

void FormFilter::CommandFilter_Click() {
    if (TextSalesPerson->text().isEmpty())
        TextSalesPerson->setText(QStringLiteral("*"));
    if (TextCompany->text().isEmpty())
        TextCompany->setText(QStringLiteral("*"));
    const auto source =
        recordSource(TextFrom->text(), TextUntil->text(), pattern(TextCompany, m_chosenCompany),
                     pattern(TextSalesPerson, m_chosenSalesPerson));
    if (!source) {
        MsgBox::show(QStringLiteral("You must Select Starting and Ending Dates."),
                     MsgBox::OKOnly | MsgBox::Information);
        return;
    }
    TextSQL->setText(*source);
    // A query the database refused was told by the browser; this window
    // stays with its boxes as they are.
    FormAllCallReports* browser =
        FormAllCallReports::OpenOn(QStringLiteral("Filter Call Reports"), *source);
    if (!browser)
        return;
    browser->setFocus();
    unload();
}
