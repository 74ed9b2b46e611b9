#include "core/SlotFileSync.h"

#include "core/SlotBuffer.h"

void SlotFileSync::read(SlotBuffer& buffer, const QString& fileName)
{
    m_writer.forget();
    const QString text = m_writer.read(fileName);
    buffer.setText(text);
    buffer.markUnchanged();
    // The buffer may keep the text in its own form (a file may hold breaks
    // or characters it stores differently, or more than it holds): then the
    // file is not the encoding of the buffer's text and only a whole
    // rewrite is exact.
    if (buffer.length() != text.size() || buffer.textLf() != text)
        m_writer.noteTextDiffers();
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
    const int marked = buffer.markedLength();
    const bool fileKnown = !m_writer.changedOnDisk(fileName);
    try {
        bool appended = false;
        if (fileKnown && buffer.unchangedPrefixLength() == marked) {
            // Only what follows the marked text is new: take just that from
            // the buffer.
            QString added = buffer.textFrom(marked);
            added.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            appended = m_writer.appendIfUnchanged(fileName, marked, added);
        }
        if (!appended)
            rewrite(buffer, fileName);
    } catch (...) {
        // A failed write leaves the file with what it held before (a failed
        // append is cut back). When that was what this slot last saw, the
        // file is still taken as known, so that the next write does not read
        // it back over the text that could not be saved; it then replaces
        // the file whole.
        if (fileKnown)
            m_writer.noteRead(fileName);
        throw;
    }
    buffer.markUnchanged();
}

void SlotFileSync::rewrite(SlotBuffer& buffer, const QString& fileName)
{
    m_writer.write(fileName, buffer.textLf(), buffer.textFont());
}
