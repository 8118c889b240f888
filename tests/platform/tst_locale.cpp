#include "TestSession.h"

#include "data/Field.h"
#include "platform/Locale.h"

#include <QTest>

namespace {

const QList<QLocale>& everyLocale() {
    static const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    return locales;
}

const QList<QDate> Dates{QDate(2026, 12, 10), QDate(2026, 1, 2), QDate(1999, 11, 30),
                         QDate(2029, 7, 4)};
const QList<QTime> Times{QTime(14, 30), QTime(9, 5), QTime(12, 0), QTime(0, 30), QTime(23, 59)};

// Failures of one check over every locale, reported together.
class Failures {
public:
    void add(const QLocale& locale, const QString& shown, const QString& what) {
        ++m_count;
        if (m_lines.size() < 12)
            m_lines.append(QStringLiteral("%1: \"%2\" %3").arg(locale.name(), shown, what));
    }
    bool none() const { return m_count == 0; }
    QByteArray report() const {
        return QStringLiteral("%1 failures, among them:\n%2")
            .arg(m_count)
            .arg(m_lines.join(u'\n'))
            .toUtf8();
    }

private:
    int m_count = 0;
    QStringList m_lines;
};

} // namespace

// Dates, times and numbers as the program shows them read back in every
// locale Qt knows; typed variants and refusals in a few.
class TestLocale : public QObject {
    Q_OBJECT
private slots:
    void init() { m_session = std::make_unique<TestSession>(TestSession::Folder::Empty); }
    void cleanup() { m_session.reset(); }

    void everyLocaleReadsBackItsDates();
    void everyLocaleReadsBackItsDatesWithATime();
    void everyLocaleReadsBackItsTimes();
    void everyLocaleReadsBackItsNumbers();
    void typedDates_data();
    void typedDates();
    void numbersInTwoKindsOfField_data();
    void numbersInTwoKindsOfField();
    void timeFormsShowNoUnknownLetters();
    void storedDatesReadBack_data();
    void storedDatesReadBack();

private:
    std::unique_ptr<TestSession> m_session;
};

void TestLocale::everyLocaleReadsBackItsDates() {
    QVERIFY(everyLocale().size() > 500);
    Failures failures;
    for (const QLocale& locale : everyLocale()) {
        Locale::pin(locale);
        for (const QDate& date : Dates) {
            const QString shown = Locale::dateText(date);
            if (Locale::parseDate(shown) != date)
                failures.add(locale, shown, QStringLiteral("is not read as ") + date.toString());
            // The way a bound box stores what it shows.
            const QString iso = date.toString(Qt::ISODate);
            QString why;
            const auto stored = FieldFormat::storage(shown, FieldKind::Date, &why);
            if (!stored || stored->toString() != iso)
                failures.add(locale, shown, QStringLiteral("is not stored as ") + iso + why);
            else if (FieldFormat::text(iso, FieldKind::Date) != shown)
                failures.add(locale, shown, QStringLiteral("is not shown again"));
        }
    }
    QVERIFY2(failures.none(), failures.report().constData());
}

void TestLocale::everyLocaleReadsBackItsDatesWithATime() {
    Failures failures;
    for (const QLocale& locale : everyLocale()) {
        Locale::pin(locale);
        for (const QDate& date : Dates)
            for (const QTime& time : Times) {
                const QDateTime when(date, time);
                const QString shown = Locale::dateTimeText(when);
                bool hasTime = false;
                const auto read = Locale::parseDateTime(shown, &hasTime);
                if (!read || *read != when || !hasTime)
                    failures.add(locale, shown,
                                 QStringLiteral("is not read as ") + when.toString(Qt::ISODate));
                const auto stored = FieldFormat::storage(shown, FieldKind::Date, nullptr);
                const QString iso = when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                if (!stored || stored->toString() != iso)
                    failures.add(locale, shown, QStringLiteral("is not stored as ") + iso);
            }
    }
    QVERIFY2(failures.none(), failures.report().constData());
}

void TestLocale::everyLocaleReadsBackItsTimes() {
    Failures failures;
    for (const QLocale& locale : everyLocale()) {
        Locale::pin(locale);
        for (const QTime& time : Times) {
            const QString shown = Locale::timeText(time);
            if (Locale::parseTime(shown) != time)
                failures.add(locale, shown, QStringLiteral("is not read as ") + time.toString());
        }
    }
    QVERIFY2(failures.none(), failures.report().constData());
}

