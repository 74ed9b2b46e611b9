#include "core/SlotFileSync.h"

#include "core/SlotText.h"

#include <utility>

namespace {

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

} // namespace

bool SlotFileSync::hasUnsavedText(const SlotText& buffer)
{
    return buffer.hasUnsavedText();
}

bool SlotFileSync::needsAnswer(const SlotText& buffer, const QString& fileName) const
{
    return hasUnsavedText(buffer) && buffer.unchangedPrefixLength() != buffer.markedLength() &&
           changedOnDisk(fileName);
}

void SlotFileSync::settleChangedFile(SlotText& buffer, const QString& fileName, Settle how)
{
    if (!changedOnDisk(fileName))
        return;
    if (how == Settle::KeepBoth && hasUnsavedText(buffer)) {
        // Text only added at the end follows the file's new text; after an
        // edit before the end the slot's whole text does.
        const bool onlyAdded = buffer.unchangedPrefixLength() == buffer.markedLength();
        const QString mine = onlyAdded ? buffer.textLfFrom(buffer.markedLength()) : buffer.textLf();
        m_writer.appendText(fileName, mine, buffer.font());
    }
    read(buffer, fileName);
}

QString SlotFileSync::setAsideUnsaved(const SlotText& buffer, const QString& fileName,
                                      const QDateTime& now) const
{
    if (!hasUnsavedText(buffer) || !changedOnDisk(fileName))
        return QString();
    return saveAside(buffer, fileName, now);
}

QString SlotFileSync::saveAside(const SlotText& buffer, const QString& fileName,
                                const QDateTime& now)
{
    if (!hasUnsavedText(buffer))
        return QString();
    // A new file, 0600: only the user may read what was typed, and a name
    // someone else took (a link planted in a shared folder) is passed by.
    return SlotFile::writeNewFile(fileName + QStringLiteral(".unsaved-") +
                                      now.toString(QStringLiteral("yyyyMMdd-HHmmss")),
                                  SlotFile::encodePlain(buffer.textLf()));
}

qsizetype SlotFileSync::viewLimit()
{
    return SlotText::MaxCharacters - ViewHeadroom;
}

void SlotFileSync::read(SlotText& buffer, const QString& fileName)
{
    m_writer.forget();
    const QString text = m_writer.read(fileName, viewLimit());
    buffer.setText(text);
    buffer.markUnchanged();
    // The buffer may keep the text in its own form (a file may hold breaks
    // or characters it stores differently): then the file is not the
    // encoding of the buffer's text and only a whole rewrite is exact.
    if (buffer.length() != text.size() || !SlotText::keepsAsGiven(text))
        m_writer.noteTextDiffers(buffer.length());
}

void SlotFileSync::adopt(SlotText& buffer, const QString& fileName)
{
    m_writer.noteRead(fileName);
    buffer.markUnchanged();
}

bool SlotFileSync::refreshBeforeWrite(SlotText& buffer, const QString& fileName)
{
    if (!m_writer.changedOnDisk(fileName))
        return false;
    // Another program only added to the file (another Clipstow's capture, a
    // line from a script): its new text follows the slot's, read alone.
    if (!hasUnsavedText(buffer)) {
        const std::optional<QString> added = m_writer.readAdded(fileName);
        if (added && buffer.length() + added->size() <= SlotText::MaxCharacters) {
            const qsizetype before = buffer.length();
            buffer.appendAtEnd(*added);
            buffer.markUnchanged();
            if (buffer.length() != before + added->size() || !SlotText::keepsAsGiven(*added))
                m_writer.noteTextDiffers(buffer.length());
            return true;
        }
    }
    read(buffer, fileName);
    return true;
}

void SlotFileSync::write(SlotText& buffer, const QString& fileName)
{
    // Only what follows the unchanged start is taken from the buffer.
    m_writer.save(
        fileName, buffer.unchangedPrefixLength(),
        [&](qsizetype from) { return buffer.textLfFrom(from); }, buffer.font(),
        SlotFileWriter::Purpose::Whole);
    buffer.markUnchanged();
}

void SlotFileSync::appendCapture(SlotText& buffer, const QString& fileName,
                                 const QString& stampLine, const QString& text)
{
    appendBlocks(buffer, fileName, captureBlock(stampLine, text));
}

void SlotFileSync::appendBlocks(SlotText& buffer, const QString& fileName, const QString& block)
{
    // An append-only slot whose view was edited before its end cannot save
    // the view: the block goes straight to the file.
    const bool viewSaveable =
        !isAppendOnly() || buffer.unchangedPrefixLength() == buffer.markedLength();
    if (viewSaveable && buffer.length() + block.size() <= SlotText::MaxCharacters) {
        // The file takes the block before the buffer does: laying a large
        // text out in the buffer takes longer than writing it, and the file
        // is the record. The buffer gets the block whatever the write did,
        // so that a capture that could not be written is still there to
        // save.
        const qsizetype before = buffer.length();
        bool inBuffer = false;
        const auto addToBuffer = [&] {
            if (!std::exchange(inBuffer, true))
                buffer.appendAtEnd(block);
        };
        try {
            m_writer.save(
                fileName, buffer.unchangedPrefixLength(),
                [&](qsizetype from) {
                    return from >= before ? block.mid(from - before)
                                          : buffer.textLfFrom(from) + block;
                },
                buffer.font(), SlotFileWriter::Purpose::Capture);
        } catch (const SlotFile::SlotFileChanged&) {
            // The buffer's text could not replace the file: the capture
            // still goes to its end.
            addToBuffer();
            m_writer.appendText(fileName, block, buffer.font());
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
        if (buffer.length() != before + block.size() || !SlotText::keepsAsGiven(block))
            m_writer.noteTextDiffers(buffer.length());
        return;
    }
    // Too much for the buffer: the file takes the block whole, and the
    // buffer then shows the file's end.
    if (!viewSaveable) {
        // The view takes no edits; should it hold some, they are not saved
        // and the block goes after the file's text as it is.
        m_writer.appendText(fileName, block, buffer.font());
    } else {
        try {
            m_writer.save(
                fileName, buffer.unchangedPrefixLength(),
                [&](qsizetype from) { return buffer.textLfFrom(from) + block; }, buffer.font(),
                SlotFileWriter::Purpose::Capture);
        } catch (const SlotFile::SlotFileChanged&) {
            m_writer.appendText(fileName, block, buffer.font());
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
