#include "TestMain.h"
#include "TestSession.h"

#include "formats/Rtf.h"

#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

// The RTF codec: documents written and read back, RTF as other programs
// write it, damaged RTF, plain text, and the splicing of bodies into a
// template.
class TestRtf : public QObject {
    Q_OBJECT
private slots:
    void init() { m_session = std::make_unique<TestSession>(TestSession::Folder::Empty); }
    void cleanup() { m_session.reset(); }

    void characterFormatsSurviveARoundTrip_data();
    void characterFormatsSurviveARoundTrip();
    void alignmentSurvivesARoundTrip_data();
    void alignmentSurvivesARoundTrip();
    void textSurvivesARoundTrip_data();
    void textSurvivesARoundTrip();
    void charactersAreEscaped_data();
    void charactersAreEscaped();
    void emptyParagraphKeepsItsSize();

    void readsWhatOtherProgramsWrite_data();
    void readsWhatOtherProgramsWrite();
    void wordPadSampleKeepsItsFormatting();
    void wordSampleKeepsItsFormatting();

    void damagedRtfLoadsWhatCanBeRead_data();
    void damagedRtfLoadsWhatCanBeRead();
    void textThatIsNotRtfIsRefused_data();
    void textThatIsNotRtfIsRefused();

    void plainTextRoundTrip_data();
    void plainTextRoundTrip();

    void spliceInsertsAtTheInsertionPoint_data();
    void spliceInsertsAtTheInsertionPoint();
    void spliceKeepsTheTemplateAndEachFragmentsFormatting();
    void spliceGivesATemplateWithoutTablesItsTables();
    void spliceLeavesFragmentHeadersOut();
    void spliceRenumbersColourReferences_data();
    void spliceRenumbersColourReferences();

private:
    static QTextDocument* read(const QString& rtf);
    static QTextCharFormat formatAt(const QTextDocument& document, const QString& text);
    static QString family(const QTextCharFormat& format);
    std::unique_ptr<TestSession> m_session;
};

QTextDocument* TestRtf::read(const QString& rtf) {
    auto* document = new QTextDocument;
    if (!Rtf::toDocument(rtf, *document))
        QTest::qFail("toDocument refused the text", __FILE__, __LINE__);
    return document;
}

// The format of the found text; the text must be formatted alike throughout.
QTextCharFormat TestRtf::formatAt(const QTextDocument& document, const QString& text) {
    const QTextCursor found = document.find(text, 0, QTextDocument::FindCaseSensitively);
    if (found.isNull()) {
        QTest::qFail(qPrintable("text not found: " + text), __FILE__, __LINE__);
        return {};
    }
    QTextCursor first(const_cast<QTextDocument*>(&document));
    first.setPosition(found.selectionStart() + 1);
    QTextCursor last(const_cast<QTextDocument*>(&document));
    last.setPosition(found.selectionEnd());
    if (first.charFormat() != last.charFormat())
        QTest::qFail(qPrintable("mixed formats in " + text), __FILE__, __LINE__);
    return first.charFormat();
}

QString TestRtf::family(const QTextCharFormat& format) {
    return format.fontFamilies().toStringList().value(0);
}

void TestRtf::characterFormatsSurviveARoundTrip_data() {
    QTest::addColumn<QTextFormat>("format");
    auto add = [](const char* name, const std::function<void(QTextCharFormat&)>& set) {
        QTextCharFormat format;
        set(format);
        QTest::newRow(name) << QTextFormat(format);
    };
    add("bold", [](QTextCharFormat& f) { f.setFontWeight(QFont::Bold); });
    add("italic", [](QTextCharFormat& f) { f.setFontItalic(true); });
    add("underline", [](QTextCharFormat& f) { f.setFontUnderline(true); });
    add("strike", [](QTextCharFormat& f) { f.setFontStrikeOut(true); });
    add("text colour", [](QTextCharFormat& f) { f.setForeground(QColor(200, 10, 30)); });
    add("background", [](QTextCharFormat& f) { f.setBackground(QColor(255, 255, 0)); });
    add("family", [](QTextCharFormat& f) { f.setFontFamilies({"Courier New"}); });
    add("family with space and accent",
        [](QTextCharFormat& f) { f.setFontFamilies({QString::fromUtf8("Gill Sans Médium")}); });
    add("size", [](QTextCharFormat& f) { f.setFontPointSize(18); });
    add("half point size", [](QTextCharFormat& f) { f.setFontPointSize(7.5); });
    add("superscript",
        [](QTextCharFormat& f) { f.setVerticalAlignment(QTextCharFormat::AlignSuperScript); });
    add("everything", [](QTextCharFormat& f) {
        f.setFontWeight(QFont::Bold);
        f.setFontItalic(true);
        f.setFontUnderline(true);
        f.setFontStrikeOut(true);
        f.setForeground(QColor(0, 0, 255));
        f.setBackground(QColor(0, 255, 0));
        f.setFontFamilies({"Georgia"});
        f.setFontPointSize(9);
    });
    add("two colours alike", [](QTextCharFormat& f) {
        f.setForeground(QColor(10, 20, 30));
        f.setBackground(QColor(10, 20, 30));
    });
}

