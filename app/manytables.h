#pragma once
// vexlo-server --tables N with N > 1: the many-table server, its log lines and
// its computer players, on the event loop until SIGINT or SIGTERM.
#include "botprofile.h"

#include <QByteArray>
#include <QHostAddress>
#include <QString>

#include <functional>

class QCoreApplication;
class TDictn;
class TargetList;

struct ManyTablesSetup
{
    int tables = 2;
    quint16 port = 7772;
    QHostAddress bind{QHostAddress::Any};
    bool haveSeed = false;
    quint32 seed = 0;
    bool quiet = false;
    int bots = 0;
    BotSpeed botSpeed = BotSpeed::Normal;
    int secondMs = 1000;
    int botSecondMs = 1000;
    bool announce = true; // on the local network, through Avahi
    const TDictn *spell = nullptr;
    const TargetList *words = nullptr;
};

// Runs the server; the exit status (1 when the port cannot be bound).
int runManyTables(QCoreApplication &app, const ManyTablesSetup &setup);

// SIGINT and SIGTERM run stop, then end the event loop (the handler itself only
// writes to a socket pair). False, with the reason on standard error, when that
// cannot be set up.
bool quitOnSignals(QCoreApplication &app, std::function<void()> stop);
// Where the server's own computer players connect: the loopback address, or the
// one address the server is bound to.
QString botHostFor(const QHostAddress &bind);
// A name as a log line shows it: quoted, one line, printable.
QByteArray quoted(const QByteArray &name);
