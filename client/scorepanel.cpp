#include "scorepanel.h"
#include "viewkit.h"

#include "boardpictures.h"
#include "look.h"
#include "scorereport.h"
#include "seatsmodel.h"

#include <QAccessible>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QTimer>

using namespace vexlo;
using viewkit::numbered;

namespace {

} // namespace

ScorePanel::ScorePanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("panel_scores"));
    setAccessibleName(QStringLiteral("Scores"));
    setGeometry(4, 1, 757, 315);
    look::applyBackground(this);
    hide();

    auto popupOn = [this](QLabel *l) {
        l->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(l, &QWidget::customContextMenuRequested, this,
                [this, l](const QPoint &pos) { Q_EMIT labelMenuRequested(l, l->mapToGlobal(pos)); });
    };
    const QString listStyle = QStringLiteral("QListWidget { background: %1; color: black; }").arg(look::peach().name());
    auto list = [&](const QString &name, QPoint at) {
        auto *l = new QListWidget(this);
        l->setObjectName(name);
        l->setGeometry(at.x(), at.y(), 93, 228);
        l->setFont(look::arial(19));
        l->setStyleSheet(listStyle);
        l->installEventFilter(this);
        return l;
    };
    label_original = viewkit::plainLabel(this, QStringLiteral("label_original"), QStringLiteral("Original Words"),
                           QRect(16, 22, 110, 18), look::arial(13, true));
    popupOn(label_original);
    listbox_original = list(QStringLiteral("listbox_original"), {17, 43});
    label_scoreround = viewkit::plainLabel(this, QStringLiteral("label_scoreround"), QString(), QRect(16, 278, 110, 20),
                             look::arial(13, true));
    popupOn(label_scoreround);

    constexpr int nameLeft[7] = {0, 134, 236, 337, 439, 540, 642};
    constexpr int scoreLeft[7] = {0, 133, 235, 336, 438, 539, 641};
    constexpr int listLeft[7] = {0, 138, 240, 341, 443, 544, 646};
    constexpr int fastLeft[7] = {0, 139, 241, 343, 446, 548, 650};
    constexpr int bonusLeft[7] = {0, 154, 256, 359, 462, 562, 665};
    for (int i = 1; i <= 6; ++i) {
        QLabel *name = viewkit::plainLabel(this, numbered("label_name", i), QString(), QRect(nameLeft[i], 6, 95, 16),
                             look::arial(13, true));
        QPalette pal = name->palette();
        pal.setColor(QPalette::WindowText, QColor(168, 0, 0));
        name->setPalette(pal);
        popupOn(name);
        popupOn(viewkit::plainLabel(this, numbered("label_ascore", i), QString(), QRect(scoreLeft[i], 23, 95, 16),
                      look::arial(13, true)));
        list(numbered("listbox_player", i), {listLeft[i], 43});
        viewkit::plainLabel(this, numbered("image_fastest", i), QString(), QRect(fastLeft[i], 275, 16, 16), look::arial(8))->hide();
        viewkit::plainLabel(this, numbered("image_bonus", i), QString(), QRect(bonusLeft[i], 283, 55, 17), look::arial(8))->hide();
    }
}

void ScorePanel::applySheet()
{
    QPalette sheet = palette();
    sheet.setColor(QPalette::Window, QColor(244, 230, 204));
    sheet.setColor(QPalette::WindowText, QColor(48, 28, 8));
    setPalette(sheet);
    setAutoFillBackground(true);
    const QPixmap bonus = look::bonusPicture();
    const QPixmap fastest = look::fastestPicture();
    for (int i = 1; i <= 6; ++i) {
        if (QLabel *b = column<QLabel>("image_bonus", i))
            b->setPixmap(bonus);
        if (QLabel *f = column<QLabel>("image_fastest", i))
            f->setPixmap(fastest);
    }
}

void ScorePanel::clearRound()
{
    for (int i = 1; i <= 6; ++i) {
        if (QLabel *l = column<QLabel>("image_bonus", i))
            l->hide();
        if (QLabel *l = column<QLabel>("image_fastest", i))
            l->hide();
        if (QLabel *l = column<QLabel>("label_ascore", i))
            l->clear();
        if (QListWidget *l = column<QListWidget>("listbox_player", i))
            l->clear();
    }
}

void ScorePanel::clearScores()
{
    for (int i = 1; i <= 6; ++i)
        if (QLabel *l = column<QLabel>("label_ascore", i))
            l->clear();
}

