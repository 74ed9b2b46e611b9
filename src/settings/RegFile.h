#pragma once

#include "settings/RegistryStore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <stdexcept>

// The registry script format ("Windows Registry Editor Version 5.00"):
// key sections, value lines and deletions, as written by an export and
// read by an import.
namespace RegFile {

inline constexpr char header[] = "Windows Registry Editor Version 5.00";
// The older format: text in the system's 8-bit encoding, and string data
// given as hex bytes in that encoding too.
inline constexpr char legacyHeader[] = "REGEDIT4";

// One step of a script, in file order.
struct Entry
{
    enum class Kind
    {
        CreateKey,
        DeleteKey,
        SetValue,
        DeleteValue
    };
    Kind kind = Kind::CreateKey;
    RegRoot root = RegRoot::LocalMachine;
    QString path; // below the root
    QString name; // value steps only; empty for the default value
    RegType type = RegType::None;
    QByteArray data; // SetValue only: raw bytes as the registry keeps them
};

// A script that cannot be read; line counts from 1.
class ParseError : public std::runtime_error
{
public:
    ParseError(int line, const QString& reason);
    int line() const { return m_line; }
    const QString& reason() const { return m_reason; }

private:
    int m_line;
    QString m_reason;
};

// File bytes to text: UTF-16 with a byte order mark, else UTF-8 (with or
// without its mark), which covers plain ASCII. A script of the older format
// that is not valid UTF-8 is read as Windows-1252.
QString decodeBytes(const QByteArray& bytes);
// 8-bit text: UTF-8 when the bytes are valid UTF-8, else Windows-1252 (bytes
// without a character there give the C1 control of the same value).
QString decodeEightBit(const QByteArray& bytes);
// Text to file bytes as the system's tools write them: UTF-16LE with a mark.
QByteArray encodeBytes(const QString& text);

// Parses a whole script; throws ParseError at the first fault, so a caller
// can check everything before changing anything.
QList<Entry> parse(const QString& text);

// "[HKEY_...\path]"; the text of one value line with its continuation lines
// (CR LF between lines, no line break at the end).
QString keyLine(RegRoot root, const QString& path);
QString valueLine(const RegValue& value);

// The script an export writes of key: the header, then the key and every key
// below it, each section with its values, and a closing blank line.
QString exportScript(RegistryStore& store, const RegKey& key);

// Runs the entries against a store in one transaction: all or nothing.
// Throws RegistryIoError when a step fails.
void apply(RegistryStore& store, const QList<Entry>& entries);

} // namespace RegFile
