// Colour text both ways, the wire form of typed text, the split of relayed
// lines, and where links lie in the chat.
#include "chattext.h"
#include "colortext.h"

#include <QTest>

using namespace vexlo;

class ChatTextTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void colourNamesBothWays();
    void colourValuesAsText();
    void unreadableColours();
    void wireTextIsLatin1WithoutTheTerminator();
    void relayedLinesAndTheirColours();
    void boldHeadEndsAtTheFirstColon();
    void links_data();
    void links();
};

void ChatTextTests::colourNamesBothWays()
{
    const struct
    {
        const char *name;
        int r, g, b;
    } names[] = {{"clBlack", 0, 0, 0},       {"clMaroon", 128, 0, 0},   {"clGreen", 0, 128, 0},
                 {"clOlive", 128, 128, 0},   {"clNavy", 0, 0, 128},     {"clPurple", 128, 0, 128},
                 {"clTeal", 0, 128, 128},    {"clGray", 128, 128, 128}, {"clSilver", 192, 192, 192},
                 {"clRed", 255, 0, 0},       {"clLime", 0, 255, 0},     {"clYellow", 255, 255, 0},
                 {"clBlue", 0, 0, 255},      {"clFuchsia", 255, 0, 255}, {"clAqua", 0, 255, 255},
                 {"clWhite", 255, 255, 255}};
    for (const auto &n : names) {
        const TColor c = rgbColor(n.r, n.g, n.b);
        QCOMPARE(colorToText(c), QByteArray(n.name));
        QCOMPARE(textToColor(n.name), std::optional<TColor>(c));
        QCOMPARE(textToColor(QByteArray(n.name).toUpper()), std::optional<TColor>(c));
        QCOMPARE(textToColor(QByteArray(n.name).toLower()), std::optional<TColor>(c));
    }
    // System colours are read (and written back by name) but have no fixed value.
    const auto face = textToColor("clbtnface");
    QVERIFY(face && (*face & kSystemColorFlag));
    QCOMPARE(colorToText(*face), QByteArray("clBtnFace"));
}

void ChatTextTests::colourValuesAsText()
{
    const TColor orange = rgbColor(255, 128, 0);
    QCOMPARE(colorToText(orange), QByteArray("$000080FF"));
    QCOMPARE(textToColor("$000080FF"), std::optional<TColor>(orange));
    QCOMPARE(textToColor("$80ff"), std::optional<TColor>(orange));
    QCOMPARE(textToColor("33023"), std::optional<TColor>(orange)); // decimal
    QCOMPARE(textToColor("255"), std::optional<TColor>(clRed));
    QCOMPARE(colorToText(rgbColor(1, 2, 3)), QByteArray("$00030201"));
    QCOMPARE(textToColor("-1"), std::optional<TColor>(0xFFFFFFFFu));
    QCOMPARE(colorToText(0x12ABCDEFu), QByteArray("$12ABCDEF"));
    QCOMPARE(textToColor(colorToText(0x12ABCDEFu)), std::optional<TColor>(0x12ABCDEFu));
}

void ChatTextTests::unreadableColours()
{
    for (const char *bad : {"", "$", "$123456789", "$12G4", "clOrange", "12a", "--5", "+", "4294967296",
                            " clRed", "clRed "})
        QVERIFY2(!textToColor(bad), bad);
}

void ChatTextTests::wireTextIsLatin1WithoutTheTerminator()
{
    QCOMPARE(toWireText(QStringLiteral("plain + text|x")), QByteArray("plain + text|x"));
    QCOMPARE(toWireText(QString::fromUtf8("café")), QByteArray("caf\xe9"));
    // "ÿ" is the terminator byte; the euro sign and CJK are outside Latin-1.
    QCOMPARE(toWireText(QString::fromUtf8("ÿ€漢!")), QByteArray("?" "?" "?!"));
    QVERIFY(!toWireText(QString::fromUtf8("\xc3\xbf")).contains('\xff'));
}

