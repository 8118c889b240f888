#include "TestSession.h"

#include "activities/FormAttachments.h"
#include "app/FormHelp.h"
#include "app/Forms.h"
#include "app/HoverHelp.h"
#include "companies/FormBrowser.h"
#include "companies/FormCompanies.h"
#include "data/DataSource.h"
#include "services/Colors.h"
#include "services/MsgBox.h"
#include "services/Twips.h"
#include "widgets/CompanyPicker.h"
#include "widgets/DBCombo.h"
#include "widgets/DBList.h"
#include "widgets/DirList.h"
#include "widgets/DocumentView.h"
#include "widgets/DriveList.h"
#include "widgets/FileList.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

QString sqlText(const QString& text) {
    return "'" + QString(text).replace("'", "''") + "'";
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

// The attachments window driven through its controls: the list, the path
// check, a new attachment through the drive, folder and file lists, the
// viewer and delete; what it stores is read back with plain SQL.
class TestAttachments : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void functionKeyAndButtonOpenTheWindow_data();
    void functionKeyAndButtonOpenTheWindow();
    void windowTakesTheCompaniesWindowsSize();
    void captionAndClockFollowTheCompany();
    void attachmentsOfTheCompanyNewestFirst();
    void companyWithoutAttachments();
    void warningFollowsTheChosenAttachment();
    void warningOnOpeningForAMovedNewestFile();
    void fileMovedWhileTheWindowIsOpen();
    void pathCheck_data();
    void pathCheck();
    void newAttachmentThroughThePicker();
    void descriptionGoesToTheNewAttachmentAmongOthersOfTheDay();
    void driveFolderAndFileListsFollowEachOther();
    void fileInARootFolderHasOneSeparator();
    void anotherCompanyChosenWhilePicking();
    void deleteRemovesTheRowAndKeepsTheFile();
    void deleteWhilePickingGivesUpTheNewAttachment();
    void leavingWhilePickingStoresNothing_data();
    void leavingWhilePickingStoresNothing();
    void doubleClickOpensTheViewer();
    void doubleClickOnAMovedFileIsReportedByTheViewer();
    void pickerMovesTheCompaniesWindow();
    void activationReadsAgain();
    void hoverTexts_data();
    void hoverTexts();
    void driveListHelpOnFocus();
    void manualChapterOnTheHelpPage();

private:
    FormAttachments* open(const QString& company);
    void chooseCompany(const QString& typed);
    void chooseInList(FormAttachments* form, const QString& text);
    void pickFile(FormAttachments* form, const QString& folder, const QString& name);
    QStringList listed(FormAttachments* form) const;
    template <class T = QWidget> static T* child(QWidget* form, const QString& name) {
        T* widget = form->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    static void click(QWidget* form, const QString& name) {
        QTest::mouseClick(child<QPushButton>(form, name), Qt::LeftButton);
    }
    static bool warningShown(FormAttachments* form) {
        return child<QLabel>(form, "LabelWarning")->isVisible();
    }
    QString docs(const QString& name = QString()) const {
        return QDir::toNativeSeparators(m_session->file("Docs") +
                                        (name.isEmpty() ? QString() : "/" + name));
    }
    int count() const {
        return m_session->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE05").toInt();
    }

    std::unique_ptr<TestSession> m_session;
};

void TestAttachments::init() {
    m_session = std::make_unique<TestSession>();
    QDir().mkpath(m_session->file("Docs"));
    QDir().mkpath(m_session->file("Docs/Older"));
    for (const char* name : {"Offer.txt", "Price list.txt", "Baker's order.txt", "Zeta.txt"})
        QVERIFY(writeFile(docs(QLatin1String(name)), QByteArray("Attached text of ") + name));
    m_session->exec(
        "TESSALY.mdb",
        "INSERT INTO TABLE01 (AUTONUMBER, TEXT01, TEXT18, TEXT20) VALUES "
        "(1, 'Acme', 'Ann', 'Company'), (2, 'Baker''s Dozen', 'Ann', 'Company'), "
        "(3, 'Crane Works', 'Bob', 'Company');"
        "INSERT INTO TABLE05 (NUMBER01, TEXT01, DATE01, MEMO01) VALUES " +
            QString("(1, %1, '2026-03-01', 'The offer'),").arg(sqlText(docs("Offer.txt"))) +
            QString("(1, %1, '2026-06-20', 'Moved away'),").arg(sqlText(docs("Gone.txt"))) +
            QString("(1, %1, '2026-01-15', 'Prices'),").arg(sqlText(docs("Price list.txt"))) +
            QString("(2, %1, '2026-04-04', 'Bread');").arg(sqlText(docs("Baker's order.txt"))));
    m_session->registerForms();
    Forms::show("FormMenu");
}

void TestAttachments::cleanup() {
    m_session.reset();
}

void TestAttachments::chooseCompany(const QString& typed) {
    DBCombo* combo = Forms::get<FormCompanies>()->selector();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), typed);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
}

