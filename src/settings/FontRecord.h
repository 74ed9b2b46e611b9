#pragma once

#include <QFont>
#include <cstdint>

class QColor;
class QPalette;

// A font as the settings keep it: the face, size and style a QFont carries,
// plus the colour, character set and pitch that QFont does not.
struct FontRecord
{
    // Colours are 0x00BBGGRR; a value with the top byte 0xFF names a system
    // colour by index, so that it follows the desktop's theme.
    static constexpr std::int32_t SystemColorFlag = std::int32_t(0xFF000000u);
    static constexpr std::int32_t WindowTextColor = SystemColorFlag | 8;
    static constexpr int DefaultCharSet = 1;
    // Pixels per inch used to convert between "Height" and "Size".
    static constexpr int PixelsPerInch = 96;

    QFont font;
    std::int32_t color = WindowTextColor;
    int charSet = DefaultCharSet;
    int pitch = 0; // 0 default, 1 variable, 2 fixed

    // Height in pixels, negative for character height, from the point size.
    int height() const;
    // The colour to paint with: a system colour is taken from palette.
    QColor resolvedColor(const QPalette& palette) const;
    static std::int32_t encodeColor(const QColor& color);

    bool operator==(const FontRecord&) const = default;
};
