// Tchat: what the window does with the game messages of a round: the game start,
// each round, the current word and its pattern, check marks and word counts, the
// end of a round, the score panel, the winner, and the catch-up of a window that
// arrives while a game runs.
#include "tchat.h"

#include "boardpictures.h"
#include "look.h"
#include "message.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using namespace vexlo;

namespace {

const QString kWaiting = QStringLiteral("<Waiting>");

QLabel *makeLabel(QWidget *parent, const QString &name, QRect geometry, const QFont &font)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setGeometry(geometry);
    l->setFont(font);
    return l;
}

int barStepFor(int seconds)
{
    return seconds > 0 ? 258 / seconds : 0;
}

} // namespace

void Tchat::buildRoundDisplay()
{
    label_wordcount = makeLabel(panel_board, QStringLiteral("label_wordcount"), QRect(281, 53, 194, 22), look::arial(19));
    label_wordcount->setAlignment(Qt::AlignCenter);
    const QPixmap check = look::checkMarkPicture();
    for (int i = 1; i <= 10; ++i) {
        QLabel *c = makeLabel(panel_board, QStringLiteral("image_check") + QString::number(i),
                              QRect(523 + 19 * (i - 1), 23, 17, 19), look::arial(8));
        c->setPixmap(check);
        c->hide();
    }
    image_goodjob = makeLabel(panel_board, QStringLiteral("image_goodjob"), QRect(296, 128, 161, 35), look::arial(8));
    image_goodjob->setPixmap(look::goodJobPicture());
    image_goodjob->hide();

    // The score panel lies over the board, a light sheet with dark writing; its
    // marks get their pictures.
    panel_scores->raise();
    QPalette sheet = panel_scores->palette();
    sheet.setColor(QPalette::Window, QColor(244, 230, 204));
    sheet.setColor(QPalette::WindowText, QColor(48, 28, 8));
    panel_scores->setPalette(sheet);
    panel_scores->setAutoFillBackground(true);
    const QPixmap bonus = look::bonusPicture();
    const QPixmap fastest = look::fastestPicture();
    for (int i = 1; i <= 6; ++i) {
        if (QLabel *b = slotWidget<QLabel>("image_bonus", i))
            b->setPixmap(bonus);
        if (QLabel *f = slotWidget<QLabel>("image_fastest", i))
            f->setPixmap(fastest);
    }

    // The winner panel over the score panel's lower edge: the text over its shadow.
    panel_winner = new QWidget(panel_board);
    panel_winner->setObjectName(QStringLiteral("panel_winner"));
    panel_winner->setGeometry(138, 275, 609, 38);
    panel_winner->setStyleSheet(QStringLiteral(
        "#panel_winner { background: rgb(24, 48, 110); border: 1px solid rgb(120, 80, 40); border-radius: 6px; }"));
    panel_winner->setAttribute(Qt::WA_StyledBackground);
    label_winner2 = makeLabel(panel_winner, QStringLiteral("label_winner2"), QRect(3, 5, 605, 24), look::arial(21, true));
    label_winner1 = makeLabel(panel_winner, QStringLiteral("label_winner1"), QRect(2, 7, 605, 24), look::arial(21, true));
    for (QLabel *l : {label_winner1, label_winner2}) {
        l->setAlignment(Qt::AlignCenter);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, l == label_winner1 ? QColor(255, 218, 176) : QColor(128, 128, 128));
        l->setPalette(pal);
    }
    panel_winner->hide();
}

// --- helpers ---

void Tchat::setword(int index, const QByteArray &pattern)
{
    if (pattern.isEmpty() || index <= 0)
        return;
    label_wordcount->setText(wordCountText(index));
    for (int i = 1; i <= 5; ++i)
        setTile(image_gap[size_t(i)], i <= pattern.size() ? numofletter(pattern[i - 1]) : 0);
}

void Tchat::clearall()
{
    image_goodjob->hide();
    button_pass->hide();
    button_clear->hide();
    for (int i = 1; i <= 10; ++i)
        if (QLabel *c = slotWidget<QLabel>("image_check", i))
            c->hide();
    for (int i = 1; i <= 5; ++i) {
        showNothing(image_gap[size_t(i)]);
        showNothing(image_word[size_t(i)]);
    }
    for (int i = 1; i <= 6; ++i) {
        if (QLabel *l = slotWidget<QLabel>("label_score", i))
            l->setText(QStringLiteral("0"));
        if (QLabel *l = slotWidget<QLabel>("label_ascore", i))
            l->clear();
        if (QLabel *l = slotWidget<QLabel>("label_words", i))
            l->clear();
    }
}

namespace {

void emptyAnswer(Tchat *w)
{
    for (int i = 1; i <= 5; ++i)
        w->setTile(w->image_word[size_t(i)], 0);
    w->letterstyped = 0;
}

} // namespace

// --- the messages ---

