#include "colortext.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>

namespace vexlo {

namespace {

struct Named
{
    const char *name;
    TColor value;
};

constexpr std::array<Named, 16> kNamed{{
    {"clBlack", rgbColor(0, 0, 0)},       {"clMaroon", rgbColor(128, 0, 0)},
    {"clGreen", rgbColor(0, 128, 0)},     {"clOlive", rgbColor(128, 128, 0)},
    {"clNavy", rgbColor(0, 0, 128)},      {"clPurple", rgbColor(128, 0, 128)},
    {"clTeal", rgbColor(0, 128, 128)},    {"clGray", rgbColor(128, 128, 128)},
    {"clSilver", rgbColor(192, 192, 192)}, {"clRed", rgbColor(255, 0, 0)},
    {"clLime", rgbColor(0, 255, 0)},      {"clYellow", rgbColor(255, 255, 0)},
    {"clBlue", rgbColor(0, 0, 255)},      {"clFuchsia", rgbColor(255, 0, 255)},
    {"clAqua", rgbColor(0, 255, 255)},    {"clWhite", rgbColor(255, 255, 255)},
}};

// The desktop's colours by their index, with the palette role that stands for each.
struct SystemNamed
{
    const char *name;
    int index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

constexpr std::array<SystemNamed, 25> kSystem{{
    {"clScrollBar", 0, QPalette::Active, QPalette::Button},
    {"clBackground", 1, QPalette::Active, QPalette::Window},
    {"clActiveCaption", 2, QPalette::Active, QPalette::Highlight},
    {"clInactiveCaption", 3, QPalette::Inactive, QPalette::Highlight},
    {"clMenu", 4, QPalette::Active, QPalette::Window},
    {"clWindow", 5, QPalette::Active, QPalette::Base},
    {"clWindowFrame", 6, QPalette::Active, QPalette::Shadow},
    {"clMenuText", 7, QPalette::Active, QPalette::WindowText},
    {"clWindowText", 8, QPalette::Active, QPalette::Text},
    {"clCaptionText", 9, QPalette::Active, QPalette::HighlightedText},
    {"clActiveBorder", 10, QPalette::Active, QPalette::Mid},
    {"clInactiveBorder", 11, QPalette::Inactive, QPalette::Mid},
    {"clAppWorkSpace", 12, QPalette::Active, QPalette::Dark},
    {"clHighlight", 13, QPalette::Active, QPalette::Highlight},
    {"clHighlightText", 14, QPalette::Active, QPalette::HighlightedText},
    {"clBtnFace", 15, QPalette::Active, QPalette::Button},
    {"clBtnShadow", 16, QPalette::Active, QPalette::Dark},
    {"clGrayText", 17, QPalette::Disabled, QPalette::Text},
    {"clBtnText", 18, QPalette::Active, QPalette::ButtonText},
    {"clInactiveCaptionText", 19, QPalette::Inactive, QPalette::HighlightedText},
    {"clBtnHighlight", 20, QPalette::Active, QPalette::Light},
    {"cl3DDkShadow", 21, QPalette::Active, QPalette::Shadow},
    {"cl3DLight", 22, QPalette::Active, QPalette::Midlight},
    {"clInfoText", 23, QPalette::Active, QPalette::ToolTipText},
    {"clInfoBk", 24, QPalette::Active, QPalette::ToolTipBase},
}};

bool sameName(QByteArrayView a, const char *b)
{
    return QByteArrayView(b).compare(a, Qt::CaseInsensitive) == 0;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

QByteArray colorToText(TColor color)
{
    for (const Named &n : kNamed)
        if (n.value == color)
            return n.name;
    for (const SystemNamed &s : kSystem)
        if (kSystemColorFlag + TColor(s.index) == color)
            return s.name;
    return '$' + QByteArray::number(color, 16).toUpper().rightJustified(8, '0');
}

std::optional<TColor> textToColor(QByteArrayView text)
{
    for (const Named &n : kNamed)
        if (sameName(text, n.name))
            return n.value;
    for (const SystemNamed &s : kSystem)
        if (sameName(text, s.name))
            return kSystemColorFlag + TColor(s.index);
    if (text.startsWith('$')) {
        // "$" and one to eight hexadecimal digits.
        const QByteArrayView digits = text.sliced(1);
        if (digits.isEmpty() || digits.size() > 8)
            return std::nullopt;
        TColor v = 0;
        for (char c : digits) {
            const int d = hexDigit(c);
            if (d < 0)
                return std::nullopt;
            v = v << 4 | TColor(d);
        }
        return v;
    }
    // A decimal 32-bit integer with an optional sign; negative values wrap.
    qsizetype i = 0;
    bool negative = false;
    if (!text.isEmpty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    long long v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
        if (v > 0xFFFFFFFFll)
            return std::nullopt;
    }
    if (negative)
        v = -v;
    if (v < -0x80000000ll)
        return std::nullopt;
    return static_cast<TColor>(static_cast<quint64>(v) & 0xFFFFFFFFu);
}

QColor toQColor(TColor color)
{
    if (color & kSystemColorFlag) {
        const int index = int(color & 0xFF);
        for (const SystemNamed &s : kSystem)
            if (s.index == index)
                return QGuiApplication::palette().color(s.group, s.role);
        return Qt::black;
    }
    return QColor(int(color & 0xFF), int(color >> 8 & 0xFF), int(color >> 16 & 0xFF));
}

TColor fromQColor(const QColor &color)
{
    return rgbColor(color.red(), color.green(), color.blue());
}

} // namespace vexlo
