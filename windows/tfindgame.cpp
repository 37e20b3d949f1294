#include "tfindgame.h"

#include "gamebrowser.h"
#include "look.h"
#include "netdialogkit.h"
#include "tablebrowser.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeView>

using vexlo::TableBrowser;
using vexlo::discovery::GameBrowser;

namespace {

QTreeView *listView(QWidget *parent, const char *name, const QString &spoken, int height)
{
    auto *view = new QTreeView(parent);
    view->setObjectName(QLatin1String(name));
    view->setAccessibleName(spoken);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setFixedHeight(height);
    view->setMinimumWidth(620);
    view->setFont(vexlo::look::arial(12));
    return view;
}

// A screen reader says a description after the name as the focus comes: the
// state lines come with the field and the lists they are about.
void describe(QWidget *w, const QString &text)
{
    if (w->accessibleDescription() != text)
        w->setAccessibleDescription(text);
}

// What the server said, as a notification to a screen reader: said whole when
// told to show, wherever the focus is (a change of a label's text is not
// said, nor, through Qt 6.4, a change of the focused field's description).
// A label of its own, never shown and outside the dialog: the line in the
// dialog would be said again each time the dialog shows, and the reader says
// a notification's dialog before it.
class NotificationFace : public QAccessibleWidget
{
public:
    explicit NotificationFace(QLabel *label) : QAccessibleWidget(label, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<const QLabel *>(widget())->text() : QAccessibleWidget::text(t);
    }
};

const QLatin1String AnnouncerName("findgame_announcer");

QAccessibleInterface *notificationFace(const QString &className, QObject *object)
{
    if (className != QLatin1String("QLabel") || object->objectName() != AnnouncerName)
        return nullptr;
    return new NotificationFace(static_cast<QLabel *>(object));
}

// Tells a screen reader the row that has the focus. A list that gets the
// focus back only says its own name otherwise, and the player would not know
// which table Enter joins.
void tellCurrentRow(QAbstractItemView *view)
{
    const QModelIndex current = view->currentIndex();
    if (!QAccessible::isActive() || !current.isValid() || !view->hasFocus())
        return;
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(view);
    QAccessibleTableInterface *table = list ? list->tableInterface() : nullptr;
    QAccessibleInterface *cell = table ? table->cellAt(current.row(), current.column()) : nullptr;
    if (!cell)
        return;
    QAccessibleEvent event(view, QAccessible::Focus);
    event.setChild(list->indexOfChild(cell));
    QAccessible::updateAccessibility(&event);
}

QLabel *heading(const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setFont(vexlo::look::arial(15, true));
    label->setBuddy(buddy);
    return label;
}

QLabel *stateLine(const char *name)
{
    auto *line = new QLabel;
    line->setObjectName(QLatin1String(name));
    line->setTextFormat(Qt::PlainText); // it may quote what a server said
    line->setWordWrap(true);
    line->setFont(vexlo::look::arial(12));
    return line;
}

QPushButton *button(const QString &text, const char *name)
{
    auto *b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false); // Enter belongs to the field or the list that has the focus
    return b;
}

} // namespace