void TestRtf::characterFormatsSurviveARoundTrip() {
    QFETCH(QTextFormat, format);
    const QTextCharFormat formatted = format.toCharFormat();

    QTextDocument document;
    QTextCharFormat plain;
    plain.setFontFamilies({"Arial"});
    plain.setFontPointSize(12);
    QTextCursor cursor(&document);
    cursor.insertText("before ", plain);
    cursor.insertText("formatted", formatted);
    cursor.insertText(" after", plain);

    std::unique_ptr<QTextDocument> back(read(Rtf::fromDocument(document)));
    QCOMPARE(back->toPlainText(), QString("before formatted after"));
    const QTextCharFormat read = formatAt(*back, "formatted");
    const QFont font = read.font();
    QCOMPARE(font.bold(), formatted.fontWeight() == QFont::Bold);
    QCOMPARE(font.italic(), formatted.fontItalic());
    QCOMPARE(font.underline(), formatted.fontUnderline());
    QCOMPARE(font.strikeOut(), formatted.fontStrikeOut());
    QCOMPARE(read.verticalAlignment(), formatted.verticalAlignment());
    QCOMPARE(read.foreground().style() != Qt::NoBrush,
             formatted.foreground().style() != Qt::NoBrush);
    if (formatted.foreground().style() != Qt::NoBrush)
        QCOMPARE(read.foreground().color(), formatted.foreground().color());
    QCOMPARE(read.background().style() != Qt::NoBrush,
             formatted.background().style() != Qt::NoBrush);
    if (formatted.background().style() != Qt::NoBrush)
        QCOMPARE(read.background().color(), formatted.background().color());
    QCOMPARE(family(read), formatted.hasProperty(QTextFormat::FontFamilies)
                               ? family(formatted)
                               : document.defaultFont().family());
    QCOMPARE(read.fontPointSize(), formatted.hasProperty(QTextFormat::FontPointSize)
                                       ? formatted.fontPointSize()
                                       : document.defaultFont().pointSizeF());

    // The runs around it keep their own, plain formatting.
    for (const QString& text : {QString("before"), QString("after")}) {
        const QTextCharFormat neighbour = formatAt(*back, text);
        QVERIFY(!neighbour.font().bold());
        QVERIFY(!neighbour.font().italic());
        QVERIFY(!neighbour.font().underline());
        QVERIFY(!neighbour.font().strikeOut());
        QCOMPARE(neighbour.foreground().style(), Qt::NoBrush);
        QCOMPARE(neighbour.background().style(), Qt::NoBrush);
        QCOMPARE(family(neighbour), QString("Arial"));
        QCOMPARE(neighbour.fontPointSize(), 12.0);
        QCOMPARE(neighbour.verticalAlignment(), QTextCharFormat::AlignNormal);
    }
}

void TestRtf::alignmentSurvivesARoundTrip_data() {
    QTest::addColumn<int>("alignment");
    QTest::newRow("left") << int(Qt::AlignLeft);
    QTest::newRow("centre") << int(Qt::AlignHCenter);
    QTest::newRow("right") << int(Qt::AlignRight);
    QTest::newRow("justify") << int(Qt::AlignJustify);
}

void TestRtf::alignmentSurvivesARoundTrip() {
    QFETCH(int, alignment);
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText("first");
    QTextBlockFormat aligned;
    aligned.setAlignment(Qt::Alignment(alignment));
    cursor.insertBlock(aligned);
    cursor.insertText("second");
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.insertBlock(centred);
    cursor.insertText("third");

    std::unique_ptr<QTextDocument> back(read(Rtf::fromDocument(document)));
    QCOMPARE(back->blockCount(), 3);
    auto horizontal = [&](int block) {
        return int(back->findBlockByNumber(block).blockFormat().alignment() &
                   Qt::AlignHorizontal_Mask);
    };
    QCOMPARE(horizontal(0), int(Qt::AlignLeft));
    QCOMPARE(horizontal(1), alignment);
    QCOMPARE(horizontal(2), int(Qt::AlignHCenter));
}

void TestRtf::textSurvivesARoundTrip_data() {
    QTest::addColumn<QString>("text"); // '\n' separates paragraphs
    QTest::newRow("ascii") << "Hello, world.";
    QTest::newRow("paragraphs") << "one\ntwo\nthree";
    QTest::newRow("empty paragraphs between") << "one\n\n\ntwo";
    QTest::newRow("empty last paragraph") << "one\n";
    QTest::newRow("empty first paragraph") << "\none";
    QTest::newRow("tabs") << "Name\tPhone\t\tFax";
    QTest::newRow("line break in paragraph")
        << QString("Acme Ltd") + QChar::LineSeparator + "Main Street 1\nnext paragraph";
    QTest::newRow("special characters") << "{braces} \\backslash\\ and ; semicolons";
    QTest::newRow("latin") << QString::fromUtf8("Müller & Söhne, café, naïve, ß");
    QTest::newRow("windows-1252 range") << QString::fromUtf8("€ „quoted“ – dash — … ™ Œ š");
    QTest::newRow("above 32767") << QString::fromUtf8("ｱｲｳ ﬁ \uFFFD");
    QTest::newRow("greek cyrillic cjk") << QString::fromUtf8("Ελληνικά Русский 中文 한국어");
    QTest::newRow("astral") << QString::fromUtf8("smile 😀 clef 𝄞 end");
    QTest::newRow("astral only") << QString::fromUtf8("😀");
    QTest::newRow("no-break space") << QString("a") + QChar(0x00A0) + "b";
    QTest::newRow("digits after escapes") << QString::fromUtf8("é1 \t2 {3");
}

