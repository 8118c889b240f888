#pragma once

#include "app/WorkingWindow.h"

#include <optional>

class CompanyPicker;
class DataNavigator;
class DataSource;
class EditToolbar;
class FormCompanies;
class FunctionKeyBar;
class HoverHelp;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class RichTextBox;
class SqliteConnection;

// The browser of stored documents shared by the call reports, the
// correspondence and the all-call-reports windows: one document at a time,
// full size, as formatted text, with a navigation bar, a phrase search that
// highlights each match in turn, zoom, and sending the document to the word
// processor or to a new e-mail. What differs between the windows is given
// by their Design; the windows of one company (Design::companyWindow) add the
// company picker, editing, delete, the function keys and the help and exit
// buttons, and follow the companies window's current company.
//
// The document editor files a new document through the bound boxes: AddNew
// on the window's data source (DataTABLE08 / DataTABLE09), then the hidden
// boxes NUMBER01, DATE01 (and TEXT01, TEXT03 or LabelMethod) and
// RichTextBox1; the row is stored at the data source's next save point.
class DocumentBrowser : public WorkingWindow {
    Q_OBJECT
public:
    struct Design {
        const char* name;  // the window's name, "FormCallReports"
        const char* table; // "TABLE08" or "TABLE09"
        // The caption at load and, for a company window, before " - " and
        // the company's name on every tick. Empty: the opener sets it.
        QString caption;
        bool companyWindow = true;
        QString item;  // "REPORT" or "RECORD" in the position label
        QString items; // "REPORTS" or "RECORDS"
        QString deleteQuestion;
        QString mailSubject;      // before the company's name, for a company window
        QString navigationHelp;   // hover help of the navigation bar
        QString searchHelpBefore; // hover help of the search button, before the company's name
        QStringList hiddenBoxes;  // bound boxes the editor fills (TEXT01, NUMBER01 ...)
        int widthMargin = 300;    // RichTextBox1: outer width minus this
        int heightMargin = 700;   // RichTextBox1: outer height minus its top minus this
    };

    explicit DocumentBrowser(const Design& design);

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;
    bool Form_KeyDown(QKeyEvent* event) override;
    bool Form_KeyUp(QKeyEvent* event) override;
    void Form_Resize();

    // Re-reads the documents: those of the current company for a company
    // window, the current record source otherwise.
    Q_INVOKABLE void Load() override;

    void TimerLoad_Timer();
    void TimerSearch_Timer();
    void CommandSearch_Click();
    void CommandFind_Click();
    void CommandReset_Click();
    void CommandEdit_Click();
    void CommandDelete_Click();
    void CommandZoomIn_Click();
    void CommandZoomOut_Click();
    void CommandWord_Click();
    void CommandOutlook_Click();

    DataSource* documents() const { return m_documents; }
    RichTextBox* document() const { return RichTextBox1; }
    QTimer* searchTimer() const { return TimerSearch; }
    int searchPosition() const { return m_searchPosition; }
    QString searchPhrase() const { return m_searchPhrase; }
    bool isEditing() const;
    int zoomSize() const { return m_fontSize; }
    // The SELECT that lists every stored document, newest first.
    QString allDocumentsSource() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Every tick of the 100 ms timer, after the caption.
    virtual void tick() {}
    // The colours of the edit mode; a window may colour more controls.
    virtual void paintEditing(qint64 background);
    // The SELECT of the documents containing the phrase.
    virtual QString findSource(const QString& phrase) const;
    // What a window of all documents lists when it is loaded.
    virtual QString loadSource() const { return allDocumentsSource(); }
    // The text of the position label and of the search button's help.
    QString positionText() const;
    QString companyName() const;
    QString companyKey() const; // a whole number, or "Null" without a company
    FormCompanies* companies() const;
    QLineEdit* hiddenBox(const QString& name) const;

    const Design m_design;
    DataSource* m_documents;
    DataSource* DataTABLE01 = nullptr;
    RichTextBox* RichTextBox1;
    DataNavigator* m_navigator;
    QLabel* LabelPosition;
    QLabel* LabelSelect = nullptr;
    CompanyPicker* DBComboSelect = nullptr;
    QPushButton* CommandSearch = nullptr;
    QLineEdit* TextFind;
    QPushButton* CommandFind;
    QPushButton* CommandReset;
    QPushButton* CommandEdit = nullptr;
    EditToolbar* Toolbar1 = nullptr;
    QPushButton* CommandDelete = nullptr;
    QPushButton* CommandZoomIn;
    QPushButton* CommandZoomOut;
    QPushButton* CommandWord;
    QPushButton* CommandOutlook;
    QLabel* LabelLoad;
    QLabel* ImageWord;
    QLabel* ImageOutlook;
    QPushButton* CommandHelp = nullptr;
    QPushButton* CommandExit = nullptr;
    QGroupBox* FrameHelp;
    QLabel* LabelHelp;
    FunctionKeyBar* m_functionKeys = nullptr;
    QTimer* TimerLoad;
    QTimer* TimerSearch;
    HoverHelp* m_help;

private:
    void buildControls();
    void buildHoverTexts();
    void showPosition();
    void zoom(int points);
    void applyZoom(int points);
    bool runRecordSource(const QString& source);
    // The SELECT of the current company's documents, newest first.
    QString companySource() const;
    // True when `source` was read last and nothing was written since.
    bool isUnchanged(const QString& source);
    static quint64 writeStamp(SqliteConnection& connection);

    struct ReadState {
        QString source;
        const void* connection;
        quint64 stamp;
    };
    std::optional<ReadState> m_lastRead;
    int m_searchPosition = 0;
    QString m_searchPhrase;
    int m_fontSize = 10;
    int m_shownZoom = 0; // points added to every size of the shown document
};
