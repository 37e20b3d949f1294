#pragma once
// Tjoingame: File -> "Join Network Game...". Asks for the player's name and the
// host's address (a name, an IPv4 or IPv6 address, with an optional ":port"),
// offering the addresses joined lately and, under "On this network", the games
// found on the local network as they come and go (choosing one fills in its
// address; Enter or a double click joins it); the main window joins when it is
// accepted.
#include "hostaddress.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace vexlo::discovery {
class GameBrowser;
}

class Tjoingame : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxNameLength = 20;

    explicit Tjoingame(QWidget *parent = nullptr);

    // The name, the recent addresses (the most recent first, and offered) and
    // the port an address without one goes to.
    void setChoices(const QString &name, const QStringList &recentHosts, int defaultPort);
    QString playerName() const;
    // The address as typed (blanks trimmed) and as read.
    QString addressText() const;
    vexlo::HostAddressText address() const;

    // Accepts when the name and the address are good; otherwise says what is
    // wrong and stays open, keeping what was typed.
    void button_okClick();

    // The games listed under "On this network": the dialog makes its own
    // browser when it is first shown, unless one was given before.
    void setNetworkGames(vexlo::discovery::GameBrowser *games);
    vexlo::discovery::GameBrowser *networkGames() const { return m_games; }

    QLineEdit *edit_name = nullptr;
    QComboBox *combo_address = nullptr;
    QLabel *label_note = nullptr;
    QLabel *label_error = nullptr;
    QPushButton *button_ok = nullptr;
    QTreeView *list_games = nullptr;
    QLabel *label_games = nullptr; // what keeps the list empty, when something does

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showGamesState();
    void chooseGame(int row, bool join);

    vexlo::discovery::GameBrowser *m_games = nullptr;
    bool m_listChanging = false;
};