void TestRtf::textSurvivesARoundTrip() {
    QFETCH(QString, text);
    QTextDocument document;
    QTextCursor(&document).insertText(text);

    const QString rtf = Rtf::fromDocument(document);
    for (const QChar c : rtf)
        QVERIFY2(c.unicode() < 0x80, "the RTF is plain ASCII");
    std::unique_ptr<QTextDocument> back(read(rtf));
    QCOMPARE(back->toRawText(), document.toRawText());
    QCOMPARE(back->blockCount(), document.blockCount());
}

void TestRtf::charactersAreEscaped_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");
    QTest::newRow("e acute") << QString::fromUtf8("é") << "\\u233?";
    QTest::newRow("euro") << QString::fromUtf8("€") << "\\u8364?";
    QTest::newRow("above 32767") << QString::fromUtf8("\uFFFD") << "\\u-3?";
    QTest::newRow("astral pair") << QString::fromUtf8("😀") << "\\u-10179?\\u-8704?";
    QTest::newRow("brace") << "{"
                           << "\\{";
    QTest::newRow("backslash") << "\\"
                               << "\\\\";
    QTest::newRow("tab") << "\t"
                         << "\\tab ";
    QTest::newRow("line separator") << QString(QChar::LineSeparator) << "\\line ";
}

void TestRtf::charactersAreEscaped() {
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    QTextDocument document;
    QTextCursor(&document).insertText("x" + text + "y");
    QVERIFY2(Rtf::fromDocument(document).contains(escaped),
             qPrintable(Rtf::fromDocument(document)));
    QVERIFY(Rtf::fromPlainText("x" + text + "y").contains(escaped));
}

void TestRtf::emptyParagraphKeepsItsSize() {
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat large;
    large.setFontPointSize(20);
    cursor.insertText("big", large);
    cursor.insertBlock(QTextBlockFormat(), large);
    cursor.insertBlock(QTextBlockFormat(), large);
    cursor.insertText("big again", large);
    std::unique_ptr<QTextDocument> back(read(Rtf::fromDocument(document)));
    QCOMPARE(back->blockCount(), 3);
    QCOMPARE(back->findBlockByNumber(1).charFormat().fontPointSize(), 20.0);
}

