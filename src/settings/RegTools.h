#pragma once

#include <QDateTime>
#include <QString>

class QFont;

// The settings store: free functions through which every setting is read and
// written. Each call opens its key below HKEY_LOCAL_MACHINE, does one thing
// and closes it; nothing is cached, so a change is seen by the next read.
// A key that cannot be opened is not an error: reads give their default and
// writes are skipped. A value of the wrong type raises AppError.

void WriteRegStr(const QString& key, const QString& name, const QString& value);
void WriteRegInt(const QString& key, const QString& name, int value);
void WriteRegBool(const QString& key, const QString& name, bool value);

QString ReadRegStr(const QString& key, const QString& name, const QString& defaultValue);
int ReadRegInt(const QString& key, const QString& name, int defaultValue);
bool ReadRegBool(const QString& key, const QString& name, bool defaultValue);

bool RegValueExists(const QString& key, const QString& name);
bool DeleteRegValue(const QString& key, const QString& name);

// The seven-value font record ("CharSet", "Color", "Height", "Name",
// "Pitch", "Size", "Style"). ReadRegFont replaces every attribute of target
// at once; a missing value keeps the attribute of defaults, a missing
// "Style" makes the font plain.
bool ReadRegFont(QFont& target, const QString& key, const QFont& defaults);
bool WriteRegFont(const QFont& font, const QString& key);

// Trimmed path ending in a separator; empty stays empty.
QString AddSlash(const QString& path);
// There is no Windows directory on this platform: answers an empty text.
QString GetWinDir();
// The date part in the system locale's long date format.
QString LongDateStr(const QDateTime& dateTime);
// Hands a file, program or link to the desktop's default action.
bool RunFile(const QString& target);