FormAttachments* TestAttachments::open(const QString& company) {
    Form* menu = Forms::loaded("FormMenu");
    QTest::mouseClick(child<QPushButton>(menu, "CommandCompanies"), Qt::LeftButton);
    FormCompanies* companies = Forms::get<FormCompanies>();
    chooseCompany(company);
    if (companies->companyName() != company)
        qFatal("the companies window did not reach %s", qPrintable(company));
    QTest::keyClick(companies, Qt::Key_F7);
    auto* form = qobject_cast<FormAttachments*>(Forms::loaded(FormAttachments::Name));
    if (!form || !QTest::qWaitForWindowActive(form))
        qFatal("the attachments window was not shown");
    settle(); // its activation has listed the company's attachments
    return form;
}

QStringList TestAttachments::listed(FormAttachments* form) const {
    auto* list = child<DBList>(form, "DBList1");
    QStringList texts;
    for (int row = 0; row < list->listCount(); ++row)
        texts << list->model()->index(row, 0).data().toString();
    return texts;
}

void TestAttachments::chooseInList(FormAttachments* form, const QString& text) {
    auto* list = child<DBList>(form, "DBList1");
    const int row = int(listed(form).indexOf(text));
    QVERIFY2(row >= 0, qPrintable(text));
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

void TestAttachments::pickFile(FormAttachments* form, const QString& folder, const QString& name) {
    // The user has walked the folder list to the folder.
    child<DirList>(form, "Dir1")->setPath(folder);
    auto* files = child<FileList>(form, "File1");
    const QList<QListWidgetItem*> found = files->findItems(name, Qt::MatchExactly);
    QVERIFY2(found.size() == 1, qPrintable(name));
    files->scrollToItem(found.first());
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                      files->visualItemRect(found.first()).center());
}

void TestAttachments::functionKeyAndButtonOpenTheWindow_data() {
    QTest::addColumn<bool>("button");
    QTest::newRow("F7") << false;
    QTest::newRow("ATTACHMENTS F7") << true;
}

void TestAttachments::functionKeyAndButtonOpenTheWindow() {
    QFETCH(bool, button);
    QTest::mouseClick(child<QPushButton>(Forms::loaded("FormMenu"), "CommandCompanies"),
                      Qt::LeftButton);
    FormCompanies* companies = Forms::get<FormCompanies>();
    chooseCompany("Acme");
    // From the contacts window, as from every working window.
    QTest::keyClick(companies, Qt::Key_F3);
    Form* contacts = Forms::loaded("FormContacts");
    QVERIFY(contacts && contacts->isVisible());
    if (button) {
        auto* f7 = child<QPushButton>(contacts, "CommandF7");
        QCOMPARE(f7->text(), QString("ATTACHMENTS F7"));
        QTest::mouseClick(f7, Qt::LeftButton);
    } else {
        QTest::keyClick(contacts, Qt::Key_F7);
    }
    settle();
    auto* form = qobject_cast<FormAttachments*>(Forms::loaded(FormAttachments::Name));
    QVERIFY(form && form->isVisible());
    QVERIFY(!Forms::isLoaded("FormContacts"));
    QVERIFY(Forms::isLoaded("FormCompanies") && !Forms::isVisible("FormCompanies"));
    QVERIFY(!Forms::isVisible("FormMenu"));
    QVERIFY(!child<QPushButton>(form, "CommandF7")->isEnabled());
    QCOMPARE(listed(form).size(), 3);

    // F2 goes back to the companies window and closes this one; closing it
    // brings back the main menu.
    QTest::keyClick(form, Qt::Key_F2);
    settle();
    QVERIFY(!Forms::isLoaded(FormAttachments::Name));
    QVERIFY(Forms::isVisible("FormCompanies"));
    QTest::keyClick(companies, Qt::Key_F7);
    settle();
    form = qobject_cast<FormAttachments*>(Forms::loaded(FormAttachments::Name));
    QVERIFY(form);
    form->close();
    settle();
    QVERIFY(!Forms::isLoaded(FormAttachments::Name));
    QVERIFY(Forms::isVisible("FormMenu"));
}

