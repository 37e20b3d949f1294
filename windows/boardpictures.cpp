#include "boardpictures.h"

#include "look.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace vexlo::look {

namespace {

// Text with a one-pixel dark shadow below and right.
void shadowText(QPainter &p, const QRectF &r, const QString &text, const QColor &ink, int flags = Qt::AlignCenter)
{
    p.setPen(QColor(40, 16, 0, 170));
    p.drawText(r.translated(1, 1), flags, text);
    p.setPen(ink);
    p.drawText(r, flags, text);
}

} // namespace

QPixmap letterTile(int number, qreal scale)
{
    QPixmap pm = canvas(44, 44, scale);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, 43, 43);
    // The edge, a little darker below: the tile stands on the board.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(122, 84, 40));
    p.drawRoundedRect(r, 6, 6);
    QLinearGradient face(0, 0, 0, 44);
    face.setColorAt(0, QColor(255, 244, 214));
    face.setColorAt(1, QColor(236, 206, 150));
    p.setBrush(face);
    p.drawRoundedRect(r.adjusted(1.5, 1, -1.5, -3), 5, 5);
    p.setPen(QPen(QColor(255, 255, 255, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(6, 2.5), QPointF(38, 2.5));
    if (number >= 1 && number <= 26) {
        QFont f = arial(28, true);
        p.setFont(f);
        const QString letter(QChar(u'A' + (number - 1)));
        p.setPen(QColor(255, 255, 255, 160));
        p.drawText(QRectF(0, 1, 44, 40), Qt::AlignCenter, letter);
        p.setPen(QColor(70, 36, 8));
        p.drawText(QRectF(0, 0, 44, 40), Qt::AlignCenter, letter);
    }
    return pm;
}

QPixmap checkMarkPicture()
{
    QPixmap pm = canvas(17, 19);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tick;
    tick.moveTo(2, 10);
    tick.lineTo(6.5, 15.5);
    tick.lineTo(15, 3);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(10, 60, 10), 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.setPen(QPen(QColor(90, 220, 70), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    return pm;
}

QPixmap goodJobPicture()
{
    QPixmap pm = canvas(161, 35);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(1, 1, 159, 33);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(120, 210, 90));
    g.setColorAt(1, QColor(30, 120, 30));
    p.setPen(QPen(QColor(10, 60, 10), 1.5));
    p.setBrush(g);
    p.drawRoundedRect(r, 12, 12);
    // A small star each side.
    auto star = [&p](QPointF c, qreal radius) {
        QPainterPath s;
        for (int k = 0; k < 10; ++k) {
            const qreal a = -M_PI / 2 + k * M_PI / 5;
            const qreal rr = (k % 2) ? radius * 0.45 : radius;
            const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
            k == 0 ? s.moveTo(pt) : s.lineTo(pt);
        }
        s.closeSubpath();
        p.setPen(QPen(QColor(120, 70, 0), 1));
        p.setBrush(QColor(255, 222, 70));
        p.drawPath(s);
    };
    star(QPointF(17, 17.5), 9);
    star(QPointF(144, 17.5), 9);
    QFont f = arial(19, true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    p.setFont(f);
    shadowText(p, QRectF(0, 0, 161, 35), QStringLiteral("GOOD JOB!"), QColor(255, 252, 232));
    return pm;
}

QPixmap bonusPicture()
{
    QPixmap pm = canvas(55, 17);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 17);
    g.setColorAt(0, QColor(255, 226, 110));
    g.setColorAt(1, QColor(214, 148, 20));
    p.setPen(QPen(QColor(110, 60, 0), 1));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(0.5, 0.5, 54, 16), 7, 7);
    p.setFont(arial(11, true));
    p.setPen(QColor(90, 36, 0));
    p.drawText(QRectF(0, 0, 55, 17), Qt::AlignCenter, QStringLiteral("BONUS"));
    return pm;
}

QPixmap fastestPicture()
{
    QPixmap pm = canvas(16, 16);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(6, 6), 9);
    g.setColorAt(0, QColor(255, 150, 120));
    g.setColorAt(1, QColor(190, 20, 20));
    p.setPen(QPen(QColor(90, 0, 0), 1));
    p.setBrush(g);
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setFont(arial(11, true));
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("1"));
    return pm;
}

QPixmap timerBarPicture()
{
    QPixmap pm = canvas(258, 21);
    const QRect bar(0, 0, 258, 21);
    QPainter p(&pm);
    QLinearGradient across(0, 0, 258, 0);
    across.setColorAt(0, QColor(196, 24, 16));
    across.setColorAt(0.35, QColor(232, 150, 24));
    across.setColorAt(0.7, QColor(120, 190, 40));
    across.setColorAt(1, QColor(30, 150, 60));
    p.fillRect(bar, across);
    // A soft shine on the upper half.
    QLinearGradient shine(0, 0, 0, 21);
    shine.setColorAt(0, QColor(255, 255, 255, 110));
    shine.setColorAt(0.5, QColor(255, 255, 255, 20));
    shine.setColorAt(1, QColor(0, 0, 0, 60));
    p.fillRect(bar, shine);
    p.setPen(QColor(60, 20, 0, 160));
    p.drawLine(0, 20, 257, 20);
    return pm;
}

QPixmap boardButtonPicture(const QString &caption, const QString &key)
{
    QPixmap pm = canvas(172, 43);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(1, 1, 170, 41);
    paintGlossyFace(p, r, QColor(110, 160, 236), QColor(48, 96, 196), QColor(20, 52, 130),
                    QColor(8, 22, 70), QColor(210, 228, 255, 140));
    QFont big = arial(17, true);
    big.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    p.setFont(big);
    shadowText(p, QRectF(0, 3, 172, 22), caption, QColor(255, 250, 236));
    p.setFont(arial(11, true));
    shadowText(p, QRectF(0, 24, 172, 14), key, QColor(255, 218, 176));
    return pm;
}

QPixmap checkBoxPicture(bool checked)
{
    QPixmap pm = canvas(20, 20);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(106, 74, 42), 1));
    p.setBrush(peach());
    p.drawRoundedRect(QRectF(1.5, 1.5, 17, 17), 3, 3);
    if (checked) {
        QPainterPath tick;
        tick.moveTo(5, 10.5);
        tick.lineTo(8.5, 14.5);
        tick.lineTo(15, 5.5);
        p.setPen(QPen(QColor(30, 60, 150), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    }
    return pm;
}

} // namespace vexlo::look
