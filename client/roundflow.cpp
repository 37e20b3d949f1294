// Tchat: what the window does with the game messages of a round: the game start,
// each round, the current word and its pattern, check marks and word counts, the
// end of a round, the score panel, the winner, and the catch-up of a window that
// arrives while a game runs.
#include "tchat.h"

#include "boardpictures.h"
#include "look.h"
#include "message.h"
#include "narrator.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using namespace vexlo;

void Tchat::buildRoundDisplay()
{
    // The score panel lies over the board, a light sheet with dark writing; its
    // marks get their pictures.
    panel_scores->raise();
    panel_scores->applySheet();

    // The winner panel over the score panel's lower edge.
    panel_winner = new WinnerPanel(panel_board);

    connect(&roundModel, &RoundModel::roundChanged, this, [this] { label_roundnum->setText(roundModel.roundText()); });
    connect(&roundModel, &RoundModel::statusChanged, label_status, &QLabel::setText);
}

// --- helpers ---

void Tchat::setword(int index, const QByteArray &pattern)
{
    if (pattern.isEmpty() || index <= 0)
        return;
    roundModel.setWord(index, pattern);
    boardView->setWordIndex(index);
    for (int i = 1; i <= 5; ++i)
        boardView->setTile(BoardView::Gap, i, i <= pattern.size() ? numofletter(pattern[i - 1]) : 0);
}

void Tchat::clearall()
{
    boardView->hidePraise();
    boardView->hideButtons();
    boardView->hideChecks();
    boardView->emptyRow(BoardView::Gap);
    boardView->emptyRow(BoardView::Word);
    seats.resetScores();
    panel_scores->clearScores();
}

namespace {

void emptyAnswer(Tchat *w)
{
    w->boardView->blankRow(BoardView::Word);
    w->roundModel.clearLetters();
}

} // namespace

// --- the messages ---

void Tchat::startthegame(const QByteArray &args)
{
    boardView->hidePraise();
    turntime.stop();
    button_start->hide();
    seats.setLocalWatching(false);
    panel_winner->hide();
    panel_scores->hide();
    clearall();

    FieldReader f(args);
    const QByteArray name = f.field();
    const QByteArray rounds = f.field();
    const QByteArray seconds = f.field();
    sessionLine(QString::fromLatin1(name) + QStringLiteral(" has started a game."));
    roundModel.startGame(QString::fromLatin1(rounds), number(seconds));
}

void Tchat::startround(const QByteArray &args)
{
    boardView->hidePraise();
    FieldReader f(args);
    roundModel.setRound(QString::fromLatin1(f.field()));
    roundModel.setPhase(1);
    panel_scores->hide();
    panel_scores->clearRound();
    for (int i = 1; i <= 6; ++i)
        seats.setWords(i, QString());
    boardView->hideChecks();
    turntime.stop();
    roundModel.startCountdown(roundModel.creationTime());
    turntime.start();
}

void Tchat::getnextplayer(const QByteArray &args)
{
    boardView->hidePraise();
    FieldReader f(args);
    roundModel.setInputOwner(f.numberField());
    emptyAnswer(this);
    const int index = f.numberField();
    setword(index, f.field());
    if (myslot > seatcount) {
        roundModel.setStatus(QStringLiteral("The Players are Creating Words."));
        return;
    }
    forceBoardMode();
    roundModel.setInputOwner(myslot);
    boardView->showButtons();
    roundModel.setStatus(QStringLiteral("Type a Word - Press ENTER to submit your word."));
    playsounds(options.turnSound == 1 ? QStringLiteral("turnnew") : QStringLiteral("turn"));
}

void Tchat::newword(const QByteArray &args)
{
    boardView->hidePraise();
    FieldReader f(args);
    if (f.numberField() != myslot)
        return;
    roundModel.setInputOwner(myslot);
    const int done = f.numberField();
    if (done != 0) {
        boardView->showCheck(done);
        roundModel.markWordDone(done);
        playsounds(QStringLiteral("goodword"));
    }
    emptyAnswer(this);
    const int next = f.numberField();
    setword(next, f.field());
    if (myslot <= seatcount) {
        boardView->showButtons();
        roundModel.setStatus(QStringLiteral("Create Another Word"));
    }
}

void Tchat::invalid(const QByteArray &args)
{
    boardView->hidePraise();
    FieldReader f(args);
    const int slot = f.numberField();
    if (slot != myslot)
        return;
    const QByteArray reason = f.field();
    if (reason == "1")
        roundModel.setStatus(QStringLiteral("Invalid Match"));
    else if (reason == "2")
        roundModel.setStatus(QStringLiteral("Invalid Word"));
    roundModel.setInputOwner(slot);
    if (options.autoErase)
        hitclear();
    playsounds(QStringLiteral("invalid"));
}