void ChatTextTests::relayedLinesAndTheirColours()
{
    ChatLine c = splitRelay("Player1 chats: hello|clBlack");
    QCOMPARE(c.line, QStringLiteral("Player1 chats: hello"));
    QCOMPARE(c.colour, clBlack);
    c = splitRelay("Player1 waves|$000080FF");
    QCOMPARE(c.line, QStringLiteral("Player1 waves"));
    QCOMPARE(c.colour, rgbColor(255, 128, 0));
    // No bar: the whole text, red.
    c = splitRelay("Player1 chats: no colour");
    QCOMPARE(c.line, QStringLiteral("Player1 chats: no colour"));
    QCOMPARE(c.colour, clRed);
    // A typed bar cuts the line there; the rest is no colour, so red.
    c = splitRelay("P chats: a|b|clBlue");
    QCOMPARE(c.line, QStringLiteral("P chats: a"));
    QCOMPARE(c.colour, clRed);
    c = splitRelay("P chats: x|");
    QCOMPARE(c.colour, clRed);
    QCOMPARE(splitRelay("P chats: caf\xe9|clBlue").line, QString::fromUtf8("P chats: café"));
}

void ChatTextTests::boldHeadEndsAtTheFirstColon()
{
    QCOMPARE(headLength(QStringLiteral("Player1 chats: see you at 10:30")), 14);
    QCOMPARE(headLength(QStringLiteral("You are Connected.")), 0);
    QCOMPARE(headLength(QStringLiteral(":x")), 1);
}

void ChatTextTests::links_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pos");
    QTest::addColumn<QString>("link"); // empty: no link

    const QString line = QStringLiteral("P chats: see http://example.com/page.");
    QTest::newRow("trailing full stop") << line << int(line.indexOf(QLatin1String("example"))) << QStringLiteral("http://example.com/page");
    QTest::newRow("on the prefix") << line << int(line.indexOf(QLatin1String("http"))) << QStringLiteral("http://example.com/page");
    QTest::newRow("on the full stop") << line << int(line.size() - 1) << QStringLiteral("http://example.com/page");
    QTest::newRow("other word") << line << 10 << QStringLiteral("");
    QTest::newRow("past the end") << line << int(line.size()) << QStringLiteral("");
    QTest::newRow("capital WWW") << QStringLiteral("go WWW.Example.COM!") << 5 << QStringLiteral("WWW.Example.COM");
    QTest::newRow("prefix only") << QStringLiteral("a http:// b") << 4 << QStringLiteral("");
    QTest::newRow("www. only") << QStringLiteral("a www. b") << 3 << QStringLiteral("");
    QTest::newRow("mailto inside") << QStringLiteral("write:mailto:bob@example.org)") << 3 << QStringLiteral("mailto:bob@example.org");
    QTest::newRow("news") << QStringLiteral("news:comp.lang") << 0 << QStringLiteral("news:comp.lang");
    QTest::newRow("ftp in parens") << QStringLiteral("(ftp://host/dir/)") << 3 << QStringLiteral("ftp://host/dir/");
    QTest::newRow("upper-case scheme") << QStringLiteral("HTTP://A.B") << 2 << QStringLiteral("HTTP://A.B");
    QTest::newRow("file never") << QStringLiteral("see file:///etc/passwd") << 6 << QStringLiteral("");
    QTest::newRow("file never, capitals") << QStringLiteral("FILE://host/x") << 2 << QStringLiteral("");
    QTest::newRow("http wins over file") << QStringLiteral("file://http://x.org") << 2 << QStringLiteral("http://x.org");
    QTest::newRow("ends at the line") << QStringLiteral("http://a.org\nmore") << 3 << QStringLiteral("http://a.org");
    QTest::newRow("on a blank") << QStringLiteral("http://a.org next") << 12 << QStringLiteral("");
}

void ChatTextTests::links()
{
    QFETCH(QString, text);
    QFETCH(int, pos);
    QFETCH(QString, link);
    const LinkSpan span = findLink(text, pos);
    QCOMPARE(span.valid() ? text.mid(span.start, span.length) : QString(), link);
}

QTEST_GUILESS_MAIN(ChatTextTests)
#include "tst_chattext.moc"
