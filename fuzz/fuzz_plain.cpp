// Plain-text slot files: any bytes decode, what a slot writes back reads the
// same, and a read of the file's end only gives the end of the whole text.

#include "FuzzSupport.h"
#include "core/slotfile/SlotFile.h"

#include <QUtf8StringView>

#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Bytes from any program read, written back and read again.
void checkFileRoundTrip(const QByteArray& bytes)
{
    const SlotFile::PlainDecoded decoded = SlotFile::decodePlainDetailed(bytes);
    fuzzCheck(!decoded.text.contains(QLatin1Char('\r')), "every line break is read as \\n");
    const QByteArray written = SlotFile::encodePlain(decoded.text);
    fuzzCheck(decoded.canonical == (written == bytes),
              "canonical exactly when writing the text gives the same bytes");
    const SlotFile::PlainDecoded again = SlotFile::decodePlainDetailed(written);
    fuzzCheck(again.text == decoded.text, "decode, encode, decode gives the same text");
    fuzzCheck(again.canonical, "written bytes are canonical");
}

// A text from the editor written and read back.
void checkTextRoundTrip(const QString& text)
{
    const QByteArray written = SlotFile::encodePlain(text);
    fuzzCheck(QUtf8StringView(written).isValidUtf8(), "any text is written as valid UTF-8");
    const SlotFile::PlainDecoded back = SlotFile::decodePlainDetailed(written);
    fuzzCheck(back.canonical, "any text is written canonically");
    if (!text.contains(QLatin1Char('\r')) && QStringView(text).isValidUtf16())
        fuzzCheck(back.text == text, "a text without CR or lone surrogates reads back");
}

// The format check that reads a long file in pieces, against decoding it
// whole; the pieces' lengths (1 to 4, and empty ones) come from the bytes.
void checkFormatCheck(const QByteArray& bytes)
{
    const bool canonical = SlotFile::decodePlainDetailed(bytes).canonical;
    SlotFile::FormatCheck whole;
    whole.add(bytes);
    fuzzCheck(whole.inFormat() == canonical, "the format check agrees with decoding");
    SlotFile::FormatCheck pieces;
    for (qsizetype at = 0; at < bytes.size();) {
        const uchar lead = uchar(bytes[at]);
        const qsizetype length = std::min(bytes.size() - at, qsizetype(1 + lead % 4));
        if (lead % 8 == 0)
            pieces.add(QByteArrayView());
        pieces.add(QByteArrayView(bytes).sliced(at, length));
        at += length;
    }
    fuzzCheck(pieces.inFormat() == canonical, "the format check takes its bytes in any pieces");
}

// The end of the file read with a limit (as a large slot is shown) against
// the whole file read. One file, written over for every input, read by its
// name as a slot file is (a name under /proc/self/fd is a link the reader
// will not follow).
void checkTailRead(const QByteArray& bytes)
{
    static const QTemporaryDir folder;
    static const QString fileName = folder.filePath(QStringLiteral("slot.txt"));
    static const int fd =
        ::open(QFile::encodeName(fileName).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (bytes.isEmpty())
        return;
    const qsizetype maxChars = uchar(bytes[0]) % 64;
    if (fd < 0 || ::ftruncate(fd, 0) != 0 ||
        ::pwrite(fd, bytes.constData(), size_t(bytes.size()), 0) != bytes.size())
        std::abort();
    const QString whole = SlotFile::decodePlain(bytes);
    const SlotFile::ReadResult tail = SlotFile::readTextDetailed(fileName, maxChars);
    fuzzCheck(tail.size == bytes.size(), "the size read is the file's");
    fuzzCheck(whole.endsWith(tail.text), "a tail read gives an end of the whole text");
    fuzzCheck(tail.text.size() <= maxChars || (!tail.cut && tail.text == whole),
              "a tail read is cut to the limit, or is the whole text");
    fuzzCheck(tail.cut || tail.text == whole, "a read that is not cut gives the whole text");
    fuzzCheck(tail.canonical == SlotFile::decodePlainDetailed(bytes).canonical,
              "a tail read tells whether the whole file is in the format");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkFileRoundTrip(bytes);
    checkTextRoundTrip(unitsOf(bytes));
    checkFormatCheck(bytes);
    checkTailRead(bytes);
    return 0;
}