void Tchat::allfilled(const QByteArray &args)
{
    FieldReader f(args);
    if (f.numberField() != myslot)
        return;
    roundModel.setInputOwner(0);
    forceChatMode();
    boardView->showPraise();
    const QByteArray doneField = f.field();
    const int done = doneField.isEmpty() ? 0 : number(doneField);
    if (done != 0) {
        boardView->showCheck(done);
        roundModel.markWordDone(done);
    }
    boardView->hideButtons();
    boardView->emptyRow(BoardView::Word);
    boardView->emptyRow(BoardView::Gap);
    roundModel.setStatus(QStringLiteral("You guessed all the words!"));
    boardView->clearWordLabel();
    playsounds(QStringLiteral("allfilled"));
}

void Tchat::hiscount(const QByteArray &args)
{
    FieldReader f(args);
    const int slot = f.numberField();
    seats.setWords(slot, QString::fromLatin1(f.field()));
}

void Tchat::timeup(const QByteArray &)
{
    roundModel.setInputOwner(0);
    roundModel.setPhase(2);
    boardView->showButtons();
    roundModel.setStatus(QStringLiteral("Time is Up."));
    playsounds(QStringLiteral("timeup"));
}

void Tchat::alldone(const QByteArray &)
{
    if (myslot < 7)
        boardView->showPraise();
    roundModel.setStatus(QStringLiteral("All players completed the list."));
    roundModel.setInputOwner(0);
    turntime.stop();
}

void Tchat::postscores(const QByteArray &args)
{
    roundModel.setInputOwner(0);
    lastScores = ScoreReport::parse(args);
    forceChatMode();
    panel_scores->fill(lastScores, seats, roundModel.roundText());
    for (int slot = 1; slot <= ScoreReport::SeatCount; ++slot)
        if (const auto &total = lastScores.seats[size_t(slot)].total)
            seats.setTotal(slot, *total);
    if (lastScores.error)
        std::rethrow_exception(lastScores.error); // what came before stays; the panel stays hidden

    narrator->scoresPosted(lastScores);
    panel_scores->move(4, 1);
    panel_scores->show();
    panel_scores->raise();
    if (!panel_winner->isHidden())
        panel_winner->raise();
    playsounds(QStringLiteral("postscores"));
}

void Tchat::winner(const QByteArray &args)
{
    boardView->hidePraise();
    forceChatMode();
    roundModel.endGame();
    playsounds(QStringLiteral("winner"));
    FieldReader f(args);
    const QString name = QString::fromLatin1(f.field());
    const bool seated = myslot >= 1 && myslot <= seatcount;
    const bool won = seated && seats.shownName(myslot) == name;
    const QString text = won ? QStringLiteral("You have Won the Game!") : name + QStringLiteral(" has Won the Game!");
    panel_winner->setText(text);
    narrator->winnerTold(text);
    roundModel.setStatus(QStringLiteral("Game Over!"));
    sessionLine(text);
    panel_winner->show();
    panel_winner->raise();
    if (ishost)
        button_start->show();
    if (seated)
        Q_EMIT gameRecorded(won ? QStringLiteral("addtomine") : name);
}

void Tchat::loadstats(const QByteArray &args)
{
    FieldReader f(args);
    if (f.numberField() != myslot)
        return;
    const int creation = f.numberField();
    const int left = f.numberField();
    roundModel.startGame(QString::fromLatin1(f.field()), creation);
    roundModel.setRound(QString::fromLatin1(f.field()));
    const int phase = f.numberField();
    roundModel.setPhase(phase);

    f.beginGroups();
    while (f.moreGroups()) {
        const QByteArray slotField = f.field();
        const QByteArray total = f.field();
        const QByteArray words = f.field();
        int slot = 0;
        if (!toNumber(slotField, &slot))
            continue; // one bad entry does not stop the others
        seats.setTotal(slot, QString::fromLatin1(total));
        seats.setWords(slot, QString::fromLatin1(words));
    }

    if (phase == 1) {
        if (myslot > seatcount) {
            roundModel.setStatus(QStringLiteral("The Players are Creating Words."));
            return;
        }
        turntime.stop();
        roundModel.startCountdown(left);
        turntime.start();
        forceBoardMode();
        roundModel.setInputOwner(myslot);
        boardView->showButtons();
        roundModel.setStatus(QStringLiteral("Create A Word"));
        playsounds(options.turnSound == 1 ? QStringLiteral("turnnew") : QStringLiteral("turn"));
    } else if (phase == 2) {
        roundModel.setStatus(QStringLiteral("Players are looking at their words."));
    }
}
