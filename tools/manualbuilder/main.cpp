// Renders the user manual (resources/manual/*.html) into Help.pdf.
//
// Each chapter file begins with a comment naming the page it starts on,
// <!-- page: 18 -->, because the program opens the manual at fixed pages per
// window. Chapters are laid out in page order; the pages between a chapter's
// end and the next chapter's start are left for notes. A chapter that runs
// into the page of the next one stops the build.
//
//   manualbuilder <folder of chapters> <Help.pdf>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>
#include <QTextStream>
#include <cstdio>

namespace {

struct Chapter {
    int page = 0;
    QString file;
    QString html;
};

int fail(const QString& message) {
    fprintf(stderr, "manualbuilder: %s\n", qPrintable(message));
    return 1;
}

const char* const Style = R"(
  body { font-family: 'DejaVu Sans'; font-size: 10pt; }
  h1 { font-size: 18pt; color: #204a87; margin-bottom: 6pt; }
  h2 { font-size: 12.5pt; color: #204a87; margin-top: 10pt; margin-bottom: 3pt; }
  p, li { margin-top: 2pt; margin-bottom: 4pt; }
  td, th { padding: 2pt 6pt; }
  th { background-color: #dde4ee; text-align: left; }
  .key { font-family: 'DejaVu Sans Mono'; }
)";

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3)
        return fail("usage: manualbuilder <chapters folder> <output.pdf>");
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QString output = QString::fromLocal8Bit(argv[2]);

    QList<Chapter> chapters;
    static const QRegularExpression pageComment(QStringLiteral("<!--\\s*page:\\s*(\\d+)\\s*-->"));
    for (const QString& name :
         folder.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return fail("cannot read " + name);
        Chapter chapter;
        chapter.file = name;
        chapter.html = QString::fromUtf8(file.readAll());
        const auto match = pageComment.match(chapter.html);
        if (!match.hasMatch())
            return fail(name + " names no page (<!-- page: N -->)");
        chapter.page = match.captured(1).toInt();
        chapters.append(chapter);
    }
    std::sort(chapters.begin(), chapters.end(),
              [](const Chapter& a, const Chapter& b) { return a.page < b.page; });

    QPdfWriter writer(output);
    writer.setResolution(72); // one device unit is one point
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(56, 56, 56, 48), QPageLayout::Point);
    writer.setTitle(QStringLiteral("Tessaly User Manual"));
    writer.setCreator(QStringLiteral("Tessaly"));
    QPainter painter(&writer);
    const QRectF area = writer.pageLayout().paintRectPoints();
    const qreal footer = 24;
    const QSizeF body(area.width(), area.height() - footer);

    int page = 0; // pages written so far
    auto finishPage = [&](bool more) {
        ++page;
        painter.save();
        QFont small(QStringLiteral("DejaVu Sans"), 8);
        painter.setFont(small);
        painter.setPen(QColor(0x55, 0x57, 0x53));
        painter.drawText(QRectF(0, body.height() + 6, body.width(), footer - 6),
                         Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("Tessaly User Manual  \u2013  %1").arg(page));
        painter.restore();
        if (more)
            writer.newPage();
    };

    for (int c = 0; c < chapters.size(); ++c) {
        const Chapter& chapter = chapters.at(c);
        if (page >= chapter.page)
            return fail(QStringLiteral("%1 should start on page %2, but page %3 is taken")
                            .arg(chapter.file)
                            .arg(chapter.page)
                            .arg(page));
        while (page < chapter.page - 1) {
            painter.save();
            painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
            painter.setPen(QColor(0x88, 0x8a, 0x85));
            painter.drawText(QRectF(0, 0, body.width(), 40), Qt::AlignLeft | Qt::AlignTop,
                             QStringLiteral("Notes"));
            painter.restore();
            finishPage(true);
        }
        QTextDocument document;
        document.setDefaultStyleSheet(QString::fromLatin1(Style));
        document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
        document.setHtml(chapter.html);
        document.setPageSize(body);
        const int pages = document.pageCount();
        const int limit = c + 1 < chapters.size() ? chapters.at(c + 1).page - chapter.page : pages;
        if (pages > limit)
            return fail(QStringLiteral("%1 takes %2 pages; only %3 fit before the next chapter")
                            .arg(chapter.file)
                            .arg(pages)
                            .arg(limit));
        for (int p = 0; p < pages; ++p) {
            painter.save();
            painter.translate(0, -p * body.height());
            document.drawContents(&painter,
                                  QRectF(0, p * body.height(), body.width(), body.height()));
            painter.restore();
            finishPage(c + 1 < chapters.size() || p + 1 < pages);
        }
    }
    painter.end();
    printf("manualbuilder: %d pages, %lld chapters\n", page, qlonglong(chapters.size()));
    return 0;
}
