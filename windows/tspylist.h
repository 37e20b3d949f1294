#pragma once
// Tspylist: the watchers ("spies") of the game, one "slot: name" item each in
// order of arrival, and the host's "Remove From Game" on them.
#include <QDialog>

class QAction;
class QListWidget;
class QMenu;
class QPushButton;

class Tspylist : public QDialog
{
    Q_OBJECT
public:
    explicit Tspylist(QWidget *parent = nullptr);

    // A watcher arrived: the entry of its slot gets the name, or a new entry is
    // added at the end. A watcher that logs in after connecting (with an empty
    // name) is announced again: the arrival replaces the entry of its slot.
    void showWatcher(int slot, const QString &name);
    // A watcher left: removes the "slot: name" entry (the name in any letter
    // case); false when there was none.
    bool removeWatcher(int slot, const QString &name);
    // A new session: no watchers.
    void clearWatchers();
    // Only the host may remove players.
    void setKickAllowed(bool allowed);

    QListWidget *listbox_spys;
    QPushButton *button_done;
    QMenu *popup_kick;
    QAction *popup_kickhim;
    // Index of the item under the mouse pointer, -1 over no item.
    int listTag = -1;

    void popup_kickhimClick();
    void listbox_spysMouseMove(const QPoint &pos);

Q_SIGNALS:
    // "Remove From Game" on an entry: the player in the slot is to be removed.
    void kicking(int slot);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
