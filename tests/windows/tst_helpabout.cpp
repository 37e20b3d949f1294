// The help window's pages and buttons, the about window, and the web links.
#include "catalogue.h"
#include "tabout.h"
#include "thelp.h"
#include "turl.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

namespace {

// Stands in for the desktop: records what it is asked to open.
class Opener : public QObject
{
    Q_OBJECT
public:
    explicit Opener(const QStringList &schemes) : m_schemes(schemes)
    {
        for (const QString &s : m_schemes)
            QDesktopServices::setUrlHandler(s, this, "open");
    }
    ~Opener() override
    {
        for (const QString &s : m_schemes)
            QDesktopServices::unsetUrlHandler(s);
    }
    QStringList opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened << url.toString(); }
private:
    QStringList m_schemes;
};

QString current(const Thelp &help)
{
    return help.findChild<QStackedWidget *>(QStringLiteral("pages"))->currentWidget()->objectName();
}

QString caption(const Thelp &help)
{
    return help.findChild<QLabel *>(QStringLiteral("label_caption"))->text();
}

QString pageText(const Thelp &help, int page)
{
    return help.findChild<QTextBrowser *>(QStringLiteral("memo%1").arg(page))->toPlainText();
}

} // namespace

class HelpAboutTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void helpPagesSwitch();
    void helpPagesSayWhatTheGameDoes();
    void helpButtons();
    void aboutShowsTheVersion();
    void aboutLinkAndLogo();
    void linkTypes_data();
    void linkTypes();
    void emptyLinkOpensNothing();
    void keyboardAlone();
};

void HelpAboutTests::helpPagesSwitch()
{
    Thelp help;
    QCOMPARE(help.windowTitle(), QStringLiteral("Vexlo - Help File"));
    QCOMPARE(current(help), QStringLiteral("memo1"));
    QCOMPARE(caption(help), QStringLiteral("Overview"));

    const QStringList captions = {QStringLiteral("Overview"), QStringLiteral("Connecting"),
                                  QStringLiteral("Game Play"), QStringLiteral("Scoring"),
                                  QStringLiteral("Documentation"), QStringLiteral("License")};
    // Click them out of order, so no page is found by accident.
    for (int page : {4, 2, 6, 1, 5, 3}) {
        auto *b = help.findChild<QPushButton *>(QStringLiteral("SelButton%1").arg(page));
        QVERIFY(b);
        QCOMPARE(b->text(), captions[page - 1]);
        QVERIFY(!b->property("tag").isValid()); // the page is the button's place, not a property
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(current(help), QStringLiteral("memo%1").arg(page));
        QCOMPARE(help.currentPage(), page);
        QCOMPARE(caption(help), captions[page - 1]);
        QVERIFY(b->isChecked());
    }

    help.showPage(5);
    QCOMPARE(current(help), QStringLiteral("memo5"));
    QCOMPARE(caption(help), QStringLiteral("Documentation"));
    help.showPage(0);
    help.showPage(7);
    QCOMPARE(help.currentPage(), 5);
}

void HelpAboutTests::helpPagesSayWhatTheGameDoes()
{
    Thelp help;
    for (int page = 1; page <= Thelp::PageCount; ++page)
        QVERIFY2(pageText(help, page).size() > 500, qPrintable(QString::number(page)));
    QVERIFY(pageText(help, 2).contains(QStringLiteral("7772")));
    QVERIFY(pageText(help, 2).contains(QStringLiteral("VEXLO_PORT")));
    const QString play = pageText(help, 3);
    for (const char *key : {"Backspace", "Enter", "Tab", "Space", "\"Invalid Match\"", "\"Invalid Word\""})
        QVERIFY2(play.contains(QLatin1String(key)), key);
    const QString scoring = pageText(help, 4);
    for (const char *points : {"10", "5", "25", "150"})
        QVERIFY2(scoring.contains(QLatin1String(points)), points);
    QVERIFY(pageText(help, 5).contains(QStringLiteral("1.0.3.2")));
    // The licence page carries the licence and the word lists' notices in full.
    const QString license = pageText(help, 6);
    QVERIFY(license.contains(QStringLiteral("MIT License")));
    QVERIFY(license.contains(QStringLiteral("THE SOFTWARE IS PROVIDED \"AS IS\"")));
    QVERIFY(license.contains(QStringLiteral("ENABLE")));
    QVERIFY(license.contains(QStringLiteral("Copyright 2000-2011 by Kevin Atkinson")));
}

