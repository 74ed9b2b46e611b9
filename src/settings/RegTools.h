#pragma once

#include <QFont>
#include <QString>
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

// The settings store: functions through which every setting is read and
// written. Each call opens its key below HKEY_LOCAL_MACHINE, does one thing
// and closes it; nothing is cached, so a change is seen by the next read.
// A key that cannot be opened is not an error: reads give their default and
// writes are skipped, and so are they while the store is unavailable (see
// SettingsBatch). A value of the wrong type raises AppError.

// Groups the settings reads and writes of one start-up or shutdown. When
// another process holds the store locked, the first operation waits for it
// at most RegistryStore::DefaultBusyTimeoutMs and the rest of the batch
// then skips the store: reads give their default, writes are skipped. Make
// one on the stack around each such sequence.
class SettingsBatch final
{
public:
    SettingsBatch();
    ~SettingsBatch();
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;
};

namespace RegTools {

void writeString(const QString& key, const QString& name, const QString& value);
void writeInt(const QString& key, const QString& name, int value);
void writeBool(const QString& key, const QString& name, bool value);

QString readString(const QString& key, const QString& name, const QString& defaultValue);
int readInt(const QString& key, const QString& name, int defaultValue);
bool readBool(const QString& key, const QString& name, bool defaultValue);

bool valueExists(const QString& key, const QString& name);
bool deleteValue(const QString& key, const QString& name);

// "The settings could not be saved: <reason>." when writes were skipped
// (the store is locked by another process, may only be read, or cannot be
// created), given once until a write succeeds again; empty otherwise. The
// application shows it after start-up and after shutdown's saving.
QString takeNotSavedMessage();

// The seven-value font record ("CharSet", "Color", "Height", "Name",
// "Pitch", "Size", "Style"). readFont replaces every attribute of target
// at once; a missing value keeps the attribute of defaults, a missing
// "Style" makes the font plain.
bool readFont(FontRecord& target, const QString& key, const FontRecord& defaults);
bool writeFont(const FontRecord& font, const QString& key);

} // namespace RegTools
