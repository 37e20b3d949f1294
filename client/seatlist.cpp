#include "seatlist.h"
#include "viewkit.h"

#include "boardpictures.h"
#include "look.h"
#include "seatsmodel.h"

#include <QLabel>

using namespace vexlo;

namespace {

// Where the list lies on the board; its labels are placed in board coordinates.
const QPoint kOrigin(10, 366);
constexpr int kSeatTops[7] = {0, 368, 389, 410, 432, 453, 474};
constexpr int kEyesTops[7] = {0, 366, 387, 409, 430, 452, 473};

QLabel *label(QWidget *parent, const char *prefix, int slot, const QString &text, QRect onBoard, const QFont &font)
{
    return viewkit::plainLabel(parent, viewkit::numbered(prefix, slot), text, onBoard.translated(-kOrigin), font);
}

} // namespace

SeatListView::SeatListView(const SeatsModel &seats, QWidget *parent) : QWidget(parent), m_seats(seats)
{
    setObjectName(QStringLiteral("seatlist"));
    setGeometry(QRect(kOrigin, QSize(227, 124)));
    const QPixmap eyes = look::eyesPicture();
    for (int i = 1; i <= 6; ++i) {
        QLabel *name = label(this, "label_playername", i, QStringLiteral("<Waiting>"), QRect(20, kSeatTops[i], 100, 16),
                             look::arial(13));
        name->setProperty("hint", SeatsModel::seatHint(i));
        name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(name, &QWidget::customContextMenuRequested, this,
                [this, name](const QPoint &pos) { Q_EMIT nameMenuRequested(name, name->mapToGlobal(pos)); });
        QLabel *score = label(this, "label_score", i, QStringLiteral("0"), QRect(122, kSeatTops[i], 60, 16),
                              look::arial(13));
        score->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        score->hide();
        QLabel *words = label(this, "label_words", i, QString(), QRect(186, kSeatTops[i], 50, 16), look::arial(13));
        words->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QLabel *eye = label(this, "image_eyes", i, QString(), QRect(10, kEyesTops[i], 21, 10), look::arial(8));
        eye->setPixmap(eyes);
        eye->hide();
    }

    connect(&seats, &SeatsModel::seatChanged, this, [this](int slot) {
        if (QLabel *l = seatWidget<QLabel>("label_playername", slot))
            l->setText(m_seats.shownName(slot));
    });
    connect(&seats, &SeatsModel::totalChanged, this, [this](int slot) {
        if (QLabel *l = seatWidget<QLabel>("label_score", slot))
            l->setText(m_seats.total(slot));
    });
    connect(&seats, &SeatsModel::wordsChanged, this, [this](int slot) {
        if (QLabel *l = seatWidget<QLabel>("label_words", slot))
            l->setText(m_seats.words(slot));
    });
    connect(&seats, &SeatsModel::arrived, this, &SeatListView::showSeat);
    connect(&seats, &SeatsModel::cleared, this, &SeatListView::hideTotals);
    connect(&seats, &SeatsModel::watchingChanged, this, [this](int slot, bool watching) {
        if (QLabel *mark = seatWidget<QLabel>("image_eyes", slot))
            mark->setVisible(watching);
    });
}

void SeatListView::hideTotals()
{
    for (int slot = 1; slot <= 6; ++slot)
        if (QLabel *score = seatWidget<QLabel>("label_score", slot))
            score->hide();
}

void SeatListView::showSeat(int slot)
{
    if (QLabel *l = seatWidget<QLabel>("label_playername", slot))
        l->show();
    if (QLabel *score = seatWidget<QLabel>("label_score", slot))
        score->show();
}
