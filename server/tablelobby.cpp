// Opening tables, placing connections in them, and ending them.
#include "tablelobby.h"

int LobbyTable::lowestFree(int from, int to) const
{
    for (int s = from; s <= to; ++s)
        if (occupant[static_cast<size_t>(s)] == 0)
            return s;
    return 0;
}

TableLobby::TableLobby(int most, const TDictn *spell, const TargetList *words)
    : m_most(std::clamp(most, 1, kMostTables)), m_spell(spell), m_words(words)
{
}

void TableLobby::setSeed(quint32 seed)
{
    m_seeded = true;
    m_seed = seed;
}

LobbyTable *TableLobby::table(int number)
{
    const auto it = m_tables.find(number);
    return it == m_tables.end() || it->second->ended ? nullptr : it->second.get();
}

const LobbyTable *TableLobby::table(int number) const
{
    const auto it = m_tables.find(number);
    return it == m_tables.end() || it->second->ended ? nullptr : it->second.get();
}

void TableLobby::occupy(LobbyTable &t, int slot, quint64 connection)
{
    t.occupant[static_cast<size_t>(slot)] = connection;
    t.loggedIn[static_cast<size_t>(slot)] = false;
    (slot <= kSeatCount ? t.seated : t.watchers) += 1;
    t.rules.opened(slot);
    reindex(t);
    markChanged(t.number);
}

// Files the table for placement under its present connections and game.
void TableLobby::reindex(LobbyTable &t)
{
    const std::tuple<int, quint64, int> key{-t.connections(), t.age, t.number};
    const bool seatable = !t.ended && !t.rules.gameInProgress() && t.seated < kSeatCount;
    const bool watchable = !t.ended && t.watchers < kMaxSlots - kSeatCount;
    if (key == t.filed && seatable == t.filedSeatable && watchable == t.filedWatchable)
        return; // filed as it is
    if (t.filedSeatable)
        m_seatable.erase(t.filed);
    if (t.filedWatchable)
        m_watchable.erase(t.filed);
    t.filed = key;
    t.filedSeatable = seatable;
    t.filedWatchable = watchable;
    if (t.filedSeatable)
        m_seatable.insert(t.filed);
    if (t.filedWatchable)
        m_watchable.insert(t.filed);
}

TableLobby::Place TableLobby::placeNewcomer(quint64 connection)
{
    if (!m_seatable.empty()) {
        LobbyTable &t = *m_tables.at(std::get<2>(*m_seatable.begin()));
        const int slot = t.lowestFree(1, kSeatCount);
        occupy(t, slot, connection);
        return {t.number, slot};
    }
    Refusal why = Refusal::None;
    if (const Place p = openTable(connection, &why); p.table != 0)
        return p;
    if (!m_watchable.empty()) {
        LobbyTable &t = *m_tables.at(std::get<2>(*m_watchable.begin()));
        const int slot = t.lowestFree(kSeatCount + 1, kMaxSlots);
        occupy(t, slot, connection);
        return {t.number, slot};
    }
    return {};
}

TableLobby::Place TableLobby::sit(quint64 connection, int number, Refusal *why)
{
    LobbyTable *t = table(number);
    if (!t) {
        *why = Refusal::NoSuchTable;
        return {};
    }
    const int slot = t->lowestFree(1, kSeatCount);
    if (slot == 0) {
        *why = Refusal::NoFreeSeat;
        return {};
    }
    occupy(*t, slot, connection);
    return {number, slot};
}

TableLobby::Place TableLobby::watch(quint64 connection, int number, Refusal *why)
{
    LobbyTable *t = table(number);
    if (!t) {
        *why = Refusal::NoSuchTable;
        return {};
    }
    const int slot = t->lowestFree(kSeatCount + 1, kMaxSlots);
    if (slot == 0) {
        *why = Refusal::NoFreeWatcherSlot;
        return {};
    }
    occupy(*t, slot, connection);
    return {number, slot};
}

