#pragma once
// A running vexlo-server (the test's VEXLO_SERVER_BIN) on a port it picks
// itself: the port once it said it listens, and its log as it comes.
#include <QProcess>
#include <QTest>

struct ServerProgram
{
    QProcess process;
    quint16 port = 0;
    QByteArray err; // standard error read so far

    explicit ServerProgram(const QStringList &args,
                           const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
    {
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(VEXLO_SERVER_BIN), QStringList{QStringLiteral("--port"), QStringLiteral("0")} + args);
        if (process.waitForStarted() && process.waitForReadyRead(10000)) {
            const QByteArray line = process.readLine();
            if (line.startsWith("listening on port "))
                port = static_cast<quint16>(line.mid(18).trimmed().toUInt());
        }
    }
    ~ServerProgram()
    {
        process.terminate();
        process.waitForFinished(5000);
    }
    // True once standard error holds text.
    bool logged(const QByteArray &text, int ms = 5000)
    {
        return QTest::qWaitFor([&] {
            err += process.readAllStandardError();
            return err.contains(text);
        }, ms);
    }
};