void HelpAboutTests::helpButtons()
{
    Tabout about;
    Thelp help;
    help.setAboutWindow(&about);
    help.show();
    QVERIFY(QTest::qWaitForWindowExposed(&help));
    QTest::mouseClick(help.findChild<QPushButton *>(QStringLiteral("button_about")), Qt::LeftButton);
    QVERIFY(about.isVisible());
    QTest::mouseClick(help.findChild<QPushButton *>(QStringLiteral("button_done")), Qt::LeftButton);
    QVERIFY(!help.isVisible());
    QVERIFY(about.isVisible());

    // Without an about window of its own choosing, the help window makes one.
    Thelp alone;
    QTest::mouseClick(alone.findChild<QPushButton *>(QStringLiteral("button_about")), Qt::LeftButton);
    auto *made = alone.findChild<Tabout *>();
    QVERIFY(made && made->isVisible());
}

void HelpAboutTests::aboutShowsTheVersion()
{
    Tabout about;
    QCOMPARE(about.windowTitle(), QStringLiteral("Vexlo - About"));
    QCOMPARE(about.findChild<QLabel *>(QStringLiteral("label_version"))->text(), QStringLiteral("1.0.3"));
    QCOMPARE(about.findChild<QLabel *>(QStringLiteral("label_release"))->text(), QStringLiteral(".2"));
    QCOMPARE(about.findChild<QLabel *>(QStringLiteral("label_versioncaption"))->text(), QStringLiteral("Version"));
    QVERIFY(about.findChild<QLabel *>(QStringLiteral("label_maker"))->text().contains(QStringLiteral("Quorbit")));
    QCOMPARE(Tabout::fullVersion(), QStringLiteral("1.0.3.2"));
    // What the about window shows is what a player logs in with.
    QCOMPARE(Tabout::version(), QLatin1String(vexlo::kGameVersion));

    // The two labels read as one number: ".2" sits right after "1.0.3".
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    auto *v = about.findChild<QLabel *>(QStringLiteral("label_version"));
    auto *r = about.findChild<QLabel *>(QStringLiteral("label_release"));
    QCOMPARE(r->y(), v->y());
    QVERIFY(r->x() >= v->x() + v->fontMetrics().horizontalAdvance(v->text()));
    QVERIFY(r->x() <= v->x() + v->width() + 2);
}

void HelpAboutTests::aboutLinkAndLogo()
{
    Opener desktop({QStringLiteral("http")});
    Tabout about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    auto *link = about.findChild<QLabel *>(QStringLiteral("label_link"));
    QCOMPARE(link->text(), QStringLiteral("http://www.example.com/"));
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(desktop.opened, QStringList{QStringLiteral("http://www.example.com/")});
    QVERIFY(about.isVisible());

    // The main window's logo opens the same place.
    QVERIFY(about.openLink());
    QCOMPARE(desktop.opened.size(), 2);
    QCOMPARE(desktop.opened.last(), desktop.opened.first());

    QTest::mouseClick(about.findChild<QLabel *>(QStringLiteral("image_logo")), Qt::LeftButton);
    QVERIFY(!about.isVisible());
    about.show();
    QTest::mouseClick(about.findChild<QPushButton *>(QStringLiteral("button_done")), Qt::LeftButton);
    QVERIFY(!about.isVisible());
    QCOMPARE(desktop.opened.size(), 2);
}

