#include "tgamestart.h"

#include "catalogue.h"
#include "errorreport.h"
#include "look.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

QSpinBox *arrows(QWidget *parent, const char *name, int lo, int hi, int step, int start)
{
    auto *s = new QSpinBox(parent);
    s->setObjectName(QLatin1String(name));
    s->setRange(lo, hi);
    s->setSingleStep(step);
    s->setValue(start);
    s->setWrapping(false);
    s->setAlignment(Qt::AlignCenter);
    s->findChild<QLineEdit *>()->setReadOnly(true); // only the arrows change the value
    s->setFont(vexlo::look::arial(15, true));
    s->setStyleSheet(QStringLiteral("QSpinBox { background: %1; color: black; }").arg(vexlo::look::peach().name()));
    return s;
}

QLabel *caption(QWidget *parent, const QString &text, int x, int y)
{
    auto *l = new QLabel(text, parent);
    l->setFont(vexlo::look::arial(15, true));
    l->move(x, y);
    l->adjustSize();
    return l;
}

} // namespace

Tgamestart::Tgamestart(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("gamestart"));
    setWindowTitle(QStringLiteral("Vexlo - Game Start"));
    setFixedSize(300, 214);
    vexlo::look::applyBackground(this);

    label_heading = new QLabel(QStringLiteral("Game Options"), this);
    label_heading->setObjectName(QStringLiteral("label_heading"));
    label_heading->setFont(vexlo::look::arial(22, true));
    label_heading->setAlignment(Qt::AlignCenter);
    label_heading->setGeometry(0, 12, width(), 30);

    QLabel *rounds = caption(this, QStringLiteral("Rounds Per Game: "), 28, 66);
    edit_playtoscore = arrows(this, "edit_playtoscore", 1, 10, 1, 5);
    edit_playtoscore->setGeometry(196, 61, 72, 28);
    QLabel *creation = caption(this, QStringLiteral("Creation Time:"), 28, 108);
    edit_creationtime = arrows(this, "edit_creationtime", 30, 120, 5, 60);
    edit_creationtime->setGeometry(196, 103, 72, 28);
    // Each caption labels its spin box for a screen reader.
    rounds->setBuddy(edit_playtoscore);
    creation->setBuddy(edit_creationtime);

    button_start = new QPushButton(this);
    button_start->setObjectName(QStringLiteral("button_start"));
    const QSize pic(180, 40);
    button_start->setIcon(vexlo::look::startButtonPicture(QStringLiteral("START GAME"), pic));
    button_start->setIconSize(pic);
    button_start->setGeometry((width() - pic.width()) / 2, 152, pic.width(), pic.height());
    button_start->setFlat(true);
    button_start->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"));
    button_start->setCursor(Qt::PointingHandCursor);
    button_start->setAccessibleName(QStringLiteral("START GAME"));
    // Enter anywhere in the window starts the game with the values shown.
    button_start->setDefault(true);
    for (QWidget *w : {static_cast<QWidget *>(edit_playtoscore), static_cast<QWidget *>(edit_creationtime),
                       static_cast<QWidget *>(button_start)})
        vexlo::look::showKeyboardFocus(w);
    connect(button_start, &QPushButton::clicked, this, [this] { vexlo::guarded([this] { button_startClick(); }); });
}

void Tgamestart::button_startClick()
{
    hide();
    Q_EMIT startRequested(edit_playtoscore->value(), edit_creationtime->value());
    Q_EMIT saveRequested();
}