void TestAttachments::windowTakesTheCompaniesWindowsSize() {
    FormAttachments* form = open("Acme");
    const QRect companies = Twips::geometry(Forms::get<FormCompanies>());
    QCOMPARE(form->size(), Forms::get<FormCompanies>()->size());
    QCOMPARE(Twips::geometry(form).size(), companies.size());
    QCOMPARE(form->minimumSize(), form->maximumSize()); // not sizable
    QCOMPARE(Colors::background(form), Colors::White);
    // The file picker waits below the window.
    auto* picker = child<QGroupBox>(form, "FrameSelect");
    QCOMPARE(picker->title(), QString("Select File"));
    QCOMPARE(Twips::geometry(picker).y(), FormAttachments::PickerWaitingTop);
    QVERIFY(!picker->isVisible());
    QCOMPARE(child<QLabel>(form, "LabelList")->text(), QString("Select Attachment..."));
    QCOMPARE(child<QLabel>(form, "Label1")->text(), QString("Select a Company..."));
}

void TestAttachments::captionAndClockFollowTheCompany() {
    FormAttachments* form = open("Baker's Dozen");
    fireTimer(form, "TimerLoad");
    QCOMPARE(form->windowTitle(), QString("Attachments - Baker's Dozen"));
    QCOMPARE(child<QLabel>(form, "LabelDateandTime")->text(), QString("12/10/2026 10:00 AM"));
    QCOMPARE(form->findChild<QTimer*>("TimerLoad")->interval(), 10);
}

void TestAttachments::attachmentsOfTheCompanyNewestFirst() {
    FormAttachments* form = open("Acme");
    QCOMPARE(listed(form),
             (QStringList{docs("Gone.txt"), docs("Offer.txt"), docs("Price list.txt")}));
    // The current attachment is the newest.
    QCOMPARE(child<QLineEdit>(form, "TEXT01")->text(), docs("Gone.txt"));
    QCOMPARE(child<QLineEdit>(form, "DATE01")->text(), QString("6/20/2026"));
    QCOMPARE(child<QPlainTextEdit>(form, "MEMO01")->toPlainText(), QString("Moved away"));
    chooseInList(form, docs("Price list.txt"));
    QCOMPARE(child<QLineEdit>(form, "DATE01")->text(), QString("1/15/2026"));
    QCOMPARE(child<QPlainTextEdit>(form, "MEMO01")->toPlainText(), QString("Prices"));
    QVERIFY(child<QLineEdit>(form, "TEXT01")->isReadOnly());
}

void TestAttachments::companyWithoutAttachments() {
    FormAttachments* form = open("Crane Works");
    QVERIFY(listed(form).isEmpty());
    QVERIFY(!warningShown(form));
    QVERIFY(child<QLineEdit>(form, "TEXT01")->text().isEmpty());
    // Delete does nothing and says nothing.
    MsgBox::clearShown();
    click(form, "CommandDelete");
    settle();
    QVERIFY(MsgBox::shown().isEmpty());
    QCOMPARE(count(), 4);
    // A double click in the empty list says there is nothing to open.
    m_session->expectMessage("There are no attachments to choose from");
    auto* list = child<DBList>(form, "DBList1");
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    settle();
    QCOMPARE(MsgBox::last().style, MsgBox::OKOnly | MsgBox::Information);
    QCOMPARE(MsgBox::last().title, QString("Tessaly"));
    QVERIFY(!Forms::isVisible("FormBrowser"));
    QCOMPARE(count(), 4);
}

