#pragma once
// What the board and round tests share: a window logged in to a stand-in host,
// and looks at its tiles.
#include "accessibility.h"
#include "fixtures.h"
#include "platform.h"
#include "settingsmodel.h"

#include <QFile>

#include <QLabel>

// A window joined to a stand-in host and logged in to a slot.
struct SeatedWindow
{
    FakeHost host;
    Window w;
    explicit SeatedWindow(int slot = 3, const QString &name = QStringLiteral("Red"))
    {
        // Every window starts from no settings file: what an earlier test chose
        // (a turn sound, a tile set) must not carry over.
        QFile::remove(vexlo::settingsFilePath(vexlo::platform::dataFolder()));
        if (!host.attach(w.chat, name))
            qFatal("stand-in host not reached");
        w.feed("CMD_sendlogininfo+" + QByteArray::number(slot));
        host.next(); // the login
        w.feed("CMD_newplayerinfo+" + QByteArray::number(slot) + '+' + name.toLatin1());
        w.sounds.clear();
        chatText(w.chat)->clear();
    }
    // Opens the board as a round start does, on word 1 with the pattern.
    void open(const QByteArray &pattern = "c_a_t")
    {
        w.feed("CMD_nextplayer+" + QByteArray::number(w.chat.session().slot()) + "+1+" + pattern + '+');
        w.sounds.clear();
    }
};

// The tile numbers a row shows ("image_word" or "image_gap"), 0 also for a
// tile that shows nothing.
inline QList<int> tags(const Tchat &c, const char *row)
{
    const bool typed = QLatin1String(row) == QLatin1String("image_word");
    const auto *tiles = c.findChild<TileRow *>(typed ? QStringLiteral("row_word") : QStringLiteral("row_pattern"));
    QList<int> out;
    for (int tile : tiles->tiles())
        out << (tile == TileRow::kNothing ? 0 : tile);
    return out;
}

// True when the tile shows the picture of that tile number in the current set.
inline bool shows(Tchat &c, const QLabel *tile, int number)
{
    return tile->pixmap().toImage() == c.preferences().tiles().picture(number).toImage();
}
