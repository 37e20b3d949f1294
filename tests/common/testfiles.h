#pragma once
// Reading and writing whole files in tests.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

// The file's bytes, or "<missing>" when it cannot be read.
inline QByteArray slurp(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return f.readAll();
}

// Replaces the file with bytes; a test that cannot set up its files stops.
inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write the test file %s", qPrintable(path));
}
