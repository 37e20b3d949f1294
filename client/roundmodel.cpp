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
    Q_EMIT wordChanged();
}

void RoundModel::markWordDone(int n)
{
    if (n < 1 || n > 10)
        return;
    ++m_wordsDone;
    Q_EMIT wordDone(n);
}

void RoundModel::setStatus(const QString &text)
{
    m_status = text;
    Q_EMIT statusChanged(text);
}

bool RoundModel::typeLetter(int tile)
{
    if (m_count >= WordLength)
        return false;
    m_letters[size_t(m_count++)] = tile;
    Q_EMIT lettersChanged();
    return true;
}

bool RoundModel::eraseLetter()
{
    if (m_count == 0)
        return false;
    m_letters[size_t(--m_count)] = 0;
    Q_EMIT lettersChanged();
    return true;
}

void RoundModel::clearLetters()
{
    m_letters = {};
    m_count = 0;
    Q_EMIT lettersChanged();
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
