#pragma once
// Colour text: how a colour travels in chat messages and sits in the settings
// file. A colour is 0x00BBGGRR (red in the lowest byte). Written as one of the
// sixteen colour names when it is one of them, else "$" and eight upper-case
// hexadecimal digits; read from a name in any letter case, from "$" and
// hexadecimal digits, or from a decimal number. The desktop's system-colour
// names (clBtnFace, ...) are read as well, as 0x80000000 + their index.
#include <QByteArray>
#include <QByteArrayView>
#include <QColor>

#include <optional>

namespace vexlo {

using TColor = quint32;

inline constexpr TColor rgbColor(int r, int g, int b)
{
    return TColor(r & 0xFF) | TColor(g & 0xFF) << 8 | TColor(b & 0xFF) << 16;
}
inline constexpr TColor clBlack = rgbColor(0, 0, 0);
inline constexpr TColor clRed = rgbColor(255, 0, 0);
inline constexpr TColor clBlue = rgbColor(0, 0, 255);
inline constexpr TColor kSystemColorFlag = 0x80000000u;

QByteArray colorToText(TColor color);
// nullopt when the text is neither a colour name nor a number.
std::optional<TColor> textToColor(QByteArrayView text);

// The colour as the screen shows it; system colours come from the desktop palette.
QColor toQColor(TColor color);
TColor fromQColor(const QColor &color);

} // namespace vexlo
