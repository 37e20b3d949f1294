#pragma once
// The target word list: the five-letter words the round engine draws the board
// from, numbered from 0 in the order of resources/words/targets.txt.
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <stdexcept>

// Raised for a damaged target list or an index outside it; carries the message.
class ETargetListException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class TargetList
{
public:
    static constexpr int WordLength = 5;

    // The list built into the program.
    TargetList();
    // A list given as text: one word of five lower-case letters a line, strictly
    // ascending, an optional final newline. Throws ETargetListException otherwise.
    explicit TargetList(QByteArrayView text);

    int count() const { return static_cast<int>(m_words.size()); }
    // The word at index 0 to count() - 1; throws ETargetListException outside.
    const QString &at(int index) const;

private:
    QStringList m_words;
};
