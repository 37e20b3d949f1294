// Renders the downloader, help and about windows into PNG files, as a user sees
// them: helpwindowshots OUTDIR [HELPPAGE]. Run it on a display (xvfb-run in
// scripts/). The help window shows page HELPPAGE (default 3, Game Play).
#include "tabout.h"
#include "tdownload.h"
#include "thelp.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

bool save(QWidget &window, const QString &path)
{
    window.show();
    window.raise();
    QApplication::processEvents();
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "helpwindowshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexlo"));
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: helpwindowshots OUTDIR [HELPPAGE]\n");
        return 2;
    }
    const int page = argc == 3 ? std::atoi(argv[2]) : 3;
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());

    bool ok = true;
    QTimer::singleShot(0, [&] {
        Tdownload download;
        ok &= save(download, out.filePath(QStringLiteral("downloader.png")));
        download.hide();
        Thelp help;
        help.showPage(page);
        ok &= save(help, out.filePath(QStringLiteral("help.png")));
        help.hide();
        Tabout about;
        ok &= save(about, out.filePath(QStringLiteral("about.png")));
        app.quit();
    });
    app.exec();
    return ok ? 0 : 1;
}
