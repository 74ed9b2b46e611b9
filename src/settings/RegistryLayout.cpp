#include "settings/RegistryLayout.h"

#include "settings/RegTools.h"

namespace Layout {

namespace {
QString q(const char* text)
{
    return QString::fromLatin1(text);
}
} // namespace

QString StrSetting::read() const
{
    return ReadRegStr(q(key), q(name), QString::fromUtf8(defaultValue));
}
void StrSetting::write(const QString& value) const
{
    WriteRegStr(q(key), q(name), value);
}
bool StrSetting::exists() const
{
    return RegValueExists(q(key), q(name));
}
bool StrSetting::remove() const
{
    return DeleteRegValue(q(key), q(name));
}

int IntSetting::read() const
{
    return ReadRegInt(q(key), q(name), defaultValue);
}
void IntSetting::write(int value) const
{
    WriteRegInt(q(key), q(name), value);
}
bool IntSetting::exists() const
{
    return RegValueExists(q(key), q(name));
}

bool BoolSetting::read() const
{
    return ReadRegBool(q(key), q(name), defaultValue);
}
void BoolSetting::write(bool value) const
{
    WriteRegBool(q(key), q(name), value);
}
bool BoolSetting::exists() const
{
    return RegValueExists(q(key), q(name));
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

int decodeActiveFile(int stored)
{
    return (stored == 2 || stored == 3) ? stored : 1;
}

bool decodeAutoOn(const QString& choice, bool remembered)
{
    if (choice == QLatin1String("1"))
        return true;
    if (choice == QLatin1String("0"))
        return false;
    return remembered;
}

bool decodeShowRemote(const QString& choice, bool remembered)
{
    if (choice == QLatin1String("1"))
        return true;
    if (choice == QLatin1String("R"))
        return remembered;
    return false;
}

void readFont(FontRecord& font)
{
    ReadRegFont(font, q(FontKey), font);
}
void writeFont(const FontRecord& font)
{
    WriteRegFont(font, q(FontKey));
}

} // namespace Layout
