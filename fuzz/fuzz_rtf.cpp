#include "formats/Rtf.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

// RTF from anywhere (a memo, the clipboard, a template file): the reader
// must load whatever it can, the splicer must cope with it as template and
// as fragment, and what the writer makes of the result must read back to
// the same text.

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    Q_UNUSED(argc);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char* qtArgv[] = {(*argv)[0], nullptr};
    static QGuiApplication application(qtArgc, qtArgv); // text documents need fonts
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& text : {QString::fromLatin1(bytes), QString::fromUtf8(bytes)}) {
        QTextDocument document;
        if (!Rtf::toDocument(text, document))
            continue;
        const QString written = Rtf::fromDocument(document);
        QTextDocument again;
        if (!Rtf::toDocument(written, again) || again.toRawText() != document.toRawText())
            std::abort();

        const QString spliced = Rtf::spliceBody(text, {text, Rtf::fromPlainText("Body")});
        QTextDocument splicedDocument;
        if (!Rtf::toDocument(spliced, splicedDocument))
            std::abort();
        QTextDocument fragment;
        Rtf::toDocument(Rtf::spliceBody(Rtf::fromPlainText("Start"), {text}), fragment);
        if (!fragment.toRawText().startsWith(QLatin1String("Start")))
            std::abort();
    }
    return 0;
}
