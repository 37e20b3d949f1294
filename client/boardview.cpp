#include "boardview.h"
#include "viewkit.h"

#include "accessibility.h"
#include "boardpictures.h"
#include "look.h"
#include "roundmodel.h"
#include "tiles.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegion>

using namespace vexlo;
using viewkit::numbered;

namespace {

constexpr int kTileLefts[6] = {0, 268, 316, 364, 412, 460};
constexpr int kGapTop = 80;
constexpr int kWordTop = 168;
const QColor kTimerCalm(224, 227, 157);
const QColor kTimerHurry(255, 0, 0);

QLabel *makeLabel(QWidget *parent, const QString &name, QRect geometry, const QFont &font)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setGeometry(geometry);
    l->setFont(font);
    return l;
}

} // namespace

BoardView::BoardView(const RoundModel &round, const TileSet &tiles, QWidget *parent)
    : QWidget(parent), m_round(round), m_tiles(tiles)
{
    setObjectName(QStringLiteral("boardview"));
    setGeometry(parent->rect());
    buildTiles();
    buildButtons();
    buildTypingBox();
    buildCountdown();
    buildWordDisplay();
    // The view lies over the chat and the seat list: outside its own widgets the
    // mouse goes to them.
    QRegion own;
    for (const QWidget *w : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        own += w->geometry();
    setMask(own);

    connect(&round, &RoundModel::tilesChanged, this, &BoardView::showTiles);
    connect(&round, &RoundModel::marksChanged, this, &BoardView::showMarks);
    connect(&round, &RoundModel::chatModeChanged, this, [this](bool chat) { checkbox_typing->setChecked(chat); });
    connect(&round, &RoundModel::ticked, this, &BoardView::showCountdown);
    connect(&round, &RoundModel::countdownReset, this, &BoardView::resetCountdown);
    showTiles();
    showMarks();
}

void BoardView::buildTiles()
{
    // Each row of tiles is one element to a screen reader.
    auto row = [this](TileRow::Kind kind, const char *name, int top) {
        auto *r = new TileRow(kind, this);
        r->setObjectName(QLatin1String(name));
        r->setGeometry(kTileLefts[1], top, kTileLefts[5] + kTileSize - kTileLefts[1], kTileSize);
        return r;
    };
    gapRow = row(TileRow::Pattern, "row_pattern", kGapTop);
    wordRow = row(TileRow::Typed, "row_word", kWordTop);
    for (int i = 1; i <= 5; ++i) {
        for (bool gap : {true, false}) {
            auto *t = new QLabel(gap ? gapRow : wordRow);
            t->setObjectName(numbered(gap ? "image_gap" : "image_word", i));
            t->setGeometry(kTileLefts[i] - kTileLefts[1], 0, kTileSize, kTileSize);
            t->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            (gap ? image_gap : image_word)[size_t(i)] = t;
        }
    }
}

void BoardView::buildButtons()
{
    auto pictureButton = [this](const char *name, int left, const QString &caption, const QString &key) {
        auto *b = new QPushButton(this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(left, 144, 172, 43);
        b->setIcon(look::boardButtonPicture(caption, key));
        b->setIconSize(QSize(172, 43));
        b->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"));
        b->setCursor(Qt::PointingHandCursor);
        b->setFocusPolicy(Qt::NoFocus);
        b->hide();
        return b;
    };
    button_pass = pictureButton("button_pass", 84, QStringLiteral("PASS WORD"), QStringLiteral("'1' KEY"));
    button_clear = pictureButton("button_clear", 516, QStringLiteral("CLEAR WORD"), QStringLiteral("'0' KEY"));
    connect(button_pass, &QPushButton::clicked, this, &BoardView::passPressed);
    connect(button_clear, &QPushButton::clicked, this, &BoardView::clearPressed);
}

void BoardView::buildTypingBox()
{
    checkbox_typing = new PictureCheckBox(QStringLiteral("Type In Chat"), this);
    checkbox_typing->setObjectName(QStringLiteral("checkbox_typing"));
    checkbox_typing->setGeometry(642, 505, 20, 20);
    checkbox_typing->setChecked(true);
    label_typing = new QLabel(QStringLiteral("Type In Chat"), this);
    label_typing->setObjectName(QStringLiteral("label_typing"));
    label_typing->setGeometry(666, 506, 96, 18);
    label_typing->setFont(look::arial(13));
    for (QLabel *l : {static_cast<QLabel *>(checkbox_typing), label_typing}) {
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
    }
}

void BoardView::buildCountdown()
{
    image_timer = new QLabel(this);
    image_timer->setObjectName(QStringLiteral("image_timer"));
    image_timer->setGeometry(258, 22, RoundModel::BarWidth, 21);
    image_timer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image_timer->setPixmap(look::timerBarPicture());
    label_timer = new QLabel(QStringLiteral("Time: 0:00"), this);
    label_timer->setObjectName(QStringLiteral("label_timer"));
    label_timer->setGeometry(262, 24, 87, 19);
    label_timer->setAlignment(Qt::AlignCenter);
    label_timer->setFont(look::arial(16, true));
    QPalette pal = label_timer->palette();
    pal.setColor(QPalette::WindowText, QColor(255, 218, 176));
    label_timer->setPalette(pal);
}

void BoardView::buildWordDisplay()
{
    label_wordcount = makeLabel(this, QStringLiteral("label_wordcount"), QRect(281, 53, 194, 22), look::arial(19));
    label_wordcount->setAlignment(Qt::AlignCenter);
    const QPixmap check = look::checkMarkPicture();
    for (int i = 1; i <= 10; ++i) {
        QLabel *c = makeLabel(this, numbered("image_check", i), QRect(523 + 19 * (i - 1), 23, 17, 19), look::arial(8));
        c->setPixmap(check);
        c->hide();
        image_check[size_t(i)] = c;
    }
    image_goodjob = makeLabel(this, QStringLiteral("image_goodjob"), QRect(296, 128, 161, 35), look::arial(8));
    image_goodjob->setPixmap(look::goodJobPicture());
    image_goodjob->hide();
}

bool BoardView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress && (watched == checkbox_typing || watched == label_typing)) {
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            Q_EMIT typingClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// --- tiles ---

QLabel *BoardView::tile(Row row, int at) const
{
    return (row == Gap ? image_gap : image_word)[size_t(at)];
}

int &BoardView::shown(Row row, int at)
{
    return (row == Gap ? m_gapShown : m_wordShown)[size_t(at)];
}

void BoardView::draw(Row row, int at, int number)
{
    shown(row, at) = number;
    tile(row, at)->setPixmap(m_tiles.has(number) ? m_tiles.picture(number) : QPixmap());
}

void BoardView::showTiles()
{
    const auto pattern = m_round.patternTiles();
    const auto answer = m_round.answerTiles();
    for (int i = 1; i <= 5; ++i) {
        draw(Gap, i, pattern[size_t(i - 1)] == RoundModel::NoTile ? kNoTile : pattern[size_t(i - 1)]);
        draw(Word, i, answer[size_t(i - 1)] == RoundModel::NoTile ? kNoTile : answer[size_t(i - 1)]);
    }
    tellRows();
}

void BoardView::tellRows()
{
    auto tiles = [](const std::array<int, 6> &row) {
        QList<int> out;
        for (size_t i = 1; i <= 5; ++i)
            out << (row[i] == kNoTile ? TileRow::kNothing : row[i]);
        return out;
    };
    gapRow->setTiles(tiles(m_gapShown));
    wordRow->setTiles(tiles(m_wordShown));
}

// --- buttons, check marks, word label, praise ---

void BoardView::showMarks()
{
    button_pass->setVisible(m_round.buttonsShown());
    button_clear->setVisible(m_round.buttonsShown());
    for (int i = 1; i <= 10; ++i)
        image_check[size_t(i)]->setVisible(m_round.checked(i));
    image_goodjob->setVisible(m_round.praised());
    if (m_round.wordLabel() == 0)
        label_wordcount->clear();
    else
        label_wordcount->setText(wordCountText(m_round.wordLabel()));
}

// --- the countdown ---

void BoardView::showCountdown(int left)
{
    if (left < 1) {
        label_timer->setText(countdownText(0));
        image_timer->resize(0, image_timer->height());
        return;
    }
    image_timer->resize(barWidth(m_round.barStep(), left), image_timer->height());
    QPalette pal = label_timer->palette();
    pal.setColor(QPalette::WindowText, left >= 20 ? kTimerCalm : kTimerHurry);
    label_timer->setPalette(pal);
    label_timer->setText(countdownText(left));
}

void BoardView::resetCountdown()
{
    label_timer->setText(countdownText(0));
    image_timer->resize(RoundModel::BarWidth, image_timer->height());
}