void TestRtf::readsWhatOtherProgramsWrite_data() {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("text");

    QTest::newRow("wordpad") << QString::fromLatin1(
                                    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat\\deflang1033{"
                                    "\\fonttbl{\\f0\\fnil\\fcharset0 "
                                    "Calibri;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
                                    "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
                                    "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
                                    "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang9 Caf\\'e9 costs "
                                    "5 \\u8364?, \\b bold\\b0  "
                                    "and \\cf1 red\\cf0 .\\par\r\n"
                                    "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{"
                                    "\\pntxtb\\'B7}}\\fi-360\\li720 "
                                    "Item\\par\r\n"
                                    "}\r\n")
                             << QString::fromUtf8("Café costs 5 €, bold and red.\n·\tItem");

    QTest::newRow("word")
        << QString::fromLatin1(
               "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff31507\\deff0\\stshfdbch31505"
               "\\stshfloch31506\\deflang1033{\\fonttbl{\\f0\\fbidi "
               "\\froman\\fcharset0\\fprq2{\\*\\panose "
               "02020603050405020304}Times New Roman;}{\\f37\\fbidi "
               "\\fswiss\\fcharset0\\fprq2{\\*\\panose "
               "020f0502020204030204}Calibri;}}\n"
               "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}\n"
               "{\\*\\defchp \\fs22 }{\\stylesheet{\\ql \\li0\\ri0\\sa160 \\f37\\fs22 \\snext0 "
               "\\sqformat \\spriority0 Normal;}{\\*\\cs10 \\additive \\ssemihidden Default "
               "Paragraph "
               "Font;}}\n"
               "{\\*\\rsidtbl \\rsid1;}{\\*\\generator Microsoft Word 16.0;}{\\info{\\title Secret "
               "title}{\\author Jane Roe}{\\creatim\\yr2024\\mo1\\dy2}}\n"
               "\\paperw12240\\paperh15840\\margl1440\\margr1440 \\sectd \\linex0\\endnhere\n"
               "{\\header \\pard\\plain \\ql Header text\\par}{\\footer \\pard\\plain Footer "
               "text\\par}\n"
               "\\pard\\plain \\ltrpar\\qc \\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\f37\\fs28 "
               "Title\\par\n"
               "\\pard\\plain \\ltrpar\\ql \\f37\\fs22 See {\\field{\\*\\fldinst {\\rtlch\\fcs1 "
               "HYPERLINK \"http://example.com/\" }}{\\fldrslt {\\rtlch\\fcs1 \\cf2\\ul example}}} "
               "now.\\par\n"
               "{\\*\\shppict{\\pict{\\*\\picprop\\shplid1025{\\sp{\\sn shapeType}{\\sv 75}}}"
               "\\picscalex100\\pngblip\\bliptag255{\\*\\blipuid 0a1b}89504e470d0a1a0a0000}}"
               "{\\nonshppict{\\pict\\wmetafile8\\picw10 010009000003}}\\par\n"
               "{\\pict\\pngblip\\picw10\\pich10 89504e47 Picture text}After picture"
               "{\\*\\bkmkstart Body}{\\*\\bkmkend Body}\\par\n"
               "{\\*\\themedata 504b0304}{\\*\\datastore 0105000002}}")
        << "Title\nSee example now.\n\nAfter picture";

    QTest::newRow("libreoffice two byte fallback")
        << QString::fromLatin1("{\\rtf1\\ansi\\deff4\\adeflang1025{\\fonttbl{"
                               "\\f4\\froman\\fprq2\\fcharset0 Liberation "
                               "Serif;}}{\\*\\generator LibreOffice/7.4}\\pard\\plain {\\uc2 "
                               "\\u20013\\'d6\\'d0\\u25991"
                               "\\'ce\\'c4}{\\uc0 \\u8364 }{\\uc1 ok\\u8230\\'85}\\par }")
        << QString::fromUtf8("中文€ok…");

    QTest::newRow("table")
        << QString::fromLatin1(
               "{\\rtf1\\ansi\\deff0 {\\fonttbl{\\f0 Arial;}}Before\\par\n"
               "\\trowd\\trgaph108\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl A\\cell B\\cell "
               "C\\cell\\row\n"
               "\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl\\cell \\cell Z\\cell\\row\n"
               "\\pard After\\par}")
        << "Before\nA\tB\tC\n\t\tZ\nAfter";

    QTest::newRow("object result")
        << QString::fromLatin1(
               "{\\rtf1 {\\object\\objemb{\\*\\objclass Excel.Sheet.8}\\objw100{\\*\\objdata "
               "01050000020000000b000000}{\\result {\\pard Result text}}}\\par}")
        << "Result text";

    QTest::newRow("hidden text") << "{\\rtf1 Visible{\\v  hidden} text\\v  gone\\v0 !}"
                                 << "Visible text!";

    QTest::newRow("special characters")
        << "{\\rtf1 a\\emdash b\\endash c\\lquote d\\rquote e\\ldblquote f\\rdblquote "
           "g\\bullet h\\~i\\_j\\{k\\}l\\\\m}"
        << QString::fromUtf8("a—b–c‘d’e“f”g•h i\u2011j{k}l\\m");

    QTest::newRow("raw code page bytes") << QString::fromLatin1("{\\rtf1\\ansi caf\xe9 \x80 "
                                                                "\x93quoted\x94}")
                                         << QString::fromUtf8("café € “quoted”");
    QTest::newRow("other code page keeps latin-1")
        << QString::fromLatin1("{\\rtf1\\ansi\\ansicpg1251 \\'e9\\'80}") << QString::fromUtf8("é");

    QTest::newRow("binary data") << QString::fromLatin1("{\\rtf1 a{\\pict\\bin6 }{\\}\\x}b}")
                                 << "ab";

    QTest::newRow("line ends are noise") << "{\\rtf1 Hel\r\nlo\\b\r\n world\\\r\nnext\\\npar}"
                                         << "Hello world\nnext\npar";

    QTest::newRow("star outside a destination") << "{\\rtf1 a\\*b{\\*\\unknown gone}c}"
                                                << "abc";

    QTest::newRow("unicode in font name and text")
        << "{\\rtf1{\\fonttbl{\\f0\\fnil \\u-10179?\\u-8704?Font;}}\\f0 \\u-10179?\\u-8704?}"
        << QString::fromUtf8("😀");
}

void TestRtf::readsWhatOtherProgramsWrite() {
    QFETCH(QString, rtf);
    QFETCH(QString, text);
    std::unique_ptr<QTextDocument> document(read(rtf));
    QCOMPARE(document->toPlainText(), text);
    QCOMPARE(Rtf::toPlainText(rtf), text);
}

void TestRtf::wordPadSampleKeepsItsFormatting() {
    const QString rtf = QString::fromLatin1(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat{\\fonttbl{\\f0\\fnil\\fcharset0 "
        "Calibri;}{\\f1\\fswiss Verdana;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\r\n"
        "\\viewkind4\\uc1 \\pard\\f0\\fs22 Plain \\b bold\\b0  \\i italic\\i0  \\ul under\\ulnone "
        " \\strike gone\\strike0  \\cf1 red\\cf0  \\highlight2 marked\\highlight0  \\f1\\fs32 "
        "large\\f0\\fs22  end\\par\r\n"
        "\\pard\\qc centred\\par\r\n"
        "\\pard\\qr right\\par\r\n"
        "\\qj justified\\par\r\n"
        "\\pard\\plain back to plain\\par}");
    std::unique_ptr<QTextDocument> document(read(rtf));
    QCOMPARE(document->blockCount(), 5);

    const QTextCharFormat plain = formatAt(*document, "Plain");
    QCOMPARE(family(plain), QString("Calibri"));
    QCOMPARE(plain.fontPointSize(), 11.0);
    QVERIFY(!plain.font().bold());
    QVERIFY(formatAt(*document, "bold").font().bold());
    QVERIFY(formatAt(*document, "italic").font().italic());
    QVERIFY(!formatAt(*document, "italic").font().bold());
    QVERIFY(formatAt(*document, "under").font().underline());
    QVERIFY(formatAt(*document, "gone").font().strikeOut());
    QCOMPARE(formatAt(*document, "red").foreground().color(), QColor(255, 0, 0));
    QCOMPARE(formatAt(*document, "marked").background().color(), QColor(0, 128, 0));
    QCOMPARE(formatAt(*document, "marked").foreground().style(), Qt::NoBrush);
    QCOMPARE(family(formatAt(*document, "large")), QString("Verdana"));
    QCOMPARE(formatAt(*document, "large").fontPointSize(), 16.0);
    QCOMPARE(family(formatAt(*document, "end")), QString("Calibri"));
    QCOMPARE(formatAt(*document, "end").fontPointSize(), 11.0);
    // \plain returns to the default font (\deff0) at 12 points.
    QCOMPARE(family(formatAt(*document, "back to plain")), QString("Calibri"));
    QCOMPARE(formatAt(*document, "back to plain").fontPointSize(), 12.0);

    auto alignment = [&](int block) {
        return document->findBlockByNumber(block).blockFormat().alignment() &
               Qt::AlignHorizontal_Mask;
    };
    QCOMPARE(alignment(0), Qt::AlignLeft);
    QCOMPARE(alignment(1), Qt::AlignHCenter);
    QCOMPARE(alignment(2), Qt::AlignRight);
    QCOMPARE(alignment(3), Qt::AlignJustify); // \qj without \pard follows \qr
    QCOMPARE(alignment(4), Qt::AlignLeft);
}

void TestRtf::wordSampleKeepsItsFormatting() {
    // Groups restore the formatting around them; \plain inside a field
    // result does not leak out of it.
    const QString rtf = QString::fromLatin1(
        "{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0 Times New Roman;}{\\f1 Calibri;}}"
        "{\\colortbl;\\red0\\green0\\blue255;}"
        "\\pard\\f1\\fs24\\b Bold {\\i both {\\plain\\cf1 link} both again} bold again\\par}");
    std::unique_ptr<QTextDocument> document(read(rtf));
    QCOMPARE(document->toPlainText(), QString("Bold both link both again bold again"));
    const QTextCharFormat link = formatAt(*document, "link");
    QCOMPARE(link.foreground().color(), QColor(0, 0, 255));
    QVERIFY(!link.font().bold());
    QCOMPARE(family(link), QString("Calibri"));
    QVERIFY(formatAt(*document, "both again").font().italic());
    QVERIFY(formatAt(*document, "both again").font().bold());
    QVERIFY(!formatAt(*document, "bold again").font().italic());
    QVERIFY(formatAt(*document, "bold again").font().bold());
}

void TestRtf::damagedRtfLoadsWhatCanBeRead_data() {
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<QString>("text");

    QTest::newRow("missing closing braces") << "{\\rtf1 Hello {\\b world"
                                            << "Hello world";
    QTest::newRow("extra closing braces") << "{\\rtf1 Hello}}} world}"
                                          << "Hello";
    QTest::newRow("only the opening") << "{\\rtf"
                                      << "";
    QTest::newRow("huge numbers")
        << "{\\rtf1 \\fs99999999999999999999 big \\cf4294967296 x \\u99999999999 ?y"
           "\\uc99999999999 \\f-99999999999999 z}"
        << "big x yz";
    QTest::newRow("negative numbers") << "{\\rtf1 \\fs-5 \\cf-3 \\f-7 \\cb-1 \\uc-4 a}"
                                      << "a";
    QTest::newRow("deep nesting") << "{\\rtf1 " + QString(100000, u'{') + "deep" +
                                         QString(100000, u'}') + " after}"
                                  << " after";
    QTest::newRow("deep nesting never closed") << "{\\rtf1 shown" + QString(100000, u'{') + "deep"
                                               << "shown";
    QTest::newRow("nesting within the cap")
        << "{\\rtf1 " + QString(150, u'{') + "deep" + QString(150, u'}') + "}"
        << "deep";
    QTest::newRow("truncated hex escape") << "{\\rtf1 caf\\'e"
                                          << "caf";
    QTest::newRow("hex escape at the end") << "{\\rtf1 caf\\'"
                                           << "caf";
    QTest::newRow("hex escape without hex") << "{\\rtf1 a\\'zzb}"
                                            << "azzb";
    QTest::newRow("hex escape with one digit") << "{\\rtf1 a\\'4gb}"
                                               << "agb";
    QTest::newRow("unicode without fallback at the end")
        << "{\\rtf1 a\\u8364" << QString::fromUtf8("a€");
    QTest::newRow("unicode without parameter") << "{\\rtf1 a\\u?b}"
                                               << "ab";
    QTest::newRow("fallback ends with the group")
        << "{\\rtf1 \\uc3\\u8364{x}y}" << QString::fromUtf8("€xy");
    QTest::newRow("lone high surrogate")
        << "{\\rtf1 a\\u-10179?b}" << QString::fromUtf8("a\uFFFDb");
    QTest::newRow("lone low surrogate") << "{\\rtf1 a\\u-8704?b}" << QString::fromUtf8("a\uFFFDb");
    QTest::newRow("surrogates reversed")
        << "{\\rtf1 \\u-8704?\\u-10179?}" << QString::fromUtf8("\uFFFD\uFFFD");
    QTest::newRow("document markers as unicode")
        << "{\\rtf1 a\\u8233?b\\u-560?c\\u-4?d\\u65532?e\\u0?f\\u7?g}"
        << "abcdefg";
    QTest::newRow("huge binary length") << "{\\rtf1 a\\bin999999999 xyz}"
                                        << "a";
    QTest::newRow("negative binary length") << "{\\rtf1 a\\bin-5 xyz}"
                                            << "axyz";
    QTest::newRow("lone backslash at the end") << "{\\rtf1 a\\"
                                               << "a";
    QTest::newRow("very long control word") << "{\\rtf1 a\\" + QString(10000, u'x') + "99 b}"
                                            << "ab";
    QTest::newRow("control characters")
        << QString::fromLatin1("{\\rtf1 a\x01\x00\x1f\x7f b}", 15) << "a b";
    QTest::newRow("truncated in the font table") << "{\\rtf1{\\fonttbl{\\f0 Arial"
                                                 << "";
    QTest::newRow("font table without semicolons")
        << "{\\rtf1{\\fonttbl{\\f0 Arial}{\\f1 Times}}\\f1 text}"
        << "text";
    QTest::newRow("colour index beyond the table") << "{\\rtf1{\\colortbl;\\red1}\\cf7\\cb2 text}"
                                                   << "text";
    QTest::newRow("paragraphs only") << "{\\rtf1 \\par\\par\\par"
                                     << "\n\n";
    QTest::newRow("cells only") << "{\\rtf1 \\cell\\cell\\row\\row}"
                                << "\t\n";
    QTest::newRow("white space before") << "  \r\n\t{\\rtf1 ok}"
                                        << "ok";
    QTest::newRow("rtf inside rtf") << "{\\rtf1 a{\\rtf1 b}c}"
                                    << "abc";
    QTest::newRow("closing brace at the start") << "{\\rtf1}text"
                                                << "";
    // Found by fuzzing: a font table entry that never closes, spliced into
    // a template, swallowed the template's text after it.
    QTest::newRow("font table entry never closed")
        << "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f{\\rtf1{\\fonttbl{\\f0\\fnil\\fcharset0\\fbid0"
        << "";
    QTest::newRow("rtf word misspelt")
        << "{\\rtfttbl{\\ftbl{\\f0 Azial}{\\f1 X;\\f{\\rtf1\\ans2 Y;}{\\c"
        << "AzialX;Y;";
    QTest::newRow("object result in a font table")
        << "{\\rtf1{\\fonttbl{\\f0 A;{\\object{\\result hidden}}}}{\\header{\\object{\\result "
           "hidden}}}shown}"
        << "shown";
    QTest::newRow("binary data in the colour table")
        << "{\\rtf1{\\colortbl;\\red255\\bin5 };}{{;}\\cf1 red}"
        << "red";
    QTest::newRow("binary data cut short") << "{\\rtf1 a{\\pict\\bin20 xy"
                                           << "a";
    QTest::newRow("control symbols everywhere")
        << "{\\rtf1 \\|\\:\\-a\\~}"
        << QString::fromUtf8("\u00ADa "); // toPlainText shows no-break spaces as spaces
}

void TestRtf::damagedRtfLoadsWhatCanBeRead() {
    QFETCH(QString, rtf);
    QFETCH(QString, text);
    std::unique_ptr<QTextDocument> document(read(rtf));
    QCOMPARE(document->toPlainText(), text);

    // Writing it again gives RTF that reads back the same.
    std::unique_ptr<QTextDocument> again(read(Rtf::fromDocument(*document)));
    QCOMPARE(again->toPlainText(), text);

    // As a template, it still splices into RTF; as a fragment, it neither
    // loses its text nor swallows the template's text after it.
    const QString asTemplate = Rtf::spliceBody(rtf, {Rtf::fromPlainText("inserted")});
    QVERIFY(Rtf::isRtf(asTemplate));
    std::unique_ptr<QTextDocument> spliced(read(asTemplate));
    const QString asFragment =
        Rtf::spliceBody("{\\rtf1 Start\\par {\\*\\bkmkstart Body}End\\par}", {rtf});
    std::unique_ptr<QTextDocument> fragment(read(asFragment));
    QVERIFY2(fragment->toPlainText().startsWith("Start\n" + text), qPrintable(asFragment));
    QVERIFY2(fragment->toPlainText().endsWith("End"), qPrintable(asFragment));
}

void TestRtf::textThatIsNotRtfIsRefused_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("plain") << "Call back on Monday";
    QTest::newRow("brace only") << "{";
    QTest::newRow("almost") << "{\\rt";
    QTest::newRow("no brace") << "\\rtf1 text";
    QTest::newRow("text first") << "x{\\rtf1 text}";
    QTest::newRow("html") << "<html><body>x</body></html>";
}

void TestRtf::textThatIsNotRtfIsRefused() {
    QFETCH(QString, text);
    QVERIFY(!Rtf::isRtf(text));
    QTextDocument document;
    document.setPlainText("unchanged");
    QVERIFY(!Rtf::toDocument(text, document));
    QCOMPARE(document.toPlainText(), QString("unchanged"));
    QCOMPARE(Rtf::toPlainText(text), text);
    QVERIFY(Rtf::isRtf(" \r\n" + Rtf::fromPlainText(text)));
}

void TestRtf::plainTextRoundTrip_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("one line") << "Call back"
                              << "Call back";
    QTest::newRow("lines") << "one\ntwo"
                           << "one\ntwo";
    QTest::newRow("windows line ends") << "one\r\ntwo\rthree"
                                       << "one\ntwo\nthree";
    QTest::newRow("trailing line end") << "one\n"
                                       << "one\n";
    QTest::newRow("only a line end") << "\n"
                                     << "\n";
    QTest::newRow("escapes") << "tab\there {brace} back\\slash"
                             << "tab\there {brace} back\\slash";
    QTest::newRow("unicode") << QString::fromUtf8("Grüße € 😀") << QString::fromUtf8("Grüße € 😀");
}

void TestRtf::plainTextRoundTrip() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QString rtf = Rtf::fromPlainText(text);
    QVERIFY(Rtf::isRtf(rtf));
    QCOMPARE(Rtf::toPlainText(rtf), expected);
}

