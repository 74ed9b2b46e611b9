#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>
#include <optional>

// The bytes of a slot file and how they reach the disk.
//
// Plain text is UTF-8 without a byte-order mark, every line break CR LF,
// nothing added. Reading accepts UTF-8 and falls back to Windows-1252 for
// bytes that are not valid UTF-8. A file whose own name's extension is "rtf"
// (any case) holds one RTF document.
namespace SlotFile {

enum class Format { PlainText, Rtf };

// By the extension of the file's own name: "rtf" in any case selects RTF.
Format formatFor(const QString& fileName);

// text uses '\n' for line breaks (as QPlainTextEdit gives it); the result
// has CR LF. A text with CR LF or lone CR is normalised first.
QByteArray encodePlain(const QString& text);
// Each CR LF, lone CR and lone LF becomes '\n'. Never fails.
QString decodePlain(const QByteArray& bytes);

QByteArray encodeRtf(const QString& text, const QFont& font);
// The text of an RTF document with '\n' line breaks; nullopt when the bytes
// are not an RTF document.
std::optional<QString> decodeRtf(const QByteArray& bytes);

// Reads the text in the format its name selects, falling back to the other
// one; raises AppError "Cannot open file %s" / "Failed to Load Stream".
QString readText(const QString& fileName);

// Replaces the file's contents with bytes without ever leaving a partial
// file: a temporary file in the same folder, flushed to disk and renamed
// over the old one, keeping its permissions; a symbolic link is written
// through to its target; a new file is created 0600. Raises AppError
// "Cannot create file %s" or "Failed to Save Stream"; the old file stays.
void writeAtomically(const QString& fileName, const QByteArray& bytes);

} // namespace SlotFile