void TestAttachments::warningFollowsTheChosenAttachment() {
    FormAttachments* form = open("Acme");
    auto* warning = child<QLabel>(form, "LabelWarning");
    QCOMPARE(warning->text(),
             QString("IT APPEARS THAT THE PATH TO YOUR ATTACHMENT DOES NOT EXIST !"));
    QCOMPARE(Colors::foreground(warning), Colors::Red);
    chooseInList(form, docs("Offer.txt"));
    QVERIFY(!warningShown(form));
    chooseInList(form, docs("Gone.txt"));
    QVERIFY(warningShown(form));
    chooseInList(form, docs("Price list.txt"));
    QVERIFY(!warningShown(form));
    // The warning changes nothing stored.
    QCOMPARE(count(), 4);
}

void TestAttachments::warningOnOpeningForAMovedNewestFile() {
    // The newest attachment's file is gone: the warning shows at once.
    FormAttachments* form = open("Acme");
    QVERIFY(warningShown(form));
    // Another company whose newest file exists: no warning.
    QTest::keyClick(form, Qt::Key_F2);
    settle();
    chooseCompany("Baker's Dozen");
    QTest::keyClick(Forms::get<FormCompanies>(), Qt::Key_F7);
    settle();
    form = qobject_cast<FormAttachments*>(Forms::loaded(FormAttachments::Name));
    QVERIFY(form);
    QVERIFY(!warningShown(form));
}

void TestAttachments::fileMovedWhileTheWindowIsOpen() {
    FormAttachments* form = open("Acme");
    chooseInList(form, docs("Offer.txt"));
    QVERIFY(!warningShown(form));
    // Renamed outside the system: choosing it again shows the warning.
    QVERIFY(QFile::rename(docs("Offer.txt"), docs("Offer renamed.txt")));
    chooseInList(form, docs("Price list.txt"));
    QVERIFY(!warningShown(form));
    chooseInList(form, docs("Offer.txt"));
    QVERIFY(warningShown(form));
    // Moved into another folder: the same.
    QVERIFY(QFile::rename(docs("Price list.txt"), docs("Older/Price list.txt")));
    chooseInList(form, docs("Price list.txt"));
    QVERIFY(warningShown(form));
    // Back where it was: the warning goes again.
    QVERIFY(QFile::rename(docs("Offer renamed.txt"), docs("Offer.txt")));
    chooseInList(form, docs("Offer.txt"));
    QVERIFY(!warningShown(form));
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT TEXT01 FROM TABLE05 WHERE NUMBER01 = 1 "
                                              "ORDER BY DATE01"),
             (QStringList{docs("Price list.txt"), docs("Offer.txt"), docs("Gone.txt")}));
}

void TestAttachments::pathCheck_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("warned");
    QTest::newRow("an existing file") << "Docs/Zeta.txt" << false;
    QTest::newRow("no such file") << "Docs/Nothing.txt" << true;
    QTest::newRow("no such folder") << "Nowhere/Zeta.txt" << true;
    QTest::newRow("a folder, not a file") << "Docs/Older" << true;
    QTest::newRow("an empty path") << "" << false;
}

void TestAttachments::pathCheck() {
    QFETCH(QString, path);
    QFETCH(bool, warned);
    const QString stored =
        path.isEmpty() ? QString() : QDir::toNativeSeparators(m_session->file(path));
    m_session->exec("TESSALY.mdb",
                    QString("INSERT INTO TABLE05 (NUMBER01, TEXT01, DATE01) VALUES (3, %1, "
                            "'2026-02-02')")
                        .arg(sqlText(stored)));
    FormAttachments* form = open("Crane Works");
    QCOMPARE(listed(form), QStringList{stored});
    QCOMPARE(warningShown(form), warned);
    chooseInList(form, stored);
    QCOMPARE(warningShown(form), warned);
}

