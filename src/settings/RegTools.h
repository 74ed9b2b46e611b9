#pragma once

#include "settings/FontRecord.h"

#include <QString>
#include <cstdint>

class RegistryStore;

// Typed access to values of the registry store, below HKEY_LOCAL_MACHINE;
// the program's own values go through Settings, which is built on these.
// Each call opens its key, does one thing and closes it; nothing is cached,
// so a change is seen by the next read. A key that cannot be opened is not
// an error: reads give their default and writes are skipped, and so are
// they while the store is unavailable (RegistryStore::beginBatch). A value
// of the wrong type raises AppError ("Invalid data type for '%s'"), and so
// does a failed write ("Failed to set data for '%s'").

namespace RegTools {

void writeString(RegistryStore& store, const QString& key, const QString& name,
                 const QString& value);
void writeInt(RegistryStore& store, const QString& key, const QString& name, int value);
void writeBool(RegistryStore& store, const QString& key, const QString& name, bool value);

QString readString(RegistryStore& store, const QString& key, const QString& name,
                   const QString& defaultValue);
int readInt(RegistryStore& store, const QString& key, const QString& name, int defaultValue);
bool readBool(RegistryStore& store, const QString& key, const QString& name, bool defaultValue);

bool valueExists(RegistryStore& store, const QString& key, const QString& name);
bool deleteValue(RegistryStore& store, const QString& key, const QString& name);

// "The settings could not be saved: <reason>." when writes were skipped
// (the store is locked by another process, may only be read, or cannot be
// created), given once until a write succeeds again; empty otherwise. The
// application shows it after start-up and after shutdown's saving.
QString takeNotSavedMessage(RegistryStore& store);

// The seven-value font record ("CharSet", "Color", "Height", "Name",
// "Pitch", "Size", "Style"). readFont replaces every attribute of target
// at once; a missing value keeps the attribute of defaults, a missing
// "Style" makes the font plain.
bool readFont(RegistryStore& store, FontRecord& target, const QString& key,
              const FontRecord& defaults);
bool writeFont(RegistryStore& store, const FontRecord& font, const QString& key);

} // namespace RegTools
