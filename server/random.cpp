#include "random.h"

#include <QDateTime>

quint32 RandomGenerator::timeOfDaySeed()
{
    const QTime t = QDateTime::currentDateTimeUtc().time();
    return static_cast<quint32>(((t.hour() * 60 + t.minute()) * 60 + t.second()) * 1000 + t.msec());
}