Tfindgame::Tfindgame(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("findgame"));
    QFormLayout *form = vexlo::netdialog::build(this, QStringLiteral("Find a Game"));

    edit_name = vexlo::netdialog::addNameField(this, form, QStringLiteral("Your &Name:"), MaxNameLength);

    // The caption and the field are children of the dialog alike: a screen
    // reader finds a caption by its buddy among the field's siblings only.
    auto *serverRow = new QHBoxLayout;
    combo_address = vexlo::netdialog::addressBox(this);
    combo_address->setAccessibleName(QStringLiteral("Server Address"));
    // The screen reader's focus is on the field inside, and the box itself
    // is named by its text once something is typed: the field carries the name.
    combo_address->lineEdit()->setAccessibleName(QStringLiteral("Server Address"));
    vexlo::netdialog::styleField(combo_address);
    button_list = button(QStringLiteral("&List Tables"), "button_list");
    serverRow->addWidget(combo_address, 1);
    serverRow->addWidget(button_list);
    auto *serverCaption = new QLabel(QStringLiteral("Server &Address:"));
    serverCaption->setFont(vexlo::look::arial(15, true));
    serverCaption->setBuddy(combo_address);
    form->addRow(serverCaption, serverRow);

    QAccessible::installFactory(notificationFace); // once is enough
    m_announcer = new QLabel;
    m_announcer->setObjectName(AnnouncerName);
    label_tables = stateLine("label_tables");
    form->addRow(label_tables);
    list_tables = listView(this, "list_tables", QStringLiteral("Tables of the server"), 150);
    form->addRow(heading(QStringLiteral("Ta&bles:"), list_tables));
    form->addRow(list_tables);
    auto *placeRow = new QHBoxLayout;
    button_join = button(QStringLiteral("&Join"), "button_join");
    button_watch = button(QStringLiteral("&Watch"), "button_watch");
    button_newtable = button(QStringLiteral("New &Table"), "button_newtable");
    placeRow->addWidget(button_join);
    placeRow->addWidget(button_watch);
    placeRow->addWidget(button_newtable);
    placeRow->addStretch();
    form->addRow(placeRow);

    list_games = listView(this, "list_games", QStringLiteral("Games on this network"), 100);
    form->addRow(heading(QStringLiteral("On t&his network:"), list_games));
    form->addRow(list_games);
    label_games = stateLine("label_games");
    form->addRow(label_games);
    label_error = vexlo::netdialog::addErrorLine(form);

    auto *box = new QDialogButtonBox(QDialogButtonBox::Close);
    box->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("button_cancel"));
    box->button(QDialogButtonBox::Close)->setAutoDefault(false);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(box);

    connect(button_list, &QPushButton::clicked, this, &Tfindgame::listTables);
    connect(combo_address->lineEdit(), &QLineEdit::returnPressed, this, &Tfindgame::listTables);
    connect(button_join, &QPushButton::clicked, this, [this] { choose(Choice::Sit); });
    connect(button_watch, &QPushButton::clicked, this, [this] { choose(Choice::Watch); });
    connect(button_newtable, &QPushButton::clicked, this, [this] { choose(Choice::NewTable); });
    // Enter or a double click on a table joins it; on a game of this network, joins that game.
    connect(list_tables, &QAbstractItemView::activated, this, [this] { choose(Choice::Sit); });
    connect(list_games, &QAbstractItemView::activated, this, [this](const QModelIndex &i) { joinGame(i.row()); });
    list_tables->installEventFilter(this);
    list_games->installEventFilter(this);
}

bool Tfindgame::eventFilter(QObject *watched, QEvent *event)
{
    // After the list has taken the focus (and said its name), its row.
    if (event->type() == QEvent::FocusIn && (watched == list_tables || watched == list_games)) {
        auto *view = static_cast<QAbstractItemView *>(watched);
        QMetaObject::invokeMethod(view, [view] { tellCurrentRow(view); }, Qt::QueuedConnection);
    }
    return QDialog::eventFilter(watched, event);
}

Tfindgame::~Tfindgame()
{
    delete m_announcer;
}

void Tfindgame::setChoices(const QString &name, const QStringList &recentHosts, int defaultPort)
{
    m_defaultPort = defaultPort;
    vexlo::netdialog::fillChoices(edit_name, combo_address, label_error, name, recentHosts);
}

QString Tfindgame::playerName() const
{
    return edit_name->text().trimmed();
}

void Tfindgame::setModels(TableBrowser *tables, GameBrowser *games)
{
    m_tables = tables;
    m_games = games;
    list_tables->setModel(tables);
    list_tables->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_tables->header()->setStretchLastSection(true);
    connect(tables, &TableBrowser::statusChanged, this, &Tfindgame::showTablesState);
    // A list that fills puts the focus's row on its first table. Quietly
    // while the focus is elsewhere: the list would tell a screen reader that
    // its row has the focus, and the reader would leave the field being typed in.
    connect(tables, &QAbstractItemModel::rowsInserted, this, [this] {
        if (list_tables->currentIndex().isValid() || m_tables->rowCount() == 0)
            return;
        const QModelIndex first = m_tables->index(0, 0);
        if (list_tables->hasFocus()) {
            list_tables->setCurrentIndex(first);
            return;
        }
        QItemSelectionModel *selection = list_tables->selectionModel();
        {
            const QSignalBlocker quiet(selection);
            selection->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        }
        list_tables->viewport()->update();
    });
    list_games->setModel(games);
    list_games->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_games->header()->setStretchLastSection(true);
    connect(games, &GameBrowser::availableChanged, this, &Tfindgame::showGamesState);
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(games, signal, this, &Tfindgame::showGamesState);
    showTablesState();
    showGamesState();
}

