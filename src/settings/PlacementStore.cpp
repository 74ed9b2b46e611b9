#include "settings/PlacementStore.h"

#include "settings/RegistryLayout.h"

#include <QRegularExpression>

namespace Placement {

QString screenSuffix(QSize screenPixels)
{
    return QStringLiteral("(%1x%2)").arg(screenPixels.width()).arg(screenPixels.height());
}

std::array<int, 4> parseFour(const QString& text, const std::array<int, 4>& defaults)
{
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    const QStringList parts = text.trimmed().split(separators, Qt::SkipEmptyParts);
    std::array<int, 4> result = defaults;
    for (int i = 0; i < 4 && i < parts.size(); ++i) {
        bool ok = false;
        const int value = parts[i].toInt(&ok);
        if (ok)
            result[i] = value;
    }
    return result;
}

QString formatFour(const std::array<int, 4>& n)
{
    return QStringLiteral("%1,%2,%3,%4").arg(n[0]).arg(n[1]).arg(n[2]).arg(n[3]);
}

ShowState decodeShowCmd(int showCmd)
{
    switch (showCmd) {
    case 2:
    case 6:
    case 7:
        return ShowState::Minimized;
    case 3:
        return ShowState::Maximized;
    default:
        return ShowState::Normal;
    }
}

int encodeShowCmd(ShowState state)
{
    switch (state) {
    case ShowState::Minimized:
        return 2;
    case ShowState::Maximized:
        return 3;
    case ShowState::Normal:
        break;
    }
    return 1;
}

QString sectionPath(Window window)
{
    return QString::fromLatin1(Layout::PlacementKey) + QLatin1Char('\\') +
           QString::fromLatin1(window == Window::Main ? Layout::MainFormSection
                                                      : Layout::RemoteFormSection);
}

} // namespace Placement