void TestAttachments::newAttachmentThroughThePicker() {
    FormAttachments* form = open("Acme");
    auto* picker = child<QGroupBox>(form, "FrameSelect");
    auto* newButton = child<QPushButton>(form, "CommandNew");
    click(form, "CommandNew");
    QVERIFY(form->isPicking());
    QVERIFY(picker->isVisible());
    QCOMPARE(Twips::geometry(picker).y(), FormAttachments::PickerShownTop);
    QVERIFY(!newButton->isEnabled());
    QCOMPARE(child<QLineEdit>(form, "NUMBER01")->text(), QString("1"));
    QVERIFY(child<QLineEdit>(form, "TEXT01")->text().isEmpty());
    QVERIFY(!warningShown(form)); // an empty path is no missing file
    QCOMPARE(count(), 4);         // nothing stored before a file is picked

    pickFile(form, docs(), "Zeta.txt");
    const QList<QVariantList> rows = m_session->rows(
        "TESSALY.mdb", "SELECT NUMBER01, TEXT01, DATE01, MEMO01 FROM TABLE05 WHERE TEXT01 LIKE "
                       "'%Zeta.txt'");
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0).at(0).toInt(), 1);
    QCOMPARE(rows.at(0).at(1).toString(), docs("Zeta.txt"));
    QCOMPARE(rows.at(0).at(2).toString(), QString("2026-12-10"));
    QVERIFY(rows.at(0).at(3).isNull());
    // Back to browsing, the new attachment current and listed first.
    QVERIFY(!form->isPicking());
    QVERIFY(!picker->isVisible());
    QCOMPARE(Twips::geometry(picker).y(), FormAttachments::PickerWaitingTop);
    QVERIFY(newButton->isEnabled());
    QCOMPARE(listed(form).first(), docs("Zeta.txt"));
    QCOMPARE(child<QLineEdit>(form, "TEXT01")->text(), docs("Zeta.txt"));
    QCOMPARE(child<QLineEdit>(form, "DATE01")->text(), QString("12/10/2026"));
    QVERIFY(!warningShown(form));
    auto* memo = child<QPlainTextEdit>(form, "MEMO01");
    QCOMPARE(QApplication::focusWidget(), memo);

    // The description typed is stored at the next move.
    QTest::keyClicks(memo, "Signed contract, O'Neil's copy");
    chooseInList(form, docs("Offer.txt"));
    QCOMPARE(
        m_session->scalar("TESSALY.mdb", "SELECT MEMO01 FROM TABLE05 WHERE TEXT01 LIKE '%Zeta.txt'")
            .toString(),
        QString("Signed contract, O'Neil's copy"));
    QCOMPARE(count(), 5);
    // The file itself stays where it was: the row holds its path only.
    QVERIFY(QFile::exists(docs("Zeta.txt")));
}

void TestAttachments::descriptionGoesToTheNewAttachmentAmongOthersOfTheDay() {
    // Two attachments added today already: the new one must still be the
    // one the description is typed into.
    m_session->exec("TESSALY.mdb",
                    QString("INSERT INTO TABLE05 (NUMBER01, TEXT01, DATE01, MEMO01) VALUES "
                            "(1, %1, '2026-12-10', 'Earlier today'), "
                            "(1, %2, '2026-12-10', 'Also today')")
                        .arg(sqlText(docs("Offer.txt")), sqlText(docs("Price list.txt"))));
    FormAttachments* form = open("Acme");
    click(form, "CommandNew");
    pickFile(form, docs(), "Zeta.txt");
    QCOMPARE(child<QLineEdit>(form, "TEXT01")->text(), docs("Zeta.txt"));
    auto* memo = child<QPlainTextEdit>(form, "MEMO01");
    QVERIFY(memo->toPlainText().isEmpty());
    QTest::keyClicks(memo, "New one");
    form->close();
    settle();
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT MEMO01 FROM TABLE05 WHERE NUMBER01 = 1 "
                                              "AND DATE01 = '2026-12-10' ORDER BY MEMO01"),
             (QStringList{"Also today", "Earlier today", "New one"}));
}

