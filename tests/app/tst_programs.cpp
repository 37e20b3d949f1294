// The three programs as a user meets them outside the window: --help and --version
// (without a display), the man pages made from the same usage files, the README's
// usage lines, and the metadata software centres read.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {

struct Program
{
    const char *name;
    const char *path;
};

const Program programs[] = {
    {"vexlo", VEXLO_BIN},
    {"vexlo-server", VEXLO_SERVER_BIN},
    {"vexlo-lzrw1", VEXLO_LZRW1_BIN},
};

QByteArray slurp(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString &program, const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Run r;
    if (!p.waitForFinished(30000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// The "usage:" lines of a program's usage file, each after the program's name.
QStringList usageLines(const char *program)
{
    QStringList lines;
    const QString text = QString::fromUtf8(slurp(QStringLiteral(VEXLO_SOURCE_DIR "/app/usage/%1.txt").arg(QLatin1String(program))));
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("usage: ")))
            lines << QLatin1String(program) + QLatin1Char(' ') + line.mid(7).trimmed();
    }
    return lines;
}

} // namespace

class ProgramTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void helpAndVersionNeedNoDisplay();
    void manPagesFormatCleanly();
    void readmeShowsTheUsageLines();
    void metainfoValidatesAndNamesThisRelease();
};

void ProgramTests::helpAndVersionNeedNoDisplay()
{
    // No display of any kind: the window program would fail to start one.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    for (const Program &p : programs) {
        const Run help = run(QLatin1String(p.path), {QStringLiteral("--help")}, env);
        QVERIFY2(help.exitCode == 0 && help.err.isEmpty(), p.name);
        const QStringList lines = QString::fromUtf8(help.out).split(QLatin1Char('\n'));
        QVERIFY2(lines.first().startsWith(QStringLiteral("Usage: %1 ").arg(QLatin1String(p.name))), p.name);
        for (const QString &line : lines)
            QVERIFY2(line.size() <= 79, qPrintable(line));

        const Run version = run(QLatin1String(p.path), {QStringLiteral("--version")}, env);
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QByteArray(p.name) + " (Vexlo) " VEXLO_RELEASE "\n");
    }
}

void ProgramTests::manPagesFormatCleanly()
{
    const QString man = QStandardPaths::findExecutable(QStringLiteral("man"));
    const QString lexgrog = QStandardPaths::findExecutable(QStringLiteral("lexgrog"));
    if (man.isEmpty() || lexgrog.isEmpty())
        QSKIP("man-db is not installed");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    for (const Program &p : programs) {
        const QString page = QStringLiteral(VEXLO_MAN_DIR "/%1.6").arg(QLatin1String(p.name));
        const Run shown = run(man, {QStringLiteral("--warnings"), QStringLiteral("-E"), QStringLiteral("UTF-8"), QStringLiteral("-l"), page}, env);
        QVERIFY2(shown.exitCode == 0 && shown.err.isEmpty(), shown.err.constData());
        for (const QString &usage : usageLines(p.name))
            QVERIFY2(shown.out.simplified().contains(usage.toUtf8()), qPrintable(usage));
        // What apropos and whatis list for it.
        const Run whatis = run(lexgrog, {page}, env);
        QVERIFY2(whatis.out.contains(QByteArray(": \"") + p.name + " - "), whatis.out.constData());
    }
}

void ProgramTests::readmeShowsTheUsageLines()
{
    QStringList usages;
    for (const Program &p : programs)
        usages << usageLines(p.name);
    QCOMPARE(usages.size() >= 3, true);
    // Every usage line stands in the README as it is; every line there that starts
    // with a program's name (or build/bin/ and the name) and a "[" is one of them.
    const QStringList readme = QString::fromUtf8(slurp(QStringLiteral(VEXLO_SOURCE_DIR "/README.md"))).split(QLatin1Char('\n'));
    for (const QString &usage : usages)
        QVERIFY2(readme.contains(usage), qPrintable(QStringLiteral("not in the README: ") + usage));
    static const QRegularExpression commandLine(QStringLiteral(R"(^(?:build/bin/)?(vexlo(?:-server|-lzrw1)? \[.*))"));
    for (const QString &line : readme) {
        const QRegularExpressionMatch m = commandLine.match(line);
        if (m.hasMatch())
            QVERIFY2(usages.contains(m.captured(1)), qPrintable(QStringLiteral("not in a usage file: ") + line));
    }
}

void ProgramTests::metainfoValidatesAndNamesThisRelease()
{
    const QString metainfo = QStringLiteral(VEXLO_SOURCE_DIR "/resources/com.example.vexlo.metainfo.xml");
    // The newest release, in the metadata and the package's changelog, is this one.
    const QByteArray xml = slurp(metainfo);
    QVERIFY(xml.contains("<release version=\"" VEXLO_RELEASE "\" date=\"" VEXLO_RELEASE_DATE "\""));
    QCOMPARE(xml.indexOf("<release "), xml.indexOf("<release version=\"" VEXLO_RELEASE "\""));
    QVERIFY(slurp(QStringLiteral(VEXLO_SOURCE_DIR "/packaging/debian/changelog")).startsWith("vexlo (" VEXLO_RELEASE ") "));

    const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (appstream.isEmpty())
        QSKIP("appstreamcli is not installed");
    // --no-net: no web site is reached from the test machines.
    const Run check = run(appstream, {QStringLiteral("validate"), QStringLiteral("--pedantic"), QStringLiteral("--no-net"),
                                      QStringLiteral("--no-color"), metainfo});
    static const QRegularExpression errorOrWarning(QStringLiteral("^[EW]: "), QRegularExpression::MultilineOption);
    QVERIFY2(check.exitCode == 0 && !QString::fromUtf8(check.out).contains(errorOrWarning), check.out.constData());
}

QTEST_GUILESS_MAIN(ProgramTests)
#include "tst_programs.moc"
