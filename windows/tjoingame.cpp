#include "tjoingame.h"

#include "gamebrowser.h"
#include "look.h"
#include "netdialogkit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

using vexlo::discovery::GameBrowser;

namespace {

QString noteText(int defaultPort)
{
    return QStringLiteral("The host's name or address; add \":port\" when the port is not %1.\n"
                          "For example: vexlo.example.org   192.168.1.20:7773   [2001:db8::7]:7773")
        .arg(defaultPort);
}

} // namespace

Tjoingame::Tjoingame(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("joingame"));
    QFormLayout *form = vexlo::netdialog::build(this, QStringLiteral("Join Network Game"));

    edit_name = vexlo::netdialog::addNameField(this, form, QStringLiteral("Your Name:"), MaxNameLength);

    combo_address = vexlo::netdialog::addressBox(this);
    vexlo::netdialog::addRow(form, QStringLiteral("Host Address:"), combo_address);

    label_note = vexlo::netdialog::addNote(form, noteText(7772));
    label_note->setWordWrap(false);

    auto *heading = new QLabel(QStringLiteral("On this network:"));
    heading->setFont(vexlo::look::arial(15, true));
    form->addRow(heading);
    list_games = new QTreeView(this);
    list_games->setObjectName(QStringLiteral("list_games"));
    list_games->setAccessibleName(QStringLiteral("Games on this network"));
    list_games->setRootIsDecorated(false);
    list_games->setItemsExpandable(false);
    list_games->setUniformRowHeights(true);
    list_games->setAllColumnsShowFocus(true);
    list_games->setSelectionMode(QAbstractItemView::SingleSelection);
    list_games->setFixedHeight(120);
    list_games->setFont(vexlo::look::arial(12));
    form->addRow(list_games);
    label_games = new QLabel;
    label_games->setObjectName(QStringLiteral("label_games"));
    label_games->setWordWrap(true);
    label_games->setFont(vexlo::look::arial(12));
    form->addRow(label_games);
    // A double click joins; Enter on a row fills in its address and goes on to
    // the default button, Join.
    connect(list_games, &QAbstractItemView::activated, this, [this](const QModelIndex &i) { chooseGame(i.row(), false); });
    connect(list_games, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &i) { chooseGame(i.row(), true); });
    label_error = vexlo::netdialog::addErrorLine(form);
    button_ok = vexlo::netdialog::addButtons(this, form, QStringLiteral("Join"));
    connect(button_ok, &QPushButton::clicked, this, &Tjoingame::button_okClick);
}

void Tjoingame::setChoices(const QString &name, const QStringList &recentHosts, int defaultPort)
{
    label_note->setText(noteText(defaultPort));
    vexlo::netdialog::fillChoices(edit_name, combo_address, label_error, name, recentHosts);
}

void Tjoingame::setNetworkGames(GameBrowser *games)
{
    m_games = games;
    // A game that goes moves the list's current row to another game: that is no
    // choice of the player's, and the address stays. Connected before the view
    // and after it, so the flag covers the view's own handling.
    auto changing = [this] { m_listChanging = true; };
    auto changed = [this] { m_listChanging = false; };
    connect(games, &QAbstractItemModel::rowsAboutToBeRemoved, this, changing);
    connect(games, &QAbstractItemModel::modelAboutToBeReset, this, changing);
    list_games->setModel(games);
    connect(games, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(games, &QAbstractItemModel::modelReset, this, changed);
    list_games->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_games->header()->setStretchLastSection(true);
    connect(list_games->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this](const QModelIndex &i) {
        if (!m_listChanging)
            chooseGame(i.row(), false);
    });
    connect(games, &GameBrowser::availableChanged, this, &Tjoingame::showGamesState);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(games, signal, this, &Tjoingame::showGamesState);
    connect(games, &QAbstractItemModel::modelReset, this, &Tjoingame::showGamesState);
    showGamesState();
}

void Tjoingame::showEvent(QShowEvent *event)
{
    // The network is asked only once somebody wants to join.
    if (!m_games)
        setNetworkGames(new GameBrowser(this));
    QDialog::showEvent(event);
}

void Tjoingame::showGamesState()
{
    const QString line = m_games->emptyListText();
    label_games->setText(line);
    label_games->setVisible(!line.isEmpty());
}

void Tjoingame::chooseGame(int row, bool join)
{
    if (!m_games || row < 0)
        return;
    const QString address = m_games->index(row, 0).data(GameBrowser::JoinAddressRole).toString();
    if (address.isEmpty())
        return;
    combo_address->setEditText(address);
    label_error->hide();
    if (join)
        button_okClick();
}

QString Tjoingame::playerName() const
{
    return edit_name->text().trimmed();
}

QString Tjoingame::addressText() const
{
    return combo_address->currentText().trimmed();
}

vexlo::HostAddressText Tjoingame::address() const
{
    return vexlo::parseHostAddress(combo_address->currentText());
}

void Tjoingame::button_okClick()
{
    QString problem;
    QWidget *field = nullptr;
    if (playerName().isEmpty()) {
        problem = QStringLiteral("Type the name the others will see.");
        field = edit_name;
    } else if (const vexlo::HostAddressText a = address(); !a.ok()) {
        problem = a.error;
        field = combo_address;
    }
    if (field) {
        label_error->setText(problem);
        label_error->show();
        field->setFocus();
        return;
    }
    accept();
}