void TestLocale::everyLocaleReadsBackItsNumbers() {
    Failures failures;
    for (const QLocale& locale : everyLocale()) {
        Locale::pin(locale);
        for (const qlonglong whole : {0LL, 12LL, -7LL, 1234567LL, 9223372036854775807LL}) {
            const QString shown = FieldFormat::text(QVariant(whole), FieldKind::Integer);
            const auto stored = FieldFormat::storage(shown, FieldKind::Integer, nullptr);
            if (!stored || stored->toLongLong() != whole)
                failures.add(locale, shown,
                             QStringLiteral("is not the whole number %1").arg(whole));
        }
        for (const double real : {0.5, -12.25, 1234567.125}) {
            const QString shown = FieldFormat::text(QVariant(real), FieldKind::Real);
            const auto stored = FieldFormat::storage(shown, FieldKind::Real, nullptr);
            if (!stored || stored->toDouble() != real)
                failures.add(locale, shown, QStringLiteral("is not the number %1").arg(real));
        }
    }
    QVERIFY2(failures.none(), failures.report().constData());
}

void TestLocale::typedDates_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty: refused
    QTest::newRow("blanks after the dots") << "sk_SK"
                                           << "1. 11. 2026"
                                           << "2026-11-01";
    QTest::newRow("no blanks after the dots") << "sk_SK"
                                              << "1.11.2026"
                                              << "2026-11-01";
    QTest::newRow("year first with a closing dot") << "hu_HU"
                                                   << "2026. 12. 10."
                                                   << "2026-12-10";
    QTest::newRow("year suffix") << "bg_BG"
                                 << "10.12.2026 г."
                                 << "2026-12-10";
    QTest::newRow("dotted time") << "da_DK"
                                 << "10.12.2026 14.30"
                                 << "2026-12-10 14:30:00";
    QTest::newRow("designator before the time") << "ko_KR"
                                                << "2026. 12. 10. 오후 2:30"
                                                << "2026-12-10 14:30:00";
    QTest::newRow("own digits") << "ar_EG"
                                << "١٠‏/١٢‏/٢٠٢٦"
                                << "2026-12-10";
    QTest::newRow("own digits, typed in ASCII") << "fa_IR"
                                                << "2026/12/10"
                                                << "2026-12-10";
    QTest::newRow("two-digit year") << "en_US"
                                    << "1/5/26"
                                    << "2026-01-05";
    QTest::newRow("lower-case designator") << "en_US"
                                           << "12/5/2026 2:30 pm"
                                           << "2026-12-05 14:30:00";
    QTest::newRow("hour with a designator") << "en_US"
                                            << "12/5/2026 2 PM"
                                            << "2026-12-05 14:00:00";
    QTest::newRow("month named") << "C"
                                 << "2 Nov 2026"
                                 << "2026-11-02";
    QTest::newRow("month unnamed where the form names it") << "C"
                                                           << "2 11 2026"
                                                           << "";
    QTest::newRow("day first in a month-first locale") << "en_US"
                                                       << "31/12/2026"
                                                       << "";
    QTest::newRow("no such day") << "en_US"
                                 << "2/30/2026"
                                 << "";
    QTest::newRow("a word after the date") << "en_US"
                                           << "12/5/2026 soon"
                                           << "";
    QTest::newRow("designator without a time") << "en_US"
                                               << "12/5/2026 PM"
                                               << "";
    QTest::newRow("hour beyond the designator's clock") << "en_US"
                                                        << "12/5/2026 13:00 PM"
                                                        << "";
    QTest::newRow("hour without minutes") << "de_DE"
                                          << "5.12.2026 14"
                                          << "";
    QTest::newRow("no such hour") << "de_DE"
                                  << "5.12.2026 25:00"
                                  << "";
    QTest::newRow("three-digit year") << "de_DE"
                                      << "5.12.202"
                                      << "";
    QTest::newRow("too many numbers") << "de_DE"
                                      << "5.12.2026 14:30:00:10"
                                      << "";
}

void TestLocale::typedDates() {
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    Locale::pin(QLocale(locale));
    QString why;
    const auto value = FieldFormat::storage(typed, FieldKind::Date, &why);
    if (stored.isEmpty()) {
        QVERIFY2(!value, qPrintable(value.value_or(QVariant()).toString()));
        QCOMPARE(why, QString("is not a date"));
    } else {
        QVERIFY2(value, qPrintable(why));
        QCOMPARE(value->toString(), stored);
    }
}