void Tfindgame::showEvent(QShowEvent *event)
{
    if (!m_tables)
        setModels(new TableBrowser(this), new GameBrowser(this));
    QDialog::showEvent(event);
    // The address shown (the one joined last) is listed anew each time.
    if (!combo_address->currentText().trimmed().isEmpty())
        listTables();
}

void Tfindgame::hideEvent(QHideEvent *event)
{
    // Nobody looks: the server is not followed any more.
    if (m_tables)
        m_tables->close();
    QDialog::hideEvent(event);
}

void Tfindgame::showTablesState()
{
    QString line = m_tables->statusText();
    if (line.isEmpty())
        line = QStringLiteral("Type a server's address and press Enter to list its tables.");
    label_tables->setText(line);
    // Said on the field where Enter listed the tables, and with the list.
    describe(combo_address, line);
    describe(combo_address->lineEdit(), line);
    describe(list_tables, line);
    // Said once the server has answered (or failed to), not at each change of the list.
    const TableBrowser::Status status = m_tables->status();
    const bool answered = static_cast<int>(status) != m_toldStatus && status != TableBrowser::Status::Idle
        && status != TableBrowser::Status::Connecting;
    m_toldStatus = static_cast<int>(status);
    if (answered && isVisible()) {
        m_announcer->setText(line);
        QAccessibleEvent said(m_announcer, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&said);
    }
    const bool listed = m_tables->status() == TableBrowser::Status::Listed;
    // A server that does not list its tables is joined directly.
    button_join->setEnabled(listed || m_tables->status() == TableBrowser::Status::NotListing);
    button_watch->setEnabled(listed);
    button_newtable->setEnabled(listed);
}

void Tfindgame::showGamesState()
{
    const QString line = m_games->emptyListText();
    label_games->setText(line);
    describe(list_games, line);
    label_games->setVisible(!line.isEmpty());
}

void Tfindgame::listTables()
{
    label_error->hide();
    const QString typed = combo_address->currentText().trimmed();
    if (typed.isEmpty()) {
        showError(QStringLiteral("Type the server's address."), combo_address);
        return;
    }
    m_tables->open(typed, static_cast<quint16>(m_defaultPort));
}

void Tfindgame::showError(const QString &text, QWidget *field)
{
    label_error->setText(text);
    label_error->show();
    field->setFocus();
}

bool Tfindgame::nameGiven()
{
    if (!playerName().isEmpty())
        return true;
    showError(QStringLiteral("Type the name the others will see."), edit_name);
    return false;
}

void Tfindgame::choose(Choice choice)
{
    if (m_tables && m_tables->status() == TableBrowser::Status::NotListing && choice == Choice::Sit) {
        if (!nameGiven())
            return;
        m_choice = Choice::JoinAddress;
        m_table = 0;
        m_chosenAddress = m_tables->address();
        accept();
        return;
    }
    if (!m_tables || m_tables->status() != TableBrowser::Status::Listed)
        return;
    const int table = m_tables->tableAt(list_tables->currentIndex().row());
    if (choice != Choice::NewTable && table == 0) {
        showError(QStringLiteral("Choose a table first."), list_tables);
        return;
    }
    if (!nameGiven())
        return;
    m_choice = choice;
    m_table = choice == Choice::NewTable ? 0 : table;
    m_chosenAddress = m_tables->address();
    accept();
}

void Tfindgame::joinGame(int row)
{
    const QString address = m_games->index(row, 0).data(GameBrowser::JoinAddressRole).toString();
    if (address.isEmpty() || !nameGiven())
        return;
    m_choice = Choice::JoinAddress;
    m_table = 0;
    m_chosenAddress = address;
    accept();
}