void ScorePanel::fill(const ScoreReport &report, const SeatsModel &seats, const QString &roundText)
{
    if (QLabel *mark = column<QLabel>("image_fastest", report.fastest))
        mark->show();
    label_scoreround->setText(roundText);
    listbox_original->clear();
    for (int i = 1; i <= 6; ++i) {
        if (QLabel *l = column<QLabel>("label_name", i))
            l->setText(seats.shownName(i));
        if (QLabel *l = column<QLabel>("image_bonus", i))
            l->hide();
        if (QLabel *l = column<QLabel>("label_ascore", i))
            l->clear();
        if (QListWidget *l = column<QListWidget>("listbox_player", i)) {
            l->clear();
            l->setAccessibleName(seats.shownName(i)); // a screen reader's heading of the column
            l->setAccessibleDescription(QString());
        }
    }
    for (int slot = 1; slot <= ScoreReport::SeatCount; ++slot) {
        const ScoreReport::Seat &s = report.seats[size_t(slot)];
        if (seats.taken(slot))
            if (QListWidget *l = column<QListWidget>("listbox_player", slot))
                l->addItems(s.words);
        if (s.roundScore) {
            if (QLabel *l = column<QLabel>("label_ascore", slot))
                l->setText(QStringLiteral("Score: ") + *s.roundScore);
            // A screen reader says the score with the column's name.
            if (QListWidget *l = column<QListWidget>("listbox_player", slot))
                l->setAccessibleDescription(QStringLiteral("Score: ") + *s.roundScore
                                            + (s.total ? QStringLiteral(", total ") + *s.total : QString()));
        }
        if (s.bonus)
            if (QLabel *l = column<QLabel>("image_bonus", slot))
                l->show();
    }
    listbox_original->addItems(report.originals);
}

void ScorePanel::swapColumns(int a, int b)
{
    moveColumn(a, 0);
    moveColumn(b, a);
    moveColumn(0, b);
}

bool ScorePanel::eventFilter(QObject *watched, QEvent *event)
{
    // A list that Tab reaches starts at its first word and says it after the
    // list itself (the list's own focus news would cover the word's), so the
    // arrows do not pass the first word by.
    if (event->type() == QEvent::FocusIn && QAccessible::isActive()) {
        if (auto *list = qobject_cast<QListWidget *>(watched)) {
            QTimer::singleShot(0, list, [list] {
                if (!list->hasFocus() || list->currentRow() < 0)
                    return;
                QAccessibleEvent focus(list, QAccessible::Focus);
                focus.setChild(list->currentRow());
                QAccessible::updateAccessibility(&focus);
            });
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ScorePanel::moveColumn(int from, int to)
{
    for (const char *prefix : {"label_name", "label_ascore", "image_bonus", "listbox_player", "image_fastest"}) {
        if (QWidget *w = column<QWidget>(prefix, from))
            w->setObjectName(QLatin1String(prefix) + QString::number(to));
    }
}

QStringList ScorePanel::originals() const
{
    QStringList out;
    for (int i = 0; i < listbox_original->count(); ++i)
        out << listbox_original->item(i)->text();
    return out;
}

QString ScorePanel::roundText() const
{
    return label_scoreround->text();
}

WinnerPanel::WinnerPanel(QWidget *parent) : QWidget(parent)
{
    // The text over its shadow.
    setObjectName(QStringLiteral("panel_winner"));
    setGeometry(138, 275, 609, 38);
    setStyleSheet(QStringLiteral(
        "#panel_winner { background: rgb(24, 48, 110); border: 1px solid rgb(120, 80, 40); border-radius: 6px; }"));
    setAttribute(Qt::WA_StyledBackground);
    label_winner2 = viewkit::plainLabel(this, QStringLiteral("label_winner2"), QString(), QRect(3, 5, 605, 24), look::arial(21, true));
    label_winner1 = viewkit::plainLabel(this, QStringLiteral("label_winner1"), QString(), QRect(2, 7, 605, 24), look::arial(21, true));
    for (QLabel *l : {label_winner1, label_winner2}) {
        l->setAlignment(Qt::AlignCenter);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, l == label_winner1 ? QColor(255, 218, 176) : QColor(128, 128, 128));
        l->setPalette(pal);
    }
    hide();
}

void WinnerPanel::setText(const QString &text)
{
    label_winner1->setText(text);
    label_winner2->setText(text);
}

QString WinnerPanel::text() const
{
    return label_winner1->text();
}