void TestAttachments::driveFolderAndFileListsFollowEachOther() {
    FormAttachments* form = open("Acme");
    click(form, "CommandNew");
    auto* drives = child<DriveList>(form, "Drive1");
    auto* folders = child<DirList>(form, "Dir1");
    auto* files = child<FileList>(form, "File1");
    // The picker starts in the user's own folder.
    QCOMPARE(folders->path(), QDir::cleanPath(QDir::homePath()));
    QCOMPARE(files->path(), folders->path());

    // A folder opened in the folder list lists its files.
    folders->setPath(m_session->path());
    QListWidgetItem* docsItem = nullptr;
    for (int i = 0; i < folders->count(); ++i)
        if (folders->item(i)->data(Qt::UserRole).toString() == m_session->file("Docs"))
            docsItem = folders->item(i);
    QVERIFY(docsItem);
    folders->setCurrentItem(docsItem);
    QTest::keyClick(folders, Qt::Key_Return);
    QCOMPARE(folders->path(), m_session->file("Docs"));
    QCOMPARE(files->path(), m_session->file("Docs"));
    QStringList names;
    for (int i = 0; i < files->count(); ++i)
        names << files->item(i)->text();
    QCOMPARE(names, (QStringList{"Baker's order.txt", "Offer.txt", "Price list.txt", "Zeta.txt"}));

    // A drive chosen in the drive list sets the folder list to its root.
    const int index = drives->findData(QDir::rootPath());
    QVERIFY(index >= 0);
    drives->setCurrentIndex(index);
    emit drives->activated(index);
    QCOMPARE(folders->path(), QDir::rootPath());
    QCOMPARE(files->path(), QDir::rootPath());
    QCOMPARE(count(), 4);
}

void TestAttachments::fileInARootFolderHasOneSeparator() {
    const QStringList rootFiles = QDir(QDir::rootPath()).entryList(QDir::Files, QDir::Name);
    if (rootFiles.isEmpty())
        QSKIP("the root folder holds no file to pick");
    FormAttachments* form = open("Crane Works");
    click(form, "CommandNew");
    pickFile(form, QDir::rootPath(), rootFiles.first());
    const QString expected = QDir::toNativeSeparators(QDir::rootPath() + rootFiles.first());
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT TEXT01 FROM TABLE05 WHERE NUMBER01 = 3"),
             QStringList{expected});
    QVERIFY(!warningShown(form));
}

void TestAttachments::anotherCompanyChosenWhilePicking() {
    FormAttachments* form = open("Acme");
    click(form, "CommandNew");
    // Another company is chosen before the file is picked.
    auto* picker = child<DBCombo>(form, "DBComboSelect");
    picker->lineEdit()->selectAll();
    QTest::keyClicks(picker->lineEdit(), "Baker's Dozen");
    QTest::keyClick(picker->lineEdit(), Qt::Key_Return);
    settle();
    QCOMPARE(Forms::get<FormCompanies>()->companyName(), QString("Baker's Dozen"));
    QCOMPARE(listed(form), QStringList{docs("Baker's order.txt")});
    QVERIFY(form->isPicking());
    QCOMPARE(count(), 4); // the row begun without a file was not stored
    QCOMPARE(form->hoverHelp()->text(child(form, "File1")),
             QString("Click a file to make it an attachment to Acme."));

    // The file picked is attached to the company the attachment was started for.
    pickFile(form, docs(), "Zeta.txt");
    QCOMPARE(m_session->rows("TESSALY.mdb",
                             "SELECT NUMBER01, TEXT01 FROM TABLE05 WHERE TEXT01 LIKE '%Zeta.txt'"),
             (QList<QVariantList>{{qlonglong(1), docs("Zeta.txt")}}));
    // Baker's attachment is as it was.
    QCOMPARE(
        m_session->rows("TESSALY.mdb", "SELECT TEXT01, MEMO01 FROM TABLE05 WHERE NUMBER01 = 2"),
        (QList<QVariantList>{{docs("Baker's order.txt"), "Bread"}}));
    // Its description goes to it too.
    QCOMPARE(child<QLineEdit>(form, "TEXT01")->text(), docs("Zeta.txt"));
    QTest::keyClicks(child<QPlainTextEdit>(form, "MEMO01"), "For Acme");
    chooseInList(form, docs("Baker's order.txt"));
    QCOMPARE(m_session->rows("TESSALY.mdb", "SELECT NUMBER01, MEMO01 FROM TABLE05 WHERE TEXT01 "
                                            "LIKE '%Zeta.txt'"),
             (QList<QVariantList>{{qlonglong(1), "For Acme"}}));
    QCOMPARE(m_session->scalar("TESSALY.mdb", "SELECT MEMO01 FROM TABLE05 WHERE NUMBER01 = 2")
                 .toString(),
             QString("Bread"));
    QCOMPARE(count(), 5);
}