void Tchat::startthegame(const QByteArray &args)
{
    image_goodjob->hide();
    turntime.stop();
    button_start->hide();
    JustWatch1->setChecked(false);
    panel_winner->hide();
    panel_scores->hide();
    clearall();
    m_gameRunning = true;

    FieldReader f(args);
    const QByteArray name = f.field();
    const QByteArray rounds = f.field();
    const QByteArray seconds = f.field();
    sessionLine(QString::fromLatin1(name) + QStringLiteral(" has started a game."));
    roundtotal = QString::fromLatin1(rounds);
    creationtime = number(seconds);
    barstep = barStepFor(creationtime);
    label_timer->setProperty("tag", creationtime);
    image_timer->setProperty("tag", barstep);
}

void Tchat::startround(const QByteArray &args)
{
    image_goodjob->hide();
    FieldReader f(args);
    label_roundnum->setText(QStringLiteral("Round: ") + QString::fromLatin1(f.field()) + QStringLiteral(" of ")
                            + roundtotal);
    panel_scores->hide();
    for (int i = 1; i <= 6; ++i) {
        if (QLabel *l = slotWidget<QLabel>("image_bonus", i))
            l->hide();
        if (QLabel *l = slotWidget<QLabel>("image_fastest", i))
            l->hide();
        if (QLabel *l = slotWidget<QLabel>("label_ascore", i))
            l->clear();
        if (QListWidget *l = slotWidget<QListWidget>("listbox_player", i))
            l->clear();
        if (QLabel *l = slotWidget<QLabel>("label_words", i))
            l->clear();
    }
    for (int i = 1; i <= 10; ++i)
        if (QLabel *c = slotWidget<QLabel>("image_check", i))
            c->hide();
    turntime.stop();
    secondsleft = creationtime;
    turntime.start();
}

void Tchat::getnextplayer(const QByteArray &args)
{
    image_goodjob->hide();
    FieldReader f(args);
    inputowner = f.numberField();
    emptyAnswer(this);
    const int index = f.numberField();
    setword(index, f.field());
    if (myslot > seatcount) {
        label_status->setText(QStringLiteral("The Players are Creating Words."));
        return;
    }
    forceBoardMode();
    inputowner = myslot;
    button_pass->show();
    button_clear->show();
    label_status->setText(QStringLiteral("Type a Word - Press ENTER to submit your word."));
    const QAction *newSound = findChild<QAction *>(QStringLiteral("New1"));
    playsounds(newSound && newSound->isChecked() ? QStringLiteral("turnnew") : QStringLiteral("turn"));
}

void Tchat::newword(const QByteArray &args)
{
    image_goodjob->hide();
    FieldReader f(args);
    if (f.numberField() != myslot)
        return;
    inputowner = myslot;
    const int done = f.numberField();
    if (done != 0) {
        if (QLabel *c = slotWidget<QLabel>("image_check", done))
            c->show();
        playsounds(QStringLiteral("goodword"));
    }
    emptyAnswer(this);
    const int next = f.numberField();
    setword(next, f.field());
    if (myslot <= seatcount) {
        button_pass->show();
        button_clear->show();
        label_status->setText(QStringLiteral("Create Another Word"));
    }
}

void Tchat::invalid(const QByteArray &args)
{
    image_goodjob->hide();
    FieldReader f(args);
    const int slot = f.numberField();
    if (slot != myslot)
        return;
    const QByteArray reason = f.field();
    if (reason == "1")
        label_status->setText(QStringLiteral("Invalid Match"));
    else if (reason == "2")
        label_status->setText(QStringLiteral("Invalid Word"));
    inputowner = slot;
    if (AutoErase1->isChecked())
        hitclear();
    playsounds(QStringLiteral("invalid"));
}

void Tchat::allfilled(const QByteArray &args)
{
    FieldReader f(args);
    if (f.numberField() != myslot)
        return;
    inputowner = 0;
    forceChatMode();
    image_goodjob->show();
    const QByteArray doneField = f.field();
    const int done = doneField.isEmpty() ? 0 : number(doneField);
    if (done != 0)
        if (QLabel *c = slotWidget<QLabel>("image_check", done))
            c->show();
    button_clear->hide();
    button_pass->hide();
    for (int i = 1; i <= 5; ++i) {
        showNothing(image_word[size_t(i)]);
        showNothing(image_gap[size_t(i)]);
    }
    label_status->setText(QStringLiteral("You guessed all the words!"));
    label_wordcount->clear();
    playsounds(QStringLiteral("allfilled"));
}

void Tchat::hiscount(const QByteArray &args)
{
    FieldReader f(args);
    const int slot = f.numberField();
    if (QLabel *l = slotWidget<QLabel>("label_words", slot))
        l->setText(QString::fromLatin1(f.field()));
}

void Tchat::timeup(const QByteArray &)
{
    inputowner = 0;
    button_clear->show();
    button_pass->show();
    label_status->setText(QStringLiteral("Time is Up."));
    playsounds(QStringLiteral("timeup"));
}

