#pragma once

#include <QFont>

// The font the main and remote windows were designed with; their children
// use it unless they choose their own.
inline QFont windowFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}
