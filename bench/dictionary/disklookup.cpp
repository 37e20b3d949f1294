#include "disklookup.h"

#include <QFile>

#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

constexpr int KeyWidth = 15;
constexpr int RecordSize = 15;

// 0x00 becomes a space, leading and trailing spaces go, the rest is padded with
// spaces to the key width and upper-cased. Returns false when nothing is left.
bool normalise(std::string &text)
{
    for (char &c : text) {
        if (c == '\0')
            c = ' ';
    }
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        text.assign(KeyWidth, ' ');
        return false;
    }
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (text.size() < KeyWidth)
        text.resize(KeyWidth, ' ');
    for (char &c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return true;
}

} // namespace

DiskLookup::DiskLookup(const QString &path, const QByteArray &image)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
        return;
    file.close();
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    m_lastIndex = static_cast<long>(image.size() / RecordSize) - 1;
}

DiskLookup::~DiskLookup()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool DiskLookup::readText(long index, char (&text)[15]) const
{
    char record[RecordSize];
    if (::lseek(m_fd, static_cast<off_t>(index) * RecordSize, SEEK_SET) < 0
        || ::read(m_fd, record, RecordSize) != RecordSize)
        return false;
    std::string normal(record + 1, RecordSize - 1);
    normal += ' ';
    normalise(normal);
    std::memcpy(text, normal.data(), KeyWidth);
    return true;
}

int DiskLookup::FindWord(QByteArrayView key) const
{
    if (m_fd < 0)
        return -1;
    std::string normal(key.data(), static_cast<std::size_t>(key.size()));
    if (!normalise(normal) || normal.size() > KeyWidth)
        return -1; // a key longer than the record texts equals none of them
    long low = 0;
    long high = m_lastIndex;
    char text[KeyWidth];
    while (low <= high) {
        long middle = (low + high) / 2;
        if (!readText(middle, text))
            return -1;
        const int order = std::memcmp(text, normal.data(), KeyWidth);
        if (order == 0) {
            while (middle > 0 && readText(middle - 1, text) && std::memcmp(text, normal.data(), KeyWidth) == 0)
                --middle;
            return static_cast<int>(middle);
        }
        if (order > 0)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return -1;
}