void HelpAboutTests::linkTypes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("address");
    const QString host = QStringLiteral("host.example/a");
    QTest::newRow("file") << int(TURL::utFile) << QStringLiteral("/tmp/x") << QStringLiteral("file:///tmp/x");
    QTest::newRow("ftp") << int(TURL::utFtp) << host << QStringLiteral("ftp://host.example/a");
    QTest::newRow("gopher") << int(TURL::utGopher) << host << QStringLiteral("gopher://host.example/a");
    QTest::newRow("http") << int(TURL::utHttp) << host << QStringLiteral("http://host.example/a");
    QTest::newRow("https") << int(TURL::utHttps) << host << QStringLiteral("https://host.example/a");
    QTest::newRow("mailto") << int(TURL::utMailto) << QStringLiteral("a@b.example") << QStringLiteral("mailto:a@b.example");
    QTest::newRow("news") << int(TURL::utNews) << QStringLiteral("comp.games") << QStringLiteral("news:comp.games");
    QTest::newRow("telnet") << int(TURL::utTelnet) << host << QStringLiteral("telnet:host.example/a");
    QTest::newRow("wais") << int(TURL::utWais) << host << QStringLiteral("wais:host.example/a");
    QTest::newRow("none") << int(TURL::utnone) << QStringLiteral("https://x.example/") << QStringLiteral("https://x.example/");
}

void HelpAboutTests::linkTypes()
{
    QFETCH(int, type);
    QFETCH(QString, url);
    QFETCH(QString, address);
    TURL link(TURL::URLType(type), url);
    QCOMPARE(link.address(), address);

    const QString scheme = QUrl(address).scheme();
    Opener desktop({scheme});
    QVERIFY(link.open());
    QCOMPARE(desktop.opened.size(), 1);
    QCOMPARE(QUrl(desktop.opened.first()), QUrl(address));
}

void HelpAboutTests::emptyLinkOpensNothing()
{
    TURL link;
    QCOMPARE(link.urlType(), TURL::utHttp); // the default kind
    Opener desktop({QStringLiteral("http")});
    QVERIFY(!link.open());
    QVERIFY(desktop.opened.isEmpty());
    link.setURL(QStringLiteral("www.example.com/"));
    QVERIFY(link.open());
    QCOMPARE(desktop.opened, QStringList{QStringLiteral("http://www.example.com/")});
}

int runHelpAboutTests(int argc, char **argv)
{
    HelpAboutTests t;
    return QTest::qExec(&t, argc, argv);
}


void HelpAboutTests::keyboardAlone()
{
    Thelp help;
    help.show();
    help.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&help));
    auto *first = help.findChild<QPushButton *>(QStringLiteral("SelButton1"));
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Down); // the arrows turn the page
    QCOMPARE(current(help), QStringLiteral("memo2"));
    auto *scoring = help.findChild<QPushButton *>(QStringLiteral("SelButton4"));
    scoring->setFocus();
    QTest::keyClick(scoring, Qt::Key_Return);
    QCOMPARE(caption(help), QStringLiteral("Scoring"));
    QTest::keyClick(scoring, Qt::Key_Escape);
    QVERIFY(!help.isVisible());

    Opener desktop({QStringLiteral("http")});
    Tabout about;
    about.show();
    about.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&about));
    QCOMPARE(QApplication::focusWidget(), about.findChild<QWidget *>(QStringLiteral("button_done")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    auto *link = about.findChild<QLabel *>(QStringLiteral("label_link"));
    QCOMPARE(QApplication::focusWidget(), link);
    QTest::keyClick(link, Qt::Key_Return);
    QCOMPARE(desktop.opened, QStringList{QStringLiteral("http://www.example.com/")});
    QTest::keyClick(link, Qt::Key_Escape);
    QVERIFY(!about.isVisible());
}

#include "tst_helpabout.moc"
