// Renders the program's SVG icon as the PNG sizes a desktop's icon theme
// looks for: rendericon <icon.svg> <output folder> <size>...
// writes <output folder>/<size>x<size>/apps/<base name>.png for each size.

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: rendericon <icon.svg> <output folder> <size>...\n");
        return 2;
    }
    QSvgRenderer svg(args[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "rendericon: %s is not a readable SVG file\n", qPrintable(args[1]));
        return 1;
    }
    const QString name = QFileInfo(args[1]).completeBaseName() + QStringLiteral(".png");
    for (const QString& sizeText : args.mid(3)) {
        bool ok = false;
        const int size = sizeText.toInt(&ok);
        if (!ok || size <= 0 || size > 1024) {
            std::fprintf(stderr, "rendericon: %s is not an icon size\n", qPrintable(sizeText));
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        const QString folder = QDir(args[2]).filePath(QStringLiteral("%1x%1/apps").arg(size));
        if (!QDir().mkpath(folder) || !image.save(QDir(folder).filePath(name), "PNG")) {
            std::fprintf(stderr, "rendericon: cannot write into %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
