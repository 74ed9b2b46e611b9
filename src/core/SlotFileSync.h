#pragma once

#include "core/slotfile/SlotFileWriter.h"

#include <QString>

class SlotBuffer;

// One slot's buffer kept in step with the slot's file. Every read and write
// of the file goes through one of these per slot, so it knows what the file
// held after the last of them:
// - a write whose text was only added to at the end since then, onto a file
//   nobody else touched, appends the new bytes and flushes them (the bytes
//   already there stay as they are); every other write replaces the whole
//   file atomically;
// - before a write, a file that changed on disk since is read again, so that
//   another program's text is kept and what follows goes after it.
// After each successful read or write the buffer's text is marked unchanged
// (SlotBuffer::markUnchanged). No copy of the text is kept here: an append
// takes only the new end from the buffer, and the rare whole rewrite takes
// the whole text from it.
class SlotFileSync final
{
public:
    // Replaces the buffer's text with the file's (undo history discarded).
    // Raises the errors of SlotFile::readText; after a failure the slot
    // knows no file, so the next refreshBeforeWrite reads again.
    void read(SlotBuffer& buffer, const QString& fileName);
    // Takes the file as it is now (usually missing) as the slot's, without
    // reading it; the buffer's text is not taken to be in it, so the next
    // write replaces it whole.
    void adopt(SlotBuffer& buffer, const QString& fileName);
    // Reads the file again when it exists and is not what this slot last
    // read or wrote. Returns whether it did.
    bool refreshBeforeWrite(SlotBuffer& buffer, const QString& fileName);
    // Writes the buffer's text to the file in the format its name selects.
    // Raises "Cannot create file %s" / "Failed to Save Stream"; the file
    // then still holds what it held before.
    void write(SlotBuffer& buffer, const QString& fileName);

    // How the last successful write reached the disk.
    SlotFileWriter::Method lastMethod() const { return m_writer.lastMethod(); }

private:
    // The whole text, written over the file atomically.
    void rewrite(SlotBuffer& buffer, const QString& fileName);

    SlotFileWriter m_writer;
};
