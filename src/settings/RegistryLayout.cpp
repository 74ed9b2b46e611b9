#include "settings/RegistryLayout.h"

#include <QCoreApplication>

namespace Layout {

namespace {
QString q(const char* text)
{
    return QString::fromLatin1(text);
}
} // namespace

namespace {

ValueDescription describe(const StrSetting& setting)
{
    return {q(setting.key), q(setting.name), QStringLiteral("REG_SZ"),
            QLatin1Char('"') + QString::fromUtf8(setting.defaultValue) + QLatin1Char('"'),
            QString::fromUtf8(setting.meaning)};
}
ValueDescription describe(const IntSetting& setting)
{
    return {q(setting.key), q(setting.name), QStringLiteral("REG_DWORD"),
            QString::number(setting.defaultValue), QString::fromUtf8(setting.meaning)};
}
ValueDescription describe(const BoolSetting& setting)
{
    return {q(setting.key), q(setting.name), QStringLiteral("REG_DWORD"),
            setting.defaultValue ? QStringLiteral("1") : QStringLiteral("0"),
            QString::fromUtf8(setting.meaning)};
}

// Words of text on lines of at most width characters after indent.
QString wrapped(const QString& text, const QString& indent, qsizetype width)
{
    QString out;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && indent.size() + line.size() + 1 + word.size() > width) {
            out += indent + line + QLatin1Char('\n');
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        out += indent + line + QLatin1Char('\n');
    return out;
}

} // namespace

QList<ValueDescription> describeValues()
{
    // "Editor" is listed once, with the default that takes effect when a
    // slot file is opened in the editor.
    QList<ValueDescription> list{
        describe(AcceptedLicense), describe(ShowSplash), describe(Path),     describe(Filename1),
        describe(Filename2),       describe(Filename3),  describe(Toolbar),  describe(StatusBar),
        describe(ConfirmClr),      describe(DateStyle),  describe(AutoOn),   describe(Auto),
        describe(AShowRemote),     describe(ShowRemote), describe(AutoHide), describe(ActiveFile),
        describe(DefaultSound),    describe(SoundFile),  describe(AutoOff),  describe(DefinEd),
        describe(EditorToLaunch),  describe(MediaPath),
    };
    for (const FontValue& value : FontValues)
        list.append({q(FontKey), q(value.name), q(value.type), QString::fromUtf8(value.defaultText),
                     QString::fromUtf8(value.meaning)});
    return list;
}

QString valuesHelpText()
{
    QString text = QCoreApplication::translate(
        "RegistryLayout", "Clipstow's values, by key (NAME  TYPE  default: DEFAULT, then "
                          "what it means):\n");
    QString key;
    for (const ValueDescription& value : describeValues()) {
        if (value.key != key) {
            key = value.key;
            text += QStringLiteral("\nHKLM\\") + key + QLatin1Char('\n');
        }
        text += QCoreApplication::translate("RegistryLayout", "  %1  %2  default: %3\n")
                    .arg(value.name, value.type, value.defaultText);
        text += wrapped(value.meaning, QStringLiteral("      "), 79);
    }
    text += QLatin1Char('\n') +
            wrapped(QCoreApplication::translate(
                        "RegistryLayout", "HKCU\\%1\\%2 and HKCU\\%1\\%3 keep the placement of the "
                                          "main window and of the remote control window.")
                        .arg(q(PlacementKey), q(MainFormSection), q(RemoteFormSection)),
                    QString(), 79);
    return text;
}

const StrSetting& slotFilename(int slot)
{
    switch (slot) {
    case 2:
        return Filename2;
    case 3:
        return Filename3;
    default:
        return Filename1;
    }
}

} // namespace Layout
