#include "tspylist.h"

#include "errorreport.h"
#include "look.h"
#include "message.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

Tspylist::Tspylist(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("spylist"));
    setWindowTitle(QStringLiteral("Vexlo - Spys"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(220, 250);
    vexlo::look::applyBackground(this);

    auto *heading = new QLabel(QStringLiteral("Spy List"), this);
    heading->setObjectName(QStringLiteral("label_spylist"));
    heading->setFont(vexlo::look::arial(18, true));
    heading->setAlignment(Qt::AlignCenter);
    heading->setGeometry(0, 8, width(), 26);

    listbox_spys = new QListWidget(this);
    listbox_spys->setObjectName(QStringLiteral("listbox_spys"));
    listbox_spys->setGeometry(14, 40, 192, 160);
    listbox_spys->setFont(vexlo::look::arial(14));
    listbox_spys->setStyleSheet(QStringLiteral("QListWidget { background: %1; color: black; }")
                                    .arg(vexlo::look::peach().name()));
    listbox_spys->setMouseTracking(true);
    vexlo::look::showKeyboardFocus(listbox_spys);
    listbox_spys->viewport()->installEventFilter(this);
    listbox_spys->setContextMenuPolicy(Qt::CustomContextMenu);

    popup_kick = new QMenu(this);
    popup_kick->setObjectName(QStringLiteral("popup_kick"));
    popup_kickhim = popup_kick->addAction(QStringLiteral("Remove From Game"));
    popup_kickhim->setObjectName(QStringLiteral("popup_kickhim"));
    popup_kickhim->setEnabled(false);
    connect(popup_kickhim, &QAction::triggered, this, [this] { vexlo::guarded([this] { popup_kickhimClick(); }); });
    connect(listbox_spys, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        listbox_spysMouseMove(pos);
        popup_kick->popup(listbox_spys->viewport()->mapToGlobal(pos));
    });

    button_done = new QPushButton(QStringLiteral("Done"), this);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setGeometry(70, 210, 80, 28);
    button_done->setFont(vexlo::look::arial(14, true));
    vexlo::look::makeFlat(button_done, vexlo::look::peach());
    button_done->setDefault(true); // Enter closes the list as Escape does
    connect(button_done, &QPushButton::clicked, this, &QWidget::close);
}

void Tspylist::listbox_spysMouseMove(const QPoint &pos)
{
    const QListWidgetItem *item = listbox_spys->itemAt(pos);
    listTag = item ? listbox_spys->row(item) : -1;
}

bool Tspylist::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == listbox_spys->viewport() && event->type() == QEvent::MouseMove)
        listbox_spysMouseMove(static_cast<QMouseEvent *>(event)->position().toPoint());
    return QDialog::eventFilter(watched, event);
}

void Tspylist::popup_kickhimClick()
{
    if (listTag < 0 || listTag >= listbox_spys->count())
        return;
    const QString text = listbox_spys->item(listTag)->text();
    int slot = 0;
    if (!vexlo::toNumber(text.section(QLatin1Char(':'), 0, 0).toLatin1(), &slot))
        return;
    Q_EMIT kicking(slot);
}

void Tspylist::showWatcher(int slot, const QString &name)
{
    const QString prefix = QString::number(slot) + QStringLiteral(": ");
    for (int i = 0; i < listbox_spys->count(); ++i) {
        if (listbox_spys->item(i)->text().startsWith(prefix)) {
            listbox_spys->item(i)->setText(prefix + name);
            return;
        }
    }
    listbox_spys->addItem(prefix + name);
}

void Tspylist::clearWatchers()
{
    listbox_spys->clear();
}

bool Tspylist::removeWatcher(int slot, const QString &name)
{
    const QString entry = QString::number(slot) + QStringLiteral(": ") + name;
    for (int i = 0; i < listbox_spys->count(); ++i) {
        if (listbox_spys->item(i)->text().compare(entry, Qt::CaseInsensitive) == 0) {
            delete listbox_spys->takeItem(i);
            return true;
        }
    }
    return false;
}

void Tspylist::setKickAllowed(bool allowed)
{
    popup_kickhim->setEnabled(allowed);
}