void TestLocale::numbersInTwoKindsOfField_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QVariant>("whole"); // invalid: refused
    QTest::addColumn<QVariant>("real");
    QTest::addColumn<QString>("why");
    QTest::newRow("comma is the decimal sign") << "de_DE"
                                               << "1,000" << QVariant(1LL) << QVariant(1.0) << "";
    QTest::newRow("comma groups thousands")
        << "en_US"
        << "1,000" << QVariant(1000LL) << QVariant(1000.0) << "";
    QTest::newRow("dot groups thousands") << "de_DE"
                                          << "1.000" << QVariant(1000LL) << QVariant(1000.0) << "";
    QTest::newRow("plain fraction in a comma locale")
        << "de_DE"
        << "2.5" << QVariant() << QVariant(2.5) << "is not a whole number";
    QTest::newRow("fraction") << "en_US"
                              << "12.5" << QVariant() << QVariant(12.5) << "is not a whole number";
    QTest::newRow("largest") << "en_US"
                             << "9223372036854775807" << QVariant(9223372036854775807LL)
                             << QVariant(9223372036854775807.0) << "";
    QTest::newRow("smallest") << "en_US"
                              << "-9223372036854775808"
                              << QVariant(qlonglong(std::numeric_limits<qint64>::min()))
                              << QVariant(-9223372036854775808.0) << "";
    QTest::newRow("one beyond") << "en_US"
                                << "9223372036854775808" << QVariant()
                                << QVariant(9223372036854775808.0)
                                << "is too large for a whole number";
    QTest::newRow("far beyond") << "en_US"
                                << "99999999999999999999" << QVariant() << QVariant(1e20)
                                << "is too large for a whole number";
    QTest::newRow("far below") << "de_DE"
                               << "-1e30" << QVariant() << QVariant(-1e30)
                               << "is too large for a whole number";
    QTest::newRow("own digits") << "ar_EG"
                                << "١٢" << QVariant(12LL) << QVariant(12.0) << "";
    QTest::newRow("no number") << "en_US"
                               << "ten" << QVariant() << QVariant() << "is not a whole number";
}

void TestLocale::numbersInTwoKindsOfField() {
    QFETCH(QString, locale);
    QFETCH(QString, typed);
    QFETCH(QVariant, whole);
    QFETCH(QVariant, real);
    QFETCH(QString, why);
    Locale::pin(QLocale(locale));
    QString reason;
    const auto asWhole = FieldFormat::storage(typed, FieldKind::Integer, &reason);
    if (whole.isValid()) {
        QVERIFY2(asWhole, qPrintable(reason));
        QCOMPARE(asWhole->toLongLong(), whole.toLongLong());
    } else {
        QVERIFY2(!asWhole, qPrintable(asWhole.value_or(QVariant()).toString()));
        QCOMPARE(reason, why);
    }
    const auto asReal = FieldFormat::storage(typed, FieldKind::Real, nullptr);
    QCOMPARE(asReal.has_value(), real.isValid());
    if (real.isValid())
        QCOMPARE(asReal->toDouble(), real.toDouble());
}

void TestLocale::timeFormsShowNoUnknownLetters() {
    Locale::pin(QLocale("zh_TW"));
    QCOMPARE(Locale::timeText(QTime(14, 30)), QString("14:30"));
}

QTEST_GUILESS_MAIN(TestLocale)
void TestLocale::storedDatesReadBack_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QVariant>("value"); // what a date field gives for it
    const QDate day(2026, 12, 10);
    QTest::newRow("date") << "2026-12-10" << QVariant(day);
    QTest::newRow("date and time")
        << "2026-12-10 14:30:05" << QVariant(QDateTime(day, QTime(14, 30, 5)));
    QTest::newRow("midnight written out")
        << "2026-12-10 00:00:00" << QVariant(QDateTime(day, QTime(0, 0)));
    QTest::newRow("T between") << "2026-12-10T14:30:05"
                               << QVariant(QDateTime(day, QTime(14, 30, 5)));
    QTest::newRow("no seconds") << "2026-12-10 14:30" << QVariant(QDateTime(day, QTime(14, 30)));
    QTest::newRow("leap day") << "2024-02-29" << QVariant(QDate(2024, 2, 29));
    // Not dates: the stored text as it stands.
    QTest::newRow("no such day") << "2026-02-30" << QVariant(QStringLiteral("2026-02-30"));
    QTest::newRow("no such hour") << "2026-12-10 25:00:00"
                                  << QVariant(QStringLiteral("2026-12-10 25:00:00"));
    QTest::newRow("letters in the year") << "20x6-12-10" << QVariant(QStringLiteral("20x6-12-10"));
}

void TestLocale::storedDatesReadBack() {
    QFETCH(QString, stored);
    QFETCH(QVariant, value);
    const QVariant read = FieldFormat::value(QVariant(stored), FieldKind::Date);
    QCOMPARE(read.typeId(), value.typeId());
    QCOMPARE(read, value);
}

#include "tst_locale.moc"