namespace {

// A letterhead as a word processor saves it: tables, a style sheet, a
// header with a picture, text before and after the insertion point.
const char* const Letterhead =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033"
    "{\\fonttbl{\\f0\\froman\\fcharset0 Georgia;}{\\f1\\fswiss\\fcharset0 Verdana;}}\n"
    "{\\colortbl ;\\red0\\green0\\blue255;}\n"
    "{\\stylesheet{\\s0 Normal;}}\n"
    "{\\header \\pard\\qc\\f1\\fs20 Acme Letterhead{\\pict\\pngblip\\picw1\\pich1 "
    "89504e470d0a1a0a}\\par}\n"
    "\\pard\\f1\\fs28\\cf1 Dear Sir,\\par\n"
    "\\pard\\f0\\fs24\\cf0 {\\*\\bkmkstart Body}{\\*\\bkmkend Body}Regards\\par\n"
    "}";

QString richFragment() {
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat format;
    format.setFontFamilies({"Courier New"});
    format.setFontPointSize(10);
    format.setFontWeight(QFont::Bold);
    format.setForeground(QColor(255, 0, 0));
    cursor.insertText("Pasted rich text", format);
    return Rtf::fromDocument(document);
}

} // namespace

void TestRtf::spliceInsertsAtTheInsertionPoint_data() {
    QTest::addColumn<QString>("templateRtf");
    QTest::addColumn<QStringList>("fragments");
    QTest::addColumn<QString>("text");

    QTest::newRow("at the bookmark")
        << Letterhead << QStringList{Rtf::fromPlainText("Line 1\nLine 2"), richFragment()}
        << "Dear Sir,\nLine 1\nLine 2\nPasted rich text\nRegards";
    QTest::newRow("at the end without a bookmark")
        << "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard First\\par}"
        << QStringList{richFragment(), Rtf::fromPlainText("Plain")}
        << "First\nPasted rich text\nPlain";
    QTest::newRow("bookmark name ignores case")
        << "{\\rtf1 A\\par {\\*\\bkmkstart body}B\\par}" << QStringList{Rtf::fromPlainText("X")}
        << "A\nX\nB";
    QTest::newRow("other bookmarks are not the body")
        << "{\\rtf1 A\\par {\\*\\bkmkstart Bodyguard}B\\par}"
        << QStringList{Rtf::fromPlainText("X")} << "A\nB\nX";
    QTest::newRow("no fragments") << Letterhead << QStringList{} << "Dear Sir,\nRegards";
    QTest::newRow("plain text fragment")
        << "{\\rtf1 A\\par}" << QStringList{"not rtf\nat all"} << "A\nnot rtf\nat all";
    QTest::newRow("template without closing brace")
        << "{\\rtf1 A\\par" << QStringList{Rtf::fromPlainText("X")} << "A\nX";
    QTest::newRow("truncated fragment stays in its group")
        << "{\\rtf1 A\\par {\\*\\bkmkstart Body}{\\*\\bkmkend Body}B\\par}"
        << QStringList{"{\\rtf1 {\\b X{\\i Y"} << "A\nXYB";
    QTest::newRow("fragment sections become paragraphs")
        << "{\\rtf1 A\\par}" << QStringList{"{\\rtf1\\paperw100\\sectd X\\sect Y\\par}"}
        << "A\nX\nY";
}

