#pragma once
// Tfindgame: File -> "Find a Game...". The player's name, a server's address
// (offering the addresses joined lately) and the live list of that server's
// tables, with Join, Watch and New Table; Enter on a table joins it (Join
// joins a server that does not list its tables directly). Under it,
// "On this network", the games found on the local network (Enter joins one at
// its address). The dialog only chooses: the main window takes the choice
// (chosen()) and starts the session.
#include "hostaddress.h"

#include <QDialog>
#include <QStringList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace vexlo {
class TableBrowser;
namespace discovery {
class GameBrowser;
}
} // namespace vexlo

class Tfindgame : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxNameLength = 20;
    enum class Choice { Sit, Watch, NewTable, JoinAddress };

    explicit Tfindgame(QWidget *parent = nullptr);
    ~Tfindgame() override;

    // The name, the recent addresses (the most recent first; the first is
    // listed at once when the dialog shows) and the port of an address without one.
    void setChoices(const QString &name, const QStringList &recentHosts, int defaultPort);
    QString playerName() const;

    // What was chosen, once accepted: the place, its table (Sit, Watch) and
    // the server's address as typed and as read.
    Choice choice() const { return m_choice; }
    int table() const { return m_table; }
    QString addressText() const { return m_chosenAddress; }
    vexlo::HostAddressText address() const { return vexlo::parseHostAddress(m_chosenAddress); }

    // Lists the tables of the address in the field.
    void listTables();
    // The buttons: the selected table (Join, Watch) or a new one.
    void choose(Choice choice);

    // The models; the dialog makes its own when it is first shown unless given.
    void setModels(vexlo::TableBrowser *tables, vexlo::discovery::GameBrowser *games);
    vexlo::TableBrowser *tables() const { return m_tables; }
    vexlo::discovery::GameBrowser *networkGames() const { return m_games; }

    QLineEdit *edit_name = nullptr;
    QComboBox *combo_address = nullptr;
    QPushButton *button_list = nullptr;
    QLabel *label_tables = nullptr; // what the server said, in one line
    QTreeView *list_tables = nullptr;
    QPushButton *button_join = nullptr;
    QPushButton *button_watch = nullptr;
    QPushButton *button_newtable = nullptr;
    QTreeView *list_games = nullptr;
    QLabel *label_games = nullptr;
    QLabel *label_error = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showTablesState();
    void showGamesState();
    void joinGame(int row);
    bool nameGiven();
    void showError(const QString &text, QWidget *field);

    vexlo::TableBrowser *m_tables = nullptr;
    vexlo::discovery::GameBrowser *m_games = nullptr;
    int m_defaultPort = 7772;
    int m_toldStatus = -1; // the server's state last said to a screen reader
    QLabel *m_announcer = nullptr; // says it (a window of its own, never shown)
    Choice m_choice = Choice::Sit;
    int m_table = 0;
    QString m_chosenAddress;
};
