#pragma once
// Menu entries whose texts come from elsewhere (tile-set names, sound titles)
// get an underlined letter too: the first letter or digit, word starts first,
// that no earlier entry of the same menu underlines.
#include <QAction>
#include <QMenu>
#include <QString>

namespace vexlo {

inline QString withMnemonic(const QString &text, const QMenu *menu)
{
    QString taken;
    for (const QAction *a : menu->actions()) {
        const QString t = a->text();
        const qsizetype at = t.indexOf(QLatin1Char('&'));
        if (at >= 0 && at + 1 < t.size())
            taken += t.at(at + 1).toLower();
    }
    QString plain = text;
    plain.replace(QLatin1Char('&'), QStringLiteral("&&"));
    auto free = [&](qsizetype i) { return plain.at(i).isLetterOrNumber() && !taken.contains(plain.at(i).toLower()); };
    for (int pass = 0; pass < 2; ++pass)
        for (qsizetype i = 0; i < plain.size(); ++i) {
            const bool wordStart = i == 0 || !plain.at(i - 1).isLetterOrNumber();
            if ((pass == 1 || wordStart) && free(i) && (i == 0 || plain.at(i - 1) != QLatin1Char('&')))
                return plain.left(i) + QLatin1Char('&') + plain.mid(i);
        }
    return plain;
}

} // namespace vexlo
