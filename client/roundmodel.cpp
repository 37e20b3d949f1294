#include "roundmodel.h"

void RoundModel::startGame(const QString &roundTotal, int creationTime)
{
    m_roundTotal = roundTotal;
    m_creationTime = creationTime;
    m_barStep = creationTime > 0 ? BarWidth / creationTime : 0;
    m_gameRunning = true;
}

void RoundModel::reset()
{
    m_roundTotal.clear();
    m_creationTime = m_barStep = m_phase = m_wordIndex = m_inputOwner = m_secondsLeft = m_wordsDone = 0;
    m_pattern.clear();
    m_gameRunning = false;
    m_round.clear();
    m_roundText = QStringLiteral("Round: 0 of 0");
    Q_EMIT roundChanged();
    clearLetters();
    setChatMode(true);
    emptyRows();
    m_wordLabel = 0;
    m_checks = {};
    m_praised = m_buttonsShown = false;
    Q_EMIT marksChanged();
    setStatus(welcome());
    Q_EMIT countdownReset();
}

void RoundModel::setRound(const QString &round)
{
    m_round = round;
    m_roundText = QStringLiteral("Round: ") + round + QStringLiteral(" of ") + m_roundTotal;
    m_wordsDone = 0;
    Q_EMIT roundChanged();
}

void RoundModel::setWord(int index, const QByteArray &pattern)
{
    if (pattern.isEmpty() || index <= 0)
        return;
    m_wordIndex = index;
    m_pattern = pattern;
    for (size_t i = 0; i < WordLength; ++i) {
        const char c = qsizetype(i) < pattern.size() ? pattern[qsizetype(i)] : '_';
        m_patternTiles[i] = c >= 'a' && c <= 'z' ? c - 'a' + 1 : 0;
    }
    m_wordLabel = index;
    Q_EMIT tilesChanged();
    Q_EMIT marksChanged();
    Q_EMIT wordChanged();
}

void RoundModel::markWordDone(int n)
{
    if (n < 1 || n > 10)
        return;
    ++m_wordsDone;
    Q_EMIT wordDone(n);
}

bool RoundModel::typeLetter(int tile)
{
    if (m_count >= WordLength)
        return false;
    m_answerTiles[size_t(m_count)] = tile;
    m_letters[size_t(m_count++)] = tile;
    Q_EMIT lettersChanged();
    Q_EMIT tilesChanged();
    return true;
}

bool RoundModel::eraseLetter()
{
    if (m_count == 0)
        return false;
    m_letters[size_t(--m_count)] = 0;
    m_answerTiles[size_t(m_count)] = 0;
    Q_EMIT lettersChanged();
    Q_EMIT tilesChanged();
    return true;
}

void RoundModel::clearLetters()
{
    m_letters = {};
    m_count = 0;
    m_answerTiles = {};
    Q_EMIT lettersChanged();
    Q_EMIT tilesChanged();
    Q_EMIT lettersCleared();
}

void RoundModel::setChatMode(bool chat)
{
    if (chat == m_chatMode)
        return;
    m_chatMode = chat;
    Q_EMIT chatModeChanged(chat);
}

void RoundModel::tick()
{
    m_secondsLeft = m_secondsLeft > 1 ? m_secondsLeft - 1 : 0;
    Q_EMIT ticked(m_secondsLeft);
}

// --- what the board shows ---

void RoundModel::emptyRows()
{
    m_patternTiles.fill(NoTile);
    m_answerTiles.fill(NoTile);
    Q_EMIT tilesChanged();
}

void RoundModel::fillEmptyTiles()
{
    for (auto *row : {&m_patternTiles, &m_answerTiles})
        for (int &tile : *row)
            if (tile == NoTile)
                tile = 0;
    Q_EMIT tilesChanged();
}

void RoundModel::clearWordLabel()
{
    m_wordLabel = 0;
    Q_EMIT marksChanged();
}

void RoundModel::check(int n)
{
    if (n < 1 || n > 10)
        return;
    m_checks[size_t(n)] = true;
    Q_EMIT marksChanged();
}

void RoundModel::clearChecks()
{
    m_checks = {};
    Q_EMIT marksChanged();
}

void RoundModel::setPraise(bool shown)
{
    m_praised = shown;
    Q_EMIT marksChanged();
}

void RoundModel::setButtonsShown(bool shown)
{
    m_buttonsShown = shown;
    Q_EMIT marksChanged();
}

void RoundModel::setStatus(const QString &text)
{
    m_status = text;
    Q_EMIT statusChanged(text);
}
