#pragma once
// The baseline the in-memory dictionary replaces: the record image written once to
// a file and searched there, one seek and one 15-byte read per probe of the binary
// search, every record's text normalised as it is read, equal records walked back.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class DiskLookup
{
public:
    // Writes image to path and opens it; isOpen() tells whether that worked.
    DiskLookup(const QString &path, const QByteArray &image);
    ~DiskLookup();
    DiskLookup(const DiskLookup &) = delete;
    DiskLookup &operator=(const DiskLookup &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int FindWord(QByteArrayView key) const;
    bool IsWord(QByteArrayView word) const { return FindWord(word) >= 0; }

private:
    bool readText(long index, char (&text)[15]) const;

    int m_fd = -1;
    long m_lastIndex = -1;
};
