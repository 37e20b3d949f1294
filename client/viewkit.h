#pragma once
// Small helpers the window's views share when they build their widgets.
#include <QFont>
#include <QLabel>
#include <QRect>
#include <QString>

#include "settingsmodel.h"

namespace vexlo::viewkit {

// "label_score" + 3 -> "label_score3": the names per-slot widgets are found by.
inline QString numbered(const char *prefix, int i)
{
    return QLatin1String(prefix) + QString::number(i);
}

// A plain-text label: named before it has a text (a screen reader may look at
// it from then on), never read as markup (names come from other players).
inline QLabel *plainLabel(QWidget *parent, const QString &name, const QString &text, QRect geometry,
                          const QFont &font)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setText(text);
    l->setGeometry(geometry);
    l->setFont(font);
    return l;
}

// A window's bounds as the settings file keeps them: the outer frame's.
inline WindowBounds boundsOf(const QWidget *w)
{
    const QRect f = w->frameGeometry();
    return {f.x(), f.y(), f.width(), f.height()};
}

// Moves and sizes a window to bounds of its outer frame; the frame's own width
// and height stay out of the size given to the window.
inline void placeWindow(QWidget *w, const WindowBounds &bounds)
{
    const QSize frame = w->frameGeometry().size() - w->geometry().size();
    w->move(bounds.left, bounds.top);
    w->resize(QSize(bounds.width, bounds.height) - frame);
}

} // namespace vexlo::viewkit