void Tchat::alldone(const QByteArray &)
{
    if (image_goodjob->isHidden() && myslot < 7)
        image_goodjob->show();
    label_status->setText(QStringLiteral("All players completed the list."));
    inputowner = 0;
    turntime.stop();
}

void Tchat::postscores(const QByteArray &args)
{
    inputowner = 0;
    FieldReader f(args);
    const QByteArray first = f.field();
    if (first != "0") {
        int seat = 0;
        if (toNumber(first, &seat))
            if (QLabel *mark = slotWidget<QLabel>("image_fastest", seat))
                mark->show();
    }
    label_scoreround->setText(label_roundnum->text());
    forceChatMode();
    listbox_original->clear();
    for (int i = 1; i <= 6; ++i) {
        if (QLabel *l = slotWidget<QLabel>("label_name", i))
            l->setText(seatText(i));
        if (QLabel *l = slotWidget<QLabel>("image_bonus", i))
            l->hide();
        if (QLabel *l = slotWidget<QLabel>("label_ascore", i))
            l->clear();
        if (QListWidget *l = slotWidget<QListWidget>("listbox_player", i))
            l->clear();
    }

    f.beginGroups();
    while (f.moreGroups()) {
        const int slot = f.numberField();
        const int kind = f.numberField();
        const QString value = QString::fromLatin1(f.field());
        const bool seated = seatText(slot) != kWaiting;
        switch (kind) {
        case 0:
        case 1:
            if (seated)
                if (QListWidget *l = slotWidget<QListWidget>("listbox_player", slot))
                    l->addItem(kind == 0 ? value.toUpper() : value);
            break;
        case 2:
            if (QLabel *l = slotWidget<QLabel>("label_ascore", slot))
                l->setText(QStringLiteral("Score: ") + value);
            break;
        case 3:
            if (QLabel *l = slotWidget<QLabel>("label_score", slot))
                l->setText(value);
            break;
        case 4:
            if (QLabel *l = slotWidget<QLabel>("image_bonus", slot))
                l->show();
            break;
        case 5:
            listbox_original->addItem(value);
            break;
        default:
            break;
        }
    }

    panel_scores->move(4, 1);
    panel_scores->show();
    panel_scores->raise();
    if (!panel_winner->isHidden())
        panel_winner->raise();
    playsounds(QStringLiteral("postscores"));
}

void Tchat::winner(const QByteArray &args)
{
    image_goodjob->hide();
    forceChatMode();
    m_gameRunning = false;
    playsounds(QStringLiteral("winner"));
    FieldReader f(args);
    const QString name = QString::fromLatin1(f.field());
    const bool seated = myslot >= 1 && myslot <= seatcount;
    const bool won = seated && seatText(myslot) == name;
    const QString text = won ? QStringLiteral("You have Won the Game!") : name + QStringLiteral(" has Won the Game!");
    label_winner1->setText(text);
    label_winner2->setText(text);
    label_status->setText(QStringLiteral("Game Over!"));
    sessionLine(text);
    panel_winner->show();
    panel_winner->raise();
    if (ishost)
        button_start->show();
    if (seated && addgameHook)
        addgameHook(won ? QStringLiteral("addtomine") : name);
}

void Tchat::loadstats(const QByteArray &args)
{
    FieldReader f(args);
    if (f.numberField() != myslot)
        return;
    m_gameRunning = true;
    creationtime = f.numberField();
    barstep = barStepFor(creationtime);
    label_timer->setProperty("tag", creationtime);
    image_timer->setProperty("tag", barstep);
    const int left = f.numberField();
    roundtotal = QString::fromLatin1(f.field());
    label_roundnum->setText(QStringLiteral("Round: ") + QString::fromLatin1(f.field()) + QStringLiteral(" of ")
                            + roundtotal);
    const int phase = f.numberField();

    f.beginGroups();
    while (f.moreGroups()) {
        const QByteArray slotField = f.field();
        const QByteArray total = f.field();
        const QByteArray words = f.field();
        int slot = 0;
        if (!toNumber(slotField, &slot))
            continue; // one bad entry does not stop the others
        if (QLabel *l = slotWidget<QLabel>("label_score", slot))
            l->setText(QString::fromLatin1(total));
        if (QLabel *l = slotWidget<QLabel>("label_words", slot))
            l->setText(QString::fromLatin1(words));
    }

    if (phase == 1) {
        if (myslot > seatcount) {
            label_status->setText(QStringLiteral("The Players are Creating Words."));
            return;
        }
        turntime.stop();
        secondsleft = left;
        turntime.start();
        forceBoardMode();
        inputowner = myslot;
        button_pass->show();
        button_clear->show();
        label_status->setText(QStringLiteral("Create A Word"));
        const QAction *newSound = findChild<QAction *>(QStringLiteral("New1"));
        playsounds(newSound && newSound->isChecked() ? QStringLiteral("turnnew") : QStringLiteral("turn"));
    } else if (phase == 2) {
        label_status->setText(QStringLiteral("Players are looking at their words."));
    }
}
