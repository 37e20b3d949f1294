// The board offscreen: keys on their way to the answer tiles, submitting,
// clearing and passing, board mode and chat mode, the countdown, and the tile
// sets with their menu.
#include "boardfixtures.h"

#include "boardpictures.h"
#include "inifile.h"
#include "platform.h"
#include "settingsmodel.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>

using namespace vexlo;

class BoardTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init() { env->errors.clear(); }

    void smallRules();
    void typingFillsTheTilesAndEnterSubmits();
    void passAndClearKeys();
    void chatModeAndTab();
    void modifiersAndTheControlsOwnShortcuts();
    void buttonsAndTheTypingBox();
    void countdown();
    void countdownBarStep();
    void tileStrips();
    void tilesMenuAndChoosingASet();

private:
    std::unique_ptr<TestEnvironment> env;
};

void BoardTests::smallRules()
{
    QCOMPARE(numofletter('a'), 1);
    QCOMPARE(numofletter('z'), 26);
    QCOMPARE(numofletter('A'), 0);
    QCOMPARE(numofletter('_'), 0);
    QCOMPARE(wordCountText(1), QStringLiteral("First Word"));
    QCOMPARE(wordCountText(8), QStringLiteral("Eight Word"));
    QCOMPARE(wordCountText(10), QStringLiteral("Last Word"));
    QVERIFY(wordCountText(11).isEmpty());
    QCOMPARE(countdownText(75), QStringLiteral("Time: 1:15"));
    QCOMPARE(countdownText(65), QStringLiteral("Time: 1:05"));
    QCOMPARE(countdownText(9), QStringLiteral("Time: 0:09"));
    QCOMPARE(countdownText(120), QStringLiteral("Time: 2:00"));
    QCOMPARE(barWidth(36, 7), 252);
    QCOMPARE(barWidth(4, 80), 258); // never wider than the picture
    QCOMPARE(barWidth(4, -3), 0);
    QCOMPARE(tileSetName(QStringLiteral("wood.bmp")), QStringLiteral("wood"));
    QCOMPARE(tileSetName(QStringLiteral("my.tiles.bmp")), QStringLiteral("my"));
    QCOMPARE(tileSetName(QStringLiteral("_x9.BMP")), QStringLiteral("_x9"));
    for (const char *odd : {"two words.bmp", "9lives.bmp", ".bmp", "caf\xc3\xa9.bmp", "a-b.bmp"})
        QVERIFY2(tileSetName(QString::fromUtf8(odd)).isEmpty(), odd);
}

void BoardTests::typingFillsTheTilesAndEnterSubmits()
{
    SeatedWindow s(3);
    Tchat &c = s.w.chat;
    s.open();
    QVERIFY(!c.round().model().chatMode());
    QTest::keyClicks(chatEntry(c), QStringLiteral("stare"));
    QCOMPARE(tags(c, "image_word"), (QList<int>{19, 20, 1, 18, 5}));
    QVERIFY(shows(c, slotWidget<QLabel>(c, "image_word", 1), 19));
    QCOMPARE(c.round().model().letterCount(), 5);
    QCOMPARE(s.w.sounds, QStringList(5, QStringLiteral("clickletter")));
    QCOMPARE(chatEntry(c)->text(), QStringLiteral("<Enter Chat Here>")); // the entry never saw them
    QTest::keyClick(chatEntry(c), Qt::Key_Return);
    QCOMPARE(s.host.next(), QByteArray("CMD_myword+3+1+19+2+20+3+1+4+18+5+5"));
    QCOMPARE(boardLabel(c, "label_status")->text(), QStringLiteral("Checking Word..."));
    QCOMPARE(c.round().model().inputOwner(), 0);
    QCOMPARE(s.w.sounds.size(), 5); // no sound on a submission
    // Closed until the server answers: keys go on to the chat entry.
    QTest::keyClick(chatEntry(c), Qt::Key_X);
    QCOMPARE(chatEntry(c)->text(), QStringLiteral("x"));
    QCOMPARE(tags(c, "image_word"), (QList<int>{19, 20, 1, 18, 5}));
    QVERIFY(s.host.quiet(c));
    QVERIFY(env->errors.isEmpty());
}