TableLobby::Place TableLobby::openTable(quint64 connection, Refusal *why)
{
    if (m_live >= m_most) {
        *why = Refusal::AllTablesOpen;
        return {};
    }
    int number = m_nextNumber;
    if (!m_freeNumbers.empty()) {
        number = *m_freeNumbers.begin();
        m_freeNumbers.erase(m_freeNumbers.begin());
    } else {
        ++m_nextNumber;
    }
    auto t = std::make_unique<LobbyTable>(number, ++m_opened, m_spell, m_words);
    if (m_seeded)
        t->rules.random().setSeed(m_seed + static_cast<quint32>(m_opened - 1));
    LobbyTable &ref = *t;
    m_tables[number] = std::move(t);
    ++m_live;
    occupy(ref, 1, connection);
    return {number, 1};
}

void TableLobby::leave(int number, int slot)
{
    LobbyTable *t = table(number);
    if (!t || slot < 1 || slot > kMaxSlots || t->occupant[static_cast<size_t>(slot)] == 0)
        return;
    const auto s = static_cast<size_t>(slot);
    if (t->loggedIn[s])
        t->rules.closed(slot);
    else
        t->rules.vacate(slot);
    t->occupant[s] = 0;
    t->loggedIn[s] = false;
    (slot <= kSeatCount ? t->seated : t->watchers) -= 1;
    t->ended = t->connections() == 0;
    m_live -= t->ended ? 1 : 0;
    reindex(*t);
    markChanged(number);
}

QList<int> TableLobby::sweep()
{
    QList<int> gone;
    for (auto it = m_tables.begin(); it != m_tables.end();) {
        if (it->second->ended) {
            gone << it->first;
            m_freeNumbers.insert(it->first);
            it = m_tables.erase(it);
        } else {
            ++it;
        }
    }
    // Numbers at the top come back to the counter.
    while (!m_freeNumbers.empty() && *m_freeNumbers.rbegin() == m_nextNumber - 1) {
        m_freeNumbers.erase(std::prev(m_freeNumbers.end()));
        --m_nextNumber;
    }
    return gone;
}

void TableLobby::setLoggedIn(int number, int slot, bool on)
{
    LobbyTable *t = table(number);
    if (!t || slot < 1 || slot > kMaxSlots)
        return;
    t->loggedIn[static_cast<size_t>(slot)] = on;
    markChanged(number);
}

void TableLobby::refresh(int number)
{
    LobbyTable *t = table(number);
    if (!t)
        return;
    reindex(*t);
    if (t->shownRound != t->rules.round() || t->shownPlaying != t->rules.gameInProgress())
        markChanged(number);
}

void TableLobby::setGameOver(int number, bool over)
{
    if (LobbyTable *t = table(number)) {
        t->gameOver = over;
        markChanged(number);
    }
}

vexlo::TableInfo TableLobby::info(const LobbyTable &t) const
{
    vexlo::TableInfo i;
    i.number = t.number;
    if (t.rules.gameInProgress()) {
        i.state = vexlo::TableInfo::State::Playing;
        i.round = t.rules.round();
        i.rounds = t.rules.roundsPerGame();
    } else if (t.gameOver) {
        i.state = vexlo::TableInfo::State::GameOver;
    }
    i.seated = t.seated;
    i.watchers = t.watchers;
    for (int s = 1; s <= kMaxSlots; ++s) {
        if (!t.loggedIn[static_cast<size_t>(s)])
            continue;
        const QByteArray &name = t.rules.player(s).name;
        const bool computer = name.endsWith(vexlo::kComputerMark);
        i.computers += computer ? 1 : 0;
        i.people << vexlo::TablePerson{s, computer, name};
    }
    return i;
}

QList<int> TableLobby::takeChanged()
{
    QList<int> out(m_changed.begin(), m_changed.end());
    m_changed.clear();
    for (const int n : out)
        if (LobbyTable *t = table(n)) {
            t->shownRound = t->rules.round();
            t->shownPlaying = t->rules.gameInProgress();
        }
    return out;
}

QByteArray refusalText(TableLobby::Refusal why, int table, int most)
{
    const QByteArray n = QByteArray::number(table);
    switch (why) {
    case TableLobby::Refusal::NoSuchTable: return "There is no table " + n + ".";
    case TableLobby::Refusal::NoFreeSeat: return "Table " + n + " has no free seat.";
    case TableLobby::Refusal::NoFreeWatcherSlot: return "Table " + n + " has no free watcher slot.";
    case TableLobby::Refusal::AllTablesOpen:
        return "All " + QByteArray::number(most) + " tables of this server are in use.";
    case TableLobby::Refusal::None: break;
    }
    return {};
}
