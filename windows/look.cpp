#include "look.h"

#include <QAbstractButton>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QRandomGenerator>
#include <QWidget>

#include <cmath>

namespace vexlo::look {

QFont arial(int pixels, bool bold)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

qreal pictureScale()
{
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
}

QPixmap canvas(int width, int height, qreal scale)
{
    QPixmap pm(QSize(width, height) * scale);
    pm.setDevicePixelRatio(scale);
    pm.fill(Qt::transparent);
    return pm;
}

namespace {

// A deep blue, softly mottled tile that repeats without visible seams: the sum of
// a few sine waves whose periods divide the tile, plus fine fixed-seed grain.
QPixmap drawBackgroundTile()
{
    constexpr int n = 96;
    QImage img(n, n, QImage::Format_RGB32);
    QRandomGenerator grain(1771);
    const double k = 2.0 * M_PI / n;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const double v = 0.45 * std::sin(k * x + 0.7) * std::cos(2 * k * y)
                             + 0.35 * std::sin(k * (x + y) * 2 + 1.3)
                             + 0.20 * std::cos(k * (3 * x - y));
            const double g = (grain.bounded(100) - 50) / 50.0;
            const double t = 0.5 + 0.5 * v; // 0..1
            const int r = int(18 + 14 * t + 3 * g);
            const int gr = int(40 + 26 * t + 3 * g);
            const int b = int(92 + 40 * t + 4 * g);
            img.setPixel(x, y, qRgb(r, gr, b));
        }
    }
    return QPixmap::fromImage(img);
}

} // namespace

const QPixmap &backgroundTile()
{
    static const QPixmap tile = drawBackgroundTile();
    return tile;
}

void applyBackground(QWidget *w)
{
    QPalette p = w->palette();
    p.setBrush(QPalette::Window, QBrush(backgroundTile()));
    p.setColor(QPalette::WindowText, onBackground());
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

namespace {

// Lies over its widget and draws the ring; clicks pass through it.
class FocusRing : public QWidget
{
public:
    explicit FocusRing(QWidget *target) : QWidget(target), m_target(target)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::FocusIn: {
            const Qt::FocusReason why = static_cast<QFocusEvent *>(event)->reason();
            if (why == Qt::TabFocusReason || why == Qt::BacktabFocusReason) {
                setGeometry(m_target->rect());
                raise();
                show();
            }
            break;
        }
        case QEvent::FocusOut:
            hide();
            break;
        case QEvent::Resize:
            setGeometry(m_target->rect());
            break;
        default:
            break;
        }
        return false;
    }
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255), 2));
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
        p.setPen(QPen(QColor(58, 102, 176), 1, Qt::DotLine));
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 6, 6);
    }

private:
    QWidget *m_target;
};

} // namespace

void showKeyboardFocus(QWidget *w)
{
    new FocusRing(w);
}

void makeFlat(QAbstractButton *b, const QColor &face)
{
    const QColor border = face.darker(160);
    b->setStyleSheet(QStringLiteral("QAbstractButton { background: %1; border: 1px solid %2; padding: 0; }"
                                    "QAbstractButton:hover { background: %3; }"
                                    "QAbstractButton:pressed { background: %4; }")
                         .arg(face.name(), border.name(), face.lighter(112).name(),
                              face.darker(115).name()));
    b->setFocusPolicy(Qt::NoFocus);
}

void paintGlossyFace(QPainter &p, const QRectF &r, const QColor &top, const QColor &middle,
                     const QColor &bottom, const QColor &edge, const QColor &rim)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(0.5, middle);
    g.setColorAt(1, bottom);
    p.setPen(QPen(edge, 1.5));
    p.setBrush(g);
    p.drawRoundedRect(r, 9, 9);
    p.setPen(QPen(rim, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(2.5, 2.5, -2.5, -2.5), 7, 7);
}

QPixmap startButtonPicture(const QString &text, QSize size)
{
    QPixmap pm = canvas(size.width(), size.height());
    const QRect face(QPoint(0, 0), size);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(face).adjusted(1, 1, -1, -1);
    paintGlossyFace(p, r, QColor(255, 196, 120), QColor(236, 128, 40), QColor(184, 82, 18),
                    QColor(96, 40, 8), QColor(255, 236, 200, 150));
    QFont f = arial(int(size.height() * 0.45), true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(f);
    p.setPen(QColor(90, 30, 0, 170));
    p.drawText(face.translated(1, 2), Qt::AlignCenter, text);
    p.setPen(QColor(255, 250, 236));
    p.drawText(face, Qt::AlignCenter, text);
    return pm;
}

QPixmap eyesPicture()
{
    QPixmap pm = canvas(21, 10);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    for (int cx : {5, 15}) {
        p.setPen(QPen(QColor(40, 20, 0), 1));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(cx, 5), 4.5, 4.0);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 60, 160));
        p.drawEllipse(QPointF(cx + 1, 5.5), 2.0, 2.0);
    }
    return pm;
}

QPixmap phrasePicture()
{
    QPixmap pm = canvas(19, 15);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(1, 1, 17, 10), 4, 4);
    QPainterPath tail;
    tail.moveTo(5, 10);
    tail.lineTo(4, 14);
    tail.lineTo(9, 10);
    bubble = bubble.united(tail);
    p.setPen(QPen(QColor(60, 90, 170), 1.2));
    p.setBrush(QColor(214, 230, 255));
    p.drawPath(bubble);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 90, 170));
    for (int x : {6, 10, 14})
        p.drawEllipse(QPointF(x - 0.5, 6), 1.1, 1.1);
    return pm;
}

QPixmap soundPicture()
{
    QPixmap pm = canvas(19, 15);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 226, 170), 1.6));
    p.drawLine(QPointF(8, 11.5), QPointF(8, 2));
    p.drawLine(QPointF(8, 2), QPointF(14, 4));
    p.drawLine(QPointF(14, 4), QPointF(14, 10.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 226, 170));
    p.drawEllipse(QPointF(6, 12), 2.6, 2.0);
    p.drawEllipse(QPointF(12, 11), 2.6, 2.0);
    return pm;
}

} // namespace vexlo::look