void BoardTests::passAndClearKeys()
{
    SeatedWindow s(4);
    Tchat &c = s.w.chat;
    s.open();
    QTest::keyClick(chatEntry(c), Qt::Key_Space);
    QCOMPARE(s.host.next(), QByteArray("CMD_pass+4+"));
    QTest::keyClick(chatEntry(c), Qt::Key_1);
    QCOMPARE(s.host.next(), QByteArray("CMD_pass+4+"));
    QTest::keyClick(chatEntry(c), Qt::Key_Exclam, Qt::ShiftModifier); // shift is not looked at
    QCOMPARE(s.host.next(), QByteArray("CMD_pass+4+"));
    QCOMPARE(s.w.sounds, QStringList(3, QStringLiteral("pass")));
    QCOMPARE(c.round().model().inputOwner(), 4); // the server's answer moves the player on

    for (auto key : {Qt::Key_0, Qt::Key_Equal, Qt::Key_Plus}) {
        QTest::keyClicks(chatEntry(c), QStringLiteral("ab"));
        s.w.sounds.clear();
        QTest::keyClick(chatEntry(c), key);
        QCOMPARE(tags(c, "image_word"), (QList<int>{0, 0, 0, 0, 0}));
        QCOMPARE(c.round().model().letterCount(), 0);
        QCOMPARE(s.w.sounds, QStringList{QStringLiteral("clear")});
    }
    // Other digits, keypad keys and punctuation go on to the chat entry.
    chatEntry(c)->clear();
    QTest::keyClick(chatEntry(c), Qt::Key_2);
    QTest::keyClick(chatEntry(c), Qt::Key_1, Qt::KeypadModifier);
    QTest::keyClick(chatEntry(c), Qt::Key_Comma);
    QCOMPARE(chatEntry(c)->text(), QStringLiteral("21,"));
    QVERIFY(s.host.quiet(c));
}

void BoardTests::chatModeAndTab()
{
    SeatedWindow s(3);
    Tchat &c = s.w.chat;
    c.show();
    c.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&c));
    s.open();
    chatEntry(c)->setFocus();
    QTest::keyClick(chatEntry(c), Qt::Key_Tab);
    QVERIFY(c.round().model().chatMode());
    QCOMPARE(boardLabel(c, "checkbox_typing")->pixmap().toImage(), look::checkBoxPicture(true).toImage());
    QCOMPARE(QApplication::focusWidget(), chatEntry(c)); // Tab never moves the focus here
    // In chat mode every key goes to the chat entry, space and '1' included.
    chatEntry(c)->clear();
    QTest::keyClicks(chatEntry(c), QStringLiteral("go 1"));
    QCOMPARE(chatEntry(c)->text(), QStringLiteral("go 1"));
    QCOMPARE(tags(c, "image_word"), (QList<int>{0, 0, 0, 0, 0}));
    QTest::keyClick(chatEntry(c), Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(!c.round().model().chatMode());
    QCOMPARE(boardLabel(c, "checkbox_typing")->pixmap().toImage(), look::checkBoxPicture(false).toImage());
    QTest::keyClick(chatEntry(c), Qt::Key_Q);
    QCOMPARE(tags(c, "image_word").first(), 17);
    // A closed board leaves Tab alone: the focus moves on as usual.
    c.round().model().setInputOwner(0);
    QTest::keyClick(chatEntry(c), Qt::Key_Tab);
    QVERIFY(!c.round().model().chatMode());
    QVERIFY(QApplication::focusWidget() != chatEntry(c));
    QVERIFY(s.host.quiet(c));
}