void TestRtf::spliceInsertsAtTheInsertionPoint() {
    QFETCH(QString, templateRtf);
    QFETCH(QStringList, fragments);
    QFETCH(QString, text);
    const QString spliced = Rtf::spliceBody(templateRtf, fragments);
    QCOMPARE(Rtf::toPlainText(spliced), text);
    if (fragments.isEmpty())
        QCOMPARE(Rtf::toPlainText(spliced), Rtf::toPlainText(templateRtf));
}

void TestRtf::spliceKeepsTheTemplateAndEachFragmentsFormatting() {
    const QString templateRtf = Letterhead;
    const QString spliced =
        Rtf::spliceBody(templateRtf, {richFragment(), Rtf::fromPlainText("Address line")});

    // The template's own RTF is there unchanged, in order: everything before
    // the end of its font table, and its header with the picture.
    const qsizetype fontTableEnd = templateRtf.indexOf("Verdana;}") + 9;
    QVERIFY(spliced.startsWith(templateRtf.left(fontTableEnd)));
    const QString header = templateRtf.mid(templateRtf.indexOf("{\\header"));
    const QString headerGroup = header.left(header.indexOf("\\par}") + 5);
    QVERIFY(spliced.contains(headerGroup));
    QVERIFY(spliced.contains("{\\stylesheet{\\s0 Normal;}}"));
    QVERIFY(spliced.contains("\\pard\\f1\\fs28\\cf1 Dear Sir,\\par"));
    QVERIFY(spliced.endsWith("Regards\\par\n}"));
    QCOMPARE(spliced.count("{\\fonttbl"), 1);
    QCOMPARE(spliced.count("{\\colortbl"), 1);

    std::unique_ptr<QTextDocument> document(read(spliced));
    QCOMPARE(document->toPlainText(),
             QString("Dear Sir,\nPasted rich text\nAddress line\nRegards"));
    // The header is not shown in the editor.
    QVERIFY(document->find("Acme Letterhead").isNull());

    const QTextCharFormat dear = formatAt(*document, "Dear Sir,");
    QCOMPARE(family(dear), QString("Verdana"));
    QCOMPARE(dear.fontPointSize(), 14.0);
    QCOMPARE(dear.foreground().color(), QColor(0, 0, 255));

    // The fragment's font 0 and colour 1 are not the template's.
    const QTextCharFormat pasted = formatAt(*document, "Pasted rich text");
    QCOMPARE(family(pasted), QString("Courier New"));
    QCOMPARE(pasted.fontPointSize(), 10.0);
    QVERIFY(pasted.font().bold());
    QCOMPARE(pasted.foreground().color(), QColor(255, 0, 0));

    // Plain text takes the template's default font, and nothing of the
    // fragment before it.
    const QTextCharFormat address = formatAt(*document, "Address line");
    QCOMPARE(family(address), QString("Georgia"));
    QVERIFY(!address.font().bold());
    QCOMPARE(address.foreground().style(), Qt::NoBrush);

    // The template's text after the insertion point keeps its formatting.
    const QTextCharFormat regards = formatAt(*document, "Regards");
    QCOMPARE(family(regards), QString("Georgia"));
    QCOMPARE(regards.fontPointSize(), 12.0);
    QVERIFY(!regards.font().bold());
    QCOMPARE(regards.foreground().style(), Qt::NoBrush);
}