void TestAttachments::deleteRemovesTheRowAndKeepsTheFile() {
    FormAttachments* form = open("Acme");
    chooseInList(form, docs("Offer.txt"));
    QVERIFY(child<QPushButton>(form, "CommandDelete")->isEnabled());
    MsgBox::clearShown();
    click(form, "CommandDelete");
    settle();
    QVERIFY(MsgBox::shown().isEmpty()); // no question
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT TEXT01 FROM TABLE05 ORDER BY DATE01"),
             (QStringList{docs("Price list.txt"), docs("Baker's order.txt"), docs("Gone.txt")}));
    QCOMPARE(listed(form), (QStringList{docs("Gone.txt"), docs("Price list.txt")}));
    QVERIFY(QFile::exists(docs("Offer.txt")));

    // Deleting an attachment whose file is gone removes its row as well.
    chooseInList(form, docs("Gone.txt"));
    click(form, "CommandDelete");
    QCOMPARE(m_session->column("TESSALY.mdb", "SELECT TEXT01 FROM TABLE05 WHERE NUMBER01 = 1"),
             QStringList{docs("Price list.txt")});
    QVERIFY(!warningShown(form));
}

void TestAttachments::deleteWhilePickingGivesUpTheNewAttachment() {
    FormAttachments* form = open("Acme");
    chooseInList(form, docs("Offer.txt"));
    click(form, "CommandNew");
    click(form, "CommandDelete");
    QVERIFY(!form->isPicking());
    QVERIFY(!child(form, "FrameSelect")->isVisible());
    QVERIFY(child<QPushButton>(form, "CommandNew")->isEnabled());
    // Neither a new row nor the attachment shown before was touched.
    QCOMPARE(count(), 4);
    QCOMPARE(child<QLineEdit>(form, "TEXT01")->text(), docs("Offer.txt"));
}

void TestAttachments::leavingWhilePickingStoresNothing_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("closed") << 0;
    QTest::newRow("F2 to the companies window") << 1;
    QTest::newRow("F9 to the call reports") << 2;
}

void TestAttachments::leavingWhilePickingStoresNothing() {
    QFETCH(int, how);
    FormAttachments* form = open("Acme");
    click(form, "CommandNew");
    if (how == 0)
        form->close();
    else
        QTest::keyClick(form, how == 1 ? Qt::Key_F2 : Qt::Key_F9);
    settle();
    QVERIFY(!Forms::isLoaded(FormAttachments::Name));
    QCOMPARE(count(), 4);
    QCOMPARE(m_session
                 ->scalar("TESSALY.mdb", "SELECT COUNT(*) FROM TABLE05 WHERE TEXT01 IS NULL "
                                         "OR TEXT01 = ''")
                 .toInt(),
             0);
}

void TestAttachments::doubleClickOpensTheViewer() {
    FormAttachments* form = open("Acme");
    auto* list = child<DBList>(form, "DBList1");
    const int row = int(listed(form).indexOf(docs("Price list.txt")));
    const QRect at = list->visualRect(list->model()->index(row, 0));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at.center());
    settle();
    auto* browser = qobject_cast<FormBrowser*>(Forms::loaded(FormBrowser::Name));
    QVERIFY(browser && browser->isVisible());
    QCOMPARE(browser->windowTitle(), docs("Price list.txt"));
    QCOMPARE(browser->WebBrowser1->kind(), DocumentView::Kind::Text);
    QCOMPARE(browser->WebBrowser1->path(), docs("Price list.txt"));
    QCOMPARE(child<QLineEdit>(form, "TEXT01")->text(), docs("Price list.txt"));
    QCOMPARE(count(), 4);
}

void TestAttachments::doubleClickOnAMovedFileIsReportedByTheViewer() {
    FormAttachments* form = open("Acme");
    auto* list = child<DBList>(form, "DBList1");
    const int row = int(listed(form).indexOf(docs("Gone.txt")));
    m_session->expectMessage("The file " + docs("Gone.txt") + " cannot be found.");
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       list->visualRect(list->model()->index(row, 0)).center());
    settle();
    QVERIFY(warningShown(form));
    QCOMPARE(count(), 4);
}

