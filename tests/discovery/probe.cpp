// discovery_probe: what the browser model shows, written out whenever it
// changes, for netns.sh. Each change prints the state, one line per row
// ("row NAME|PLAYERS|WATCHERS|STATE|JOIN ADDRESS|ADDRESSES|SERVICE NAME") and
// "end rows=N".
#include "gamebrowser.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

using vexlo::discovery::GameBrowser;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    GameBrowser model;
    auto show = [&] {
        QString out = model.available() ? QStringLiteral("state available\n")
                                         : QStringLiteral("state unavailable: %1\n").arg(model.unavailableText());
        for (int row = 0; row < model.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < GameBrowser::AddressColumn; ++column)
                cells.append(model.index(row, column).data().toString());
            const QModelIndex first = model.index(row, 0);
            cells.append(first.data(GameBrowser::JoinAddressRole).toString());
            cells.append(first.data(GameBrowser::AddressesRole).toStringList().join(QLatin1Char(',')));
            cells.append(first.data(GameBrowser::ServiceNameRole).toString());
            out += QStringLiteral("row %1\n").arg(cells.join(QLatin1Char('|')));
        }
        out += QStringLiteral("end rows=%1\n").arg(model.rowCount());
        std::fputs(out.toUtf8().constData(), stdout);
        std::fflush(stdout);
    };
    QObject::connect(&model, &GameBrowser::availableChanged, show);
    QObject::connect(&model, &QAbstractItemModel::rowsInserted, show);
    QObject::connect(&model, &QAbstractItemModel::rowsRemoved, show);
    QObject::connect(&model, &QAbstractItemModel::dataChanged, show);
    QObject::connect(&model, &QAbstractItemModel::modelReset, show);
    show();
    // Ends by itself, so a test that fails leaves nothing behind.
    QTimer::singleShot(argc > 1 ? QByteArray(argv[1]).toInt() * 1000 : 120000, &app, &QCoreApplication::quit);
    return app.exec();
}
