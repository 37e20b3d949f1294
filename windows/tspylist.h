#pragma once
// Tspylist: the watchers ("spies") of the game, one "slot: name" item each in
// order of arrival, and the host's "Remove From Game" on them.
#include <QDialog>

#include <functional>

class QAction;
class QListWidget;
class QMenu;
class QPushButton;

class Tspylist : public QDialog
{
    Q_OBJECT
public:
    explicit Tspylist(QWidget *parent = nullptr);

    // Set by the main window: asks it to remove the player in a slot.
    std::function<void(int slot)> kicking;

    QListWidget *listbox_spys;
    QPushButton *button_done;
    QMenu *popup_kick;
    QAction *popup_kickhim;
    // Index of the item under the mouse pointer, -1 over no item.
    int listTag = -1;

    void popup_kickhimClick();
    void listbox_spysMouseMove(const QPoint &pos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