void TestAttachments::pickerMovesTheCompaniesWindow() {
    FormAttachments* form = open("Acme");
    auto* picker = child<DBCombo>(form, "DBComboSelect");
    picker->lineEdit()->selectAll();
    QTest::keyClicks(picker->lineEdit(), "Baker's Dozen");
    QTest::keyClick(picker->lineEdit(), Qt::Key_Return);
    settle();
    QCOMPARE(Forms::get<FormCompanies>()->companyName(), QString("Baker's Dozen"));
    QCOMPARE(listed(form), QStringList{docs("Baker's order.txt")});
    QVERIFY(!warningShown(form));
    fireTimer(form, "TimerLoad");
    QCOMPARE(form->windowTitle(), QString("Attachments - Baker's Dozen"));
}

void TestAttachments::activationReadsAgain() {
    FormAttachments* form = open("Crane Works");
    QVERIFY(listed(form).isEmpty());
    m_session->exec("TESSALY.mdb",
                    QString("INSERT INTO TABLE05 (NUMBER01, TEXT01, DATE01) VALUES (3, %1, "
                            "'2026-11-11')")
                        .arg(sqlText(docs("Zeta.txt"))));
    form->Form_Activate();
    QCOMPARE(listed(form), QStringList{docs("Zeta.txt")});
    QVERIFY(QMetaObject::invokeMethod(form, "Load"));
}

void TestAttachments::hoverTexts_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::newRow("new") << "CommandNew"
                         << "Add a new attachment to Baker's Dozen.";
    QTest::newRow("delete") << "CommandDelete"
                            << "Deletes the attachment.";
    QTest::newRow("description") << "MEMO01"
                                 << "Enter a discription for %1.";
    QTest::newRow("files") << "File1"
                           << "Click a file to make it an attachment to Baker's Dozen.";
    QTest::newRow("folders") << "Dir1"
                             << "Select the folder where the attachment is located.";
    QTest::newRow("help") << "CommandHelp"
                          << "Tessaly Help";
    QTest::newRow("exit") << "CommandExit"
                          << "Exit and close the program.";
    QTest::newRow("company picker") << "DBComboSelect" << CompanyPicker::hoverText();
}

void TestAttachments::hoverTexts() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    if (text.contains("%1")) // the path of the attachment shown
        text = text.arg(docs("Baker's order.txt"));
    FormAttachments* form = open("Baker's Dozen");
    HoverHelp* help = form->hoverHelp();
    QWidget* target = child(form, control);
    QCOMPARE(help->text(target), text);
    help->showFor(target);
    QVERIFY(child(form, "FrameHelp")->isVisible());
    QCOMPARE(child<QLabel>(form, "LabelHelp")->text(), text);
    // Over the list the help goes away, as over the background.
    help->showFor(child(form, "DBList1"));
    QVERIFY(!child(form, "FrameHelp")->isVisible());
    help->showFor(target);
    help->showBackground();
    QVERIFY(!child(form, "FrameHelp")->isVisible());
}

void TestAttachments::driveListHelpOnFocus() {
    FormAttachments* form = open("Acme");
    click(form, "CommandNew");
    QVERIFY(!child(form, "FrameHelp")->isVisible());
    child(form, "Drive1")->setFocus();
    settle();
    QVERIFY(child(form, "FrameHelp")->isVisible());
    QCOMPARE(child<QLabel>(form, "LabelHelp")->text(),
             QString("Select the drive where the attachment is located."));
}

void TestAttachments::manualChapterOnTheHelpPage() {
    FormAttachments* form = open("Acme");
    QTest::keyRelease(form, Qt::Key_F1);
    settle();
    auto* help = qobject_cast<FormHelp*>(Forms::loaded("FormHelp"));
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->page(), 37);
    QPdfDocument manual;
    QCOMPARE(manual.load(m_session->file("Help.pdf")), QPdfDocument::Error::None);
    QVERIFY(manual.pageCount() >= 37);
    const QString text = manual.getAllText(36).text();
    QVERIFY2(text.simplified().startsWith("Attachments"), qPrintable(text.left(80)));
}

QTEST_MAIN(TestAttachments)
#include "tst_attachments.moc"
