#include "core/SlotFileSync.h"

#include "core/SlotBuffer.h"

#include <QFileInfo>

#include <utility>

namespace {

// The buffer's text from position on, with '\n' line breaks.
QString bufferTextFrom(const SlotBuffer& buffer, qsizetype position)
{
    const qsizetype length = buffer.length();
    // When the new end is most of the text (a large capture), the whole
    // text is taken and cut: several times faster than a selection of the
    // end with its line breaks made CR LF and back.
    if (position == 0 || length - position > length / 2) {
        QString text = buffer.textLf();
        text.remove(0, position);
        return text;
    }
    QString text = buffer.textFrom(int(position));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

// Line breaks as the buffer keeps them: CR LF, lone CR and the paragraph
// separator each become one '\n', so the block has the same characters in
// the buffer and in the file.
QString withLfBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

// Adds the same characters as captureBlock to the end of the buffer: a
// break and an empty line, the stamp line, the text ended by a break, two
// empty lines. The paste is not kept for undo.
void appendBlock(SlotBuffer& buffer, const QString& stampLine, const QString& text)
{
    buffer.appendLine(QStringLiteral("\r\n"));
    buffer.appendLine(withLfBreaks(stampLine) + QLatin1Char('\n') + withLfBreaks(text));
    buffer.appendLineBreakAndResetUndo();
    buffer.appendLine(QString());
}

} // namespace

bool SlotFileSync::hasUnsavedText(const SlotBuffer& buffer)
{
    return buffer.length() != buffer.markedLength() ||
           buffer.unchangedPrefixLength() != buffer.markedLength();
}

bool SlotFileSync::needsAnswer(const SlotBuffer& buffer, const QString& fileName) const
{
    return hasUnsavedText(buffer) && buffer.unchangedPrefixLength() != buffer.markedLength() &&
           changedOnDisk(fileName);
}

void SlotFileSync::settleChangedFile(SlotBuffer& buffer, const QString& fileName, Settle how)
{
    if (!changedOnDisk(fileName))
        return;
    if (how == Settle::KeepBoth && hasUnsavedText(buffer)) {
        // Text only added at the end follows the file's new text; after an
        // edit before the end the slot's whole text does.
        const bool onlyAdded = buffer.unchangedPrefixLength() == buffer.markedLength();
        const QString mine =
            onlyAdded ? bufferTextFrom(buffer, buffer.markedLength()) : buffer.textLf();
        m_writer.appendText(fileName, mine, buffer.textFont());
    }
    read(buffer, fileName);
}

QString SlotFileSync::setAsideUnsaved(const SlotBuffer& buffer, const QString& fileName,
                                      const QDateTime& now) const
{
    if (!hasUnsavedText(buffer) || !changedOnDisk(fileName))
        return QString();
    return saveAside(buffer, fileName, now);
}

QString SlotFileSync::saveAside(const SlotBuffer& buffer, const QString& fileName,
                                const QDateTime& now)
{
    if (!hasUnsavedText(buffer))
        return QString();
    const QString base =
        fileName + QStringLiteral(".unsaved-") + now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QLatin1Char('-') + QString::number(n);
    // A new file is created 0600: only the user may read what was typed.
    SlotFile::writeAtomically(name, SlotFile::encodePlain(buffer.textLf()));
    return name;
}

qsizetype SlotFileSync::viewLimit()
{
    return SlotBuffer::MaxCharacters - ViewHeadroom;
}

void SlotFileSync::read(SlotBuffer& buffer, const QString& fileName)
{
    m_writer.forget();
    const QString text = m_writer.read(fileName, viewLimit());
    buffer.setText(text);
    buffer.markUnchanged();
    // The buffer may keep the text in its own form (a file may hold breaks
    // or characters it stores differently): then the file is not the
    // encoding of the buffer's text and only a whole rewrite is exact.
    if (buffer.length() != text.size() || buffer.textLf() != text)
        m_writer.noteTextDiffers(buffer.length());
}

void SlotFileSync::adopt(SlotBuffer& buffer, const QString& fileName)
{
    m_writer.noteRead(fileName);
    buffer.markUnchanged();
}

bool SlotFileSync::refreshBeforeWrite(SlotBuffer& buffer, const QString& fileName)
{
    if (!m_writer.changedOnDisk(fileName))
        return false;
    read(buffer, fileName);
    return true;
}

void SlotFileSync::write(SlotBuffer& buffer, const QString& fileName)
{
    // Only what follows the unchanged start is taken from the buffer.
    m_writer.save(
        fileName, buffer.unchangedPrefixLength(),
        [&](qsizetype from) { return bufferTextFrom(buffer, from); }, buffer.textFont(),
        SlotFileWriter::Purpose::Whole);
    buffer.markUnchanged();
}

void SlotFileSync::appendCapture(SlotBuffer& buffer, const QString& fileName,
                                 const QString& stampLine, const QString& text)
{
    const QString block = captureBlock(stampLine, text);
    // An append-only slot whose view was edited before its end cannot save
    // the view: the block goes straight to the file.
    const bool viewSaveable =
        !isAppendOnly() || buffer.unchangedPrefixLength() == buffer.markedLength();
    if (viewSaveable && buffer.length() + block.size() <= SlotBuffer::MaxCharacters) {
        // The file takes the block before the buffer does: laying a large
        // text out in the buffer takes longer than writing it, and the file
        // is the record. The buffer gets the block whatever the write did,
        // so that a capture that could not be written is still there to
        // save.
        const qsizetype before = buffer.length();
        bool inBuffer = false;
        const auto addToBuffer = [&] {
            if (!std::exchange(inBuffer, true))
                appendBlock(buffer, stampLine, text);
        };
        try {
            m_writer.save(
                fileName, buffer.unchangedPrefixLength(),
                [&](qsizetype from) {
                    return from >= before ? block.mid(from - before)
                                          : bufferTextFrom(buffer, from) + block;
                },
                buffer.textFont(), SlotFileWriter::Purpose::Capture);
        } catch (const SlotFile::SlotFileChanged&) {
            // The buffer's text could not replace the file: the capture
            // still goes to its end.
            addToBuffer();
            m_writer.appendText(fileName, block, buffer.textFont());
            throw;
        } catch (...) {
            addToBuffer();
            throw;
        }
        addToBuffer();
        buffer.markUnchanged();
        // The buffer may keep some characters its own way; the file then no
        // longer holds exactly its encoding, and the next whole write
        // replaces it.
        if (buffer.length() != before + block.size() || bufferTextFrom(buffer, before) != block)
            m_writer.noteTextDiffers(buffer.length());
        return;
    }
    // Too much for the buffer: the file takes the block whole, and the
    // buffer then shows the file's end.
    if (!viewSaveable) {
        // The view takes no edits; should it hold some, they are not saved
        // and the block goes after the file's text as it is.
        m_writer.appendText(fileName, block, buffer.textFont());
    } else {
        try {
            m_writer.save(
                fileName, buffer.unchangedPrefixLength(),
                [&](qsizetype from) { return bufferTextFrom(buffer, from) + block; },
                buffer.textFont(), SlotFileWriter::Purpose::Capture);
        } catch (const SlotFile::SlotFileChanged&) {
            m_writer.appendText(fileName, block, buffer.textFont());
            throw;
        }
    }
    read(buffer, fileName);
}

QString captureBlock(const QString& stampLine, const QString& text)
{
    return QStringLiteral("\n\n") + withLfBreaks(stampLine) + QLatin1Char('\n') +
           withLfBreaks(text) + QStringLiteral("\n\n\n");
}
