#include "FormHelp.h"

#include "Forms.h"
#include "platform/ProgramFolder.h"
#include "services/Twips.h"

#include <QPdfDocument>
#include <QPdfPageNavigator>
#include <QPdfView>

FormHelp::FormHelp()
    : Form(QString::fromLatin1(Name))
    , m_document(new QPdfDocument(this)) {
    WebBrowser1 = new QPdfView(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setDocument(m_document);
    WebBrowser1->setPageMode(QPdfView::PageMode::MultiPage);
    WebBrowser1->setZoomMode(QPdfView::ZoomMode::Custom);
}

const QList<QPair<QString, int>>& FormHelp::HelpPages() {
    static const QList<QPair<QString, int>> pages = {
        {QStringLiteral("FormMenu"), 1},         {QStringLiteral("FormReplica"), 2},
        {QStringLiteral("FormCompetition"), 15}, {QStringLiteral("FormExport"), 48},
        {QStringLiteral("FormCompanies"), 18},   {QStringLiteral("FormContacts"), 23},
        {QStringLiteral("FormActivities"), 30},  {QStringLiteral("FormCallReports"), 30},
        {QStringLiteral("FormProjects"), 33},    {QStringLiteral("FormCompetitors"), 39},
        {QStringLiteral("FormAttachments"), 37}, {QStringLiteral("FormSalesFigures"), 52},
        {QStringLiteral("FormSales"), 13},       {QStringLiteral("FormReports"), 42},
        {QStringLiteral("FormMastertables"), 6}, {QStringLiteral("FormImport"), 9},
        {QStringLiteral("FormContactsAll"), 54}, {QStringLiteral("FormDuplicates"), 60},
    };
    return pages;
}

void FormHelp::Form_Load() {
    setWindowTitle(QStringLiteral("Tessaly Help"));
    const int width = 12825, height = 7530;
    Twips::setGeometry(this, Twips::screenWidth() - width - 300,
                       Twips::screenHeight() - height - 800, width, height);

    for (const auto& [window, page] : HelpPages())
        if (Forms::isVisible(window))
            m_page = page;

    const QString file = ProgramFolder::file(QStringLiteral("Help.pdf"));
    m_document->load(file);
    WebBrowser1->setZoomFactor(0.75);
    if (m_page > 0) {
        m_address = QStringLiteral("file:///%1#zoom=75&page=%2").arg(file).arg(m_page);
        if (m_document->status() == QPdfDocument::Status::Ready)
            WebBrowser1->pageNavigator()->jump(m_page - 1, QPointF(), 0.75);
    }
}

void FormHelp::resizeEvent(QResizeEvent* event) {
    Form::resizeEvent(event);
    WebBrowser1->setGeometry(0, 0, std::max(0, width() - Twips::toPixelsX(100)), height());
}