void TestRtf::spliceGivesATemplateWithoutTablesItsTables() {
    const QString templateRtf = "{\\rtf1\\ansi\\deff0 Hello\\par}";
    const QString spliced = Rtf::spliceBody(templateRtf, {richFragment(), richFragment()});
    QCOMPARE(spliced.count("{\\fonttbl"), 1);
    QCOMPARE(spliced.count("{\\colortbl"), 1);
    QVERIFY(spliced.startsWith("{\\rtf1\\ansi\\deff0 {\\fonttbl"));
    std::unique_ptr<QTextDocument> document(read(spliced));
    QCOMPARE(document->toPlainText(), QString("Hello\nPasted rich text\nPasted rich text"));
    const QTextCursor second = document->find("Pasted rich text", 10);
    QTextCursor at(document.get());
    at.setPosition(second.selectionEnd());
    QCOMPARE(at.charFormat().foreground().color(), QColor(255, 0, 0));
    QCOMPARE(family(at.charFormat()), QString("Courier New"));

    // An unterminated last colour entry is closed before new ones follow.
    const QString open = Rtf::spliceBody(
        "{\\rtf1{\\colortbl;\\red0\\green0\\blue255}\\cf1 Blue\\par}", {richFragment()});
    std::unique_ptr<QTextDocument> colours(read(open));
    QCOMPARE(formatAt(*colours, "Blue").foreground().color(), QColor(0, 0, 255));
    QCOMPARE(formatAt(*colours, "Pasted").foreground().color(), QColor(255, 0, 0));
}