void BoardTests::modifiersAndTheControlsOwnShortcuts()
{
    SeatedWindow s(3);
    Tchat &c = s.w.chat;
    c.show();
    c.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&c));
    chatEntry(c)->setFocus();
    s.open();
    // Ctrl+C and Ctrl+S on the board type letters; the menu's Ctrl+S stays unfired.
    QTest::keyClick(chatEntry(c), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(chatEntry(c), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(tags(c, "image_word"), (QList<int>{3, 19, 0, 0, 0}));
    QVERIFY(!action(c, "ScrollChatOff1")->isChecked());
    // Ctrl+V on the chat entry is the entry's own Paste.
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::keyClick(chatEntry(c), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(chatEntry(c)->text(), QStringLiteral("pasted"));
    QCOMPARE(c.round().model().letterCount(), 2);
    // On the chat view, Ctrl+C copies and Ctrl+S switches scrolling off.
    chatText(c)->setFocus();
    QTest::keyClick(chatText(c), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(chatText(c), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(c.round().model().letterCount(), 2);
    QVERIFY(action(c, "ScrollChatOff1")->isChecked());
    // Other keys on the chat view still reach the board.
    QTest::keyClick(chatText(c), Qt::Key_T);
    QCOMPARE(c.round().model().letterCount(), 3);
}

void BoardTests::buttonsAndTheTypingBox()
{
    SeatedWindow s(5);
    Tchat &c = s.w.chat;
    s.open();
    QVERIFY(!boardButton(c, "button_pass")->isHidden() && !boardButton(c, "button_clear")->isHidden());
    QTest::keyClicks(chatEntry(c), QStringLiteral("ab"));
    boardButton(c, "button_clear")->click();
    QCOMPARE(c.round().model().letterCount(), 0);
    boardButton(c, "button_pass")->click();
    QCOMPARE(s.host.next(), QByteArray("CMD_pass+5+"));
    // The buttons work without looking at the board's owner; a watcher's pass
    // sends nothing but sounds.
    c.round().model().setInputOwner(0);
    boardButton(c, "button_pass")->click();
    QCOMPARE(s.host.next(), QByteArray("CMD_pass+5+"));
    QCOMPARE(s.w.sounds.last(), QStringLiteral("pass"));
    // A click on the box or its label flips the typing state.
    QVERIFY(!c.round().model().chatMode());
    QTest::mouseClick(boardLabel(c, "label_typing"), Qt::LeftButton);
    QVERIFY(c.round().model().chatMode());
    QTest::mouseClick(boardLabel(c, "checkbox_typing"), Qt::LeftButton);
    QVERIFY(!c.round().model().chatMode());
    // The board lies over the chat; the mouse finds the chat entry under it and
    // the typing box beside it.
    auto *panel = c.findChild<QWidget *>(QStringLiteral("panel_board"));
    const QList<QWidget *> underMouse{chatEntry(c), boardLabel(c, "checkbox_typing")};
    for (QWidget *w : underMouse)
        QCOMPARE(panel->childAt(w->mapTo(panel, QPoint(5, 5))), w);
}

void BoardTests::countdown()
{
    SeatedWindow s(1);
    Tchat &c = s.w.chat;
    s.w.feed("CMD_startgame+Red+5+60++");
    QCOMPARE(c.round().model().barStep(), 4);
    s.w.feed("CMD_startround+1+");
    QVERIFY(c.round().countingDown());
    QCOMPARE(c.round().model().secondsLeft(), 60);
    s.w.sounds.clear();
    QList<int> ticks;
    QColor at20, at19;
    for (int i = 0; i < 62; ++i) {
        const qsizetype before = s.w.sounds.size();
        c.round().tick();
        if (i == 0) {
            QCOMPARE(boardLabel(c, "label_timer")->text(), QStringLiteral("Time: 0:59"));
            QCOMPARE(boardLabel(c, "image_timer")->width(), 4 * 59);
        }
        if (s.w.sounds.size() > before)
            ticks << c.round().model().secondsLeft();
        if (c.round().model().secondsLeft() == 20)
            at20 = boardLabel(c, "label_timer")->palette().color(QPalette::WindowText);
        if (c.round().model().secondsLeft() == 19) {
            at19 = boardLabel(c, "label_timer")->palette().color(QPalette::WindowText);
            QCOMPARE(boardLabel(c, "label_timer")->text(), QStringLiteral("Time: 0:19"));
        }
    }
    QCOMPARE(ticks, (QList<int>{20, 15, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    QCOMPARE(s.w.sounds, QStringList(12, QStringLiteral("tick")));
    QCOMPARE(at20, QColor(224, 227, 157));
    QCOMPARE(at19, QColor(255, 0, 0));
    QCOMPARE(boardLabel(c, "label_timer")->text(), QStringLiteral("Time: 0:00"));
    QCOMPARE(boardLabel(c, "image_timer")->width(), 0);
    QCOMPARE(c.round().model().secondsLeft(), 0);
    QVERIFY(c.round().countingDown()); // only the round's end stops it
    s.w.feed("CMD_alldone+");
    QVERIFY(!c.round().countingDown());
}

void BoardTests::countdownBarStep()
{
    SeatedWindow s(1);
    Tchat &c = s.w.chat;
    s.w.feed("CMD_startgame+Red+3+7++");
    s.w.feed("CMD_startround+1+");
    c.round().tick();
    QCOMPARE(boardLabel(c, "image_timer")->width(), 36 * 6); // a full bar would be 252
}

void BoardTests::tileStrips()
{
    QCOMPARE(TileSet::builtIn().count(), 27);
    // A strip with pure green around a red square on tile 1, one tile short.
    QImage strip(44 * 27, 44, QImage::Format_RGB32);
    strip.fill(qRgb(0, 255, 0));
    QPainter(&strip).fillRect(44 + 10, 10, 20, 20, QColor(200, 0, 0));
    const TileSet set = TileSet::fromStrip(strip);
    QCOMPARE(set.count(), 28);
    const QImage one = set.picture(1).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(qAlpha(one.pixel(0, 0)), 0);
    QCOMPARE(one.pixel(20, 20), qRgb(200, 0, 0));
    const QImage last = set.picture(27).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(qAlpha(last.pixel(22, 22)), 0); // outside the picture
    // A set written out and read back draws the same.
    const QImage round = TileSet::fromStrip(TileSet::builtIn().strip()).picture(5).toImage();
    const QImage built = TileSet::builtIn().picture(5).toImage().convertToFormat(round.format());
    QCOMPARE(round.pixel(22, 22), built.pixel(22, 22));
    // On a desktop scaled by 2 the tiles have twice the pixels and the same
    // logical size, and a set written out is still a strip of 44 x 44 squares.
    const TileSet sharp = TileSet::builtIn(2);
    QCOMPARE(sharp.picture(5).size(), QSize(88, 88));
    QCOMPARE(sharp.picture(5).deviceIndependentSize(), QSizeF(44, 44));
    const QImage written = sharp.strip();
    QCOMPARE(written.size(), QSize(44 * kTilesInStrip, 44));
    QVERIFY(std::abs(qGray(written.pixel(44 * 5 + 6, 30)) - qGray(built.pixel(6, 30))) < 8); // the tile's face
    QVERIFY_THROWS_EXCEPTION(ETileSetError, TileSet::load(QStringLiteral("/nonexistent/x.bmp")));
}

void BoardTests::tilesMenuAndChoosingASet()
{
    const QString folder = QDir(qEnvironmentVariable("VEXLO_HOME")).filePath(QStringLiteral("vexlotiles"));
    {
        // The sets that come with the game are in the folder and the menu.
        Window first;
        QVERIFY(QFile::exists(folder + QStringLiteral("/classic.bmp")));
        QVERIFY(QFile::exists(folder + QStringLiteral("/wood.bmp")));
    }
    QImage plain(44 * 28, 44, QImage::Format_RGB32);
    plain.fill(qRgb(10, 20, 200));
    for (const char *name : {"Blue.BMP", "my.tiles.bmp", "two words.bmp", "9lives.bmp", "wood.old.bmp"})
        QVERIFY(plain.save(folder + QLatin1Char('/') + QLatin1String(name), "BMP"));
    QFile broken(folder + QStringLiteral("/broken.bmp"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("BM not a picture");
    broken.close();

    SeatedWindow s(1);
    Tchat &c = s.w.chat;
    // What the settings file holds for the tile set (the choice is saved there).
    auto savedTiles = [] {
        return IniFile(vexlo::settingsFilePath(platform::dataFolder()))
            .readString(vexlo::settingsSection(), QStringLiteral("Tiles"), QStringLiteral("(none)"));
    };
    QStringList entries;
    for (QAction *a : c.findChild<QMenu *>(QStringLiteral("grouptilesitem"))->actions())
        entries << a->iconText();
    // Sorted, odd names and a second "wood" skipped.
    QCOMPARE(entries, strings({"Blue", "broken", "classic", "my", "wood"}));
    QVERIFY(c.findChild<QAction *>(QStringLiteral("classic3"))->isChecked());
    QVERIFY(!c.findChild<QAction *>(QStringLiteral("wood3"))->isChecked());
    QVERIFY(c.preferences().options().tiles.isEmpty());

    // Choosing a set redraws both rows at once and saves.
    s.open("b_e_t");
    QTest::keyClicks(chatEntry(c), QStringLiteral("ab"));
    const QImage builtInB = c.preferences().tiles().picture(2).toImage();
    c.findChild<QAction *>(QStringLiteral("Blue3"))->trigger();
    QCOMPARE(c.preferences().options().tiles, QStringLiteral("Blue"));
    QCOMPARE(savedTiles(), QStringLiteral("Blue"));
    QCOMPARE(c.preferences().tiles().count(), 28);
    QVERIFY(c.findChild<QAction *>(QStringLiteral("Blue3"))->isChecked());
    QVERIFY(!c.findChild<QAction *>(QStringLiteral("classic3"))->isChecked());
    QCOMPARE(slotWidget<QLabel>(c, "image_gap", 1)->pixmap().toImage().pixel(5, 5), qRgb(10, 20, 200));
    QCOMPARE(slotWidget<QLabel>(c, "image_word", 2)->pixmap().toImage().pixel(5, 5), qRgb(10, 20, 200));
    QVERIFY(slotWidget<QLabel>(c, "image_word", 2)->pixmap().toImage() != builtInB);
    QCOMPARE(tags(c, "image_word"), (QList<int>{1, 2, 0, 0, 0})); // tags unchanged

    // "my" names my.bmp, which is not there: nothing loads, the name is kept and saved.
    c.findChild<QAction *>(QStringLiteral("my3"))->trigger();
    QCOMPARE(c.preferences().options().tiles, QStringLiteral("my"));
    QCOMPARE(savedTiles(), QStringLiteral("my"));
    QCOMPARE(slotWidget<QLabel>(c, "image_gap", 1)->pixmap().toImage().pixel(5, 5), qRgb(10, 20, 200));
    // A name without a file, or a path, changes nothing.
    c.preferences().loadTiles(QStringLiteral("nothing"));
    c.preferences().loadTiles(QStringLiteral("../vexlotiles/wood"));
    QCOMPARE(c.preferences().options().tiles, QStringLiteral("my"));
    // A file the menu skipped still loads by its name.
    c.preferences().loadTiles(QStringLiteral("two words"));
    QCOMPARE(c.preferences().options().tiles, QStringLiteral("two words"));
    // A damaged bitmap: the error, the set stays the current one, nothing saved.
    c.findChild<QAction *>(QStringLiteral("broken3"))->trigger();
    QCOMPARE(env->errors.size(), 1);
    QVERIFY(env->errors.first().contains(QStringLiteral("broken.bmp")));
    QCOMPARE(c.preferences().options().tiles, QStringLiteral("two words"));
    QVERIFY(!c.findChild<QAction *>(QStringLiteral("broken3"))->isChecked());
    action(c, "PlaySounds1")->trigger();
    QCOMPARE(savedTiles(), QStringLiteral("two words"));
    QCOMPARE(slotWidget<QLabel>(c, "image_gap", 1)->pixmap().toImage().pixel(5, 5), qRgb(10, 20, 200));
    // The shipped wood set loads from its own file.
    c.findChild<QAction *>(QStringLiteral("wood3"))->trigger();
    QCOMPARE(c.preferences().options().tiles, QStringLiteral("wood"));
    QCOMPARE(qAlpha(c.preferences().tiles().picture(0).toImage().pixel(0, 0)), 0); // green corners are see-through

    // An empty folder leaves the menu without entries.
    QDir(folder).removeRecursively();
    QVERIFY(c.preferences().tileSetNames().isEmpty());
}

QTEST_MAIN(BoardTests)
#include "tst_board.moc"