void TestRtf::spliceLeavesFragmentHeadersOut() {
    const QString fragment =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0 Tahoma;}}{\\colortbl;\\red9\\green9"
        "\\blue9;}{\\stylesheet{\\s1 Heading;}}{\\info{\\title Fragment title}}"
        "{\\header Fragment header\\par}{\\*\\generator Other;}"
        "\\paperw5000\\margl10\\pard\\s1\\f0\\cf1 Body text\\par}";
    const QString spliced = Rtf::spliceBody(Letterhead, {fragment});
    QCOMPARE(spliced.count("\\stylesheet"), 1);
    QCOMPARE(spliced.count("\\info"), 0);
    QCOMPARE(spliced.count("\\header"), 1);
    QCOMPARE(spliced.count("\\rtf1"), 1);
    QVERIFY(!spliced.contains("Fragment title"));
    QVERIFY(!spliced.contains("\\paperw"));
    QVERIFY(!spliced.contains("\\s1"));
    std::unique_ptr<QTextDocument> document(read(spliced));
    QCOMPARE(document->toPlainText(), QString("Dear Sir,\nBody text\nRegards"));
    QCOMPARE(family(formatAt(*document, "Body text")), QString("Tahoma"));
    QCOMPARE(formatAt(*document, "Body text").foreground().color(), QColor(9, 9, 9));
}

void TestRtf::spliceRenumbersColourReferences_data() {
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("foreground");
    QTest::newRow("cf") << "cf" << true;
    QTest::newRow("cb") << "cb" << false;
    QTest::newRow("highlight") << "highlight" << false;
    QTest::newRow("chcbpat") << "chcbpat" << false;
}

void TestRtf::spliceRenumbersColourReferences() {
    QFETCH(QString, word);
    QFETCH(bool, foreground);
    const QString fragment =
        QString("{\\rtf1{\\colortbl;\\red9\\green9\\blue9;\\red200\\green0\\blue0;}"
                "\\pard\\%1 Marked\\par}")
            .arg(word + "2");
    auto colourOf = [&](const QTextDocument& document) {
        const QTextCharFormat format = formatAt(document, "Marked");
        return foreground ? format.foreground().color() : format.background().color();
    };
    std::unique_ptr<QTextDocument> alone(read(fragment));
    QCOMPARE(colourOf(*alone), QColor(200, 0, 0));
    // The letterhead's table has two entries; the fragment's third entry
    // must not point past them or at its own first one.
    std::unique_ptr<QTextDocument> spliced(read(Rtf::spliceBody(Letterhead, {fragment})));
    QCOMPARE(colourOf(*spliced), QColor(200, 0, 0));
    QCOMPARE(formatAt(*spliced, "Dear").foreground().color(), QColor(0, 0, 255));
}

TESSALY_GUI_TEST_MAIN(TestRtf)
#include "tst_rtf.moc"
