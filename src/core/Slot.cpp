#include "core/Slot.h"

#include "core/SaveSound.h"
#include "core/slotfile/SlotFile.h"

#include <QFileInfo>

#include <utility>

namespace {

// Line breaks as the slot's text keeps them: CR LF, lone CR and the
// paragraph separator each become one '\n', so the block has the same
// characters in the text and in the file.
QString withLfBreaks(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace

QString captureBlock(const QString& stampLine, const QString& text)
{
    return QStringLiteral("\n\n") + withLfBreaks(stampLine) + QLatin1Char('\n') +
           withLfBreaks(text) + QStringLiteral("\n\n\n");
}

qsizetype Slot::viewLimit()
{
    return SlotText::MaxCharacters - ViewHeadroom;
}

Slot::Slot(const QString& fileName, SaveSound& sound, QObject* parent)
    : QObject(parent), m_writer(fileName), m_sound(sound)
{
}

Slot::~Slot() = default;

void Slot::setFileName(const QString& fileName)
{
    if (fileName == m_writer.fileName())
        return;
    m_writer.bind(fileName);
    Q_EMIT fileNameChanged(fileName);
}

void Slot::load()
{
    const QFileInfo info(fileName());
    if (!info.exists() || info.isDir()) {
        adopt();
        return;
    }
    try {
        read();
    } catch (...) {
        reportFileNotes();
        throw;
    }
    reportFileNotes();
}

void Slot::read()
{
    m_writer.forget();
    const QString text = m_writer.read(viewLimit());
    m_text.setText(text);
    m_text.markUnchanged();
    noteIfKeptOtherwise(text.size(), text);
}

void Slot::adopt()
{
    m_writer.noteRead();
    m_text.markUnchanged();
}

void Slot::rebind(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir()) {
        setFileName(path + QStringLiteral(".txt"));
        m_text.clearText();
        adopt();
        return;
    }
    const QString old = fileName();
    m_writer.bind(path);
    try {
        read();
    } catch (...) {
        m_writer.bind(old);
        throw;
    }
    if (path != old)
        Q_EMIT fileNameChanged(path);
    reportFileNotes();
}

void Slot::save()
{
    // Only what follows the unchanged start is taken from the text.
    m_writer.save(
        m_text.unchangedPrefixLength(), [this](qsizetype from) { return m_text.textLfFrom(from); },
        m_text.font(), SlotFileWriter::Purpose::Whole);
    m_text.markUnchanged();
    reportFileNotes();
}

void Slot::saveAs(const QString& target) const
{
    SlotFile::writeText(target, showsFileEnd() ? SlotFile::readText(fileName()) : m_text.textLf(),
                        m_text.font());
}

void Slot::clear()
{
    if (changedOnDisk())
        read();
    m_text.clearText();
    save();
}

void Slot::capture(const QString& stampLine, const QString& text)
{
    capture(std::vector<CopiedText>{{stampLine, text}});
}

void Slot::capture(const std::vector<CopiedText>& copies)
{
    QString blocks;
    for (const CopiedText& copy : copies) {
        if (!copy.text.isEmpty())
            blocks += captureBlock(copy.stampLine, copy.text);
    }
    if (blocks.isEmpty())
        return;
    // One look at the disk: a file another program changed is read first,
    // after the unsaved text its text would replace is set aside.
    QString aside;
    if (changedOnDisk()) {
        aside = saveAside(QDateTime::currentDateTime());
        refresh();
    }
    appendBlocks(blocks);
    m_sound.indicateSave();
    if (!aside.isEmpty())
        Q_EMIT notice(tr("Unsaved text of the slot kept in %1").arg(aside));
    reportFileNotes();
}

void Slot::refresh()
{
    // Another program only added to the file (another Clipstow's capture, a
    // line from a script): its new text follows the slot's, read alone.
    if (!hasUnsavedText()) {
        const std::optional<QString> added = m_writer.readAdded();
        if (added && m_text.length() + added->size() <= SlotText::MaxCharacters) {
            const qsizetype before = m_text.length();
            m_text.appendAtEnd(*added);
            m_text.markUnchanged();
            noteIfKeptOtherwise(before + added->size(), *added);
            return;
        }
    }
    read();
}

void Slot::appendBlocks(const QString& block)
{
    // A slot showing the file's end whose view was edited before its end
    // cannot save the view: the block goes straight to the file.
    const bool viewSaveable =
        !showsFileEnd() || m_text.unchangedPrefixLength() == m_text.markedLength();
    if (viewSaveable && m_text.length() + block.size() <= SlotText::MaxCharacters) {
        // The file takes the block before the text does: laying a large
        // text out takes longer than writing it, and the file is the
        // record. The text gets the block whatever the write did, so that a
        // capture that could not be written is still there to save.
        const qsizetype before = m_text.length();
        bool inText = false;
        const auto addToText = [&] {
            if (!std::exchange(inText, true))
                m_text.appendAtEnd(block);
        };
        try {
            m_writer.save(
                m_text.unchangedPrefixLength(),
                [&](qsizetype from) {
                    return from >= before ? block.mid(from - before)
                                          : m_text.textLfFrom(from) + block;
                },
                m_text.font(), SlotFileWriter::Purpose::Capture);
        } catch (const SlotFile::SlotFileChanged&) {
            // The text could not replace the file: the capture still goes
            // to its end.
            addToText();
            m_writer.appendText(block, m_text.font());
            throw;
        } catch (...) {
            addToText();
            throw;
        }
        addToText();
        m_text.markUnchanged();
        noteIfKeptOtherwise(before + block.size(), block);
        return;
    }
    // Too much for the text: the file takes the block whole, and the text
    // then shows the file's end.
    if (!viewSaveable) {
        // The view takes no edits; should it hold some, they are not saved
        // and the block goes after the file's text as it is.
        m_writer.appendText(block, m_text.font());
    } else {
        try {
            m_writer.save(
                m_text.unchangedPrefixLength(),
                [&](qsizetype from) { return m_text.textLfFrom(from) + block; }, m_text.font(),
                SlotFileWriter::Purpose::Capture);
        } catch (const SlotFile::SlotFileChanged&) {
            m_writer.appendText(block, m_text.font());
            throw;
        }
    }
    read();
}

void Slot::noteIfKeptOtherwise(qsizetype expectedLength, QStringView added)
{
    if (m_text.length() != expectedLength || !SlotText::keepsAsGiven(added))
        m_writer.noteTextDiffers(m_text.length());
}

bool Slot::needsAnswer() const
{
    return hasUnsavedText() && m_text.unchangedPrefixLength() != m_text.markedLength() &&
           changedOnDisk();
}

void Slot::settle(Settle how)
{
    if (!changedOnDisk())
        return;
    if (how == Settle::KeepBoth && hasUnsavedText()) {
        // Text only added at the end follows the file's new text; after an
        // edit before the end the slot's whole text does.
        const bool onlyAdded = m_text.unchangedPrefixLength() == m_text.markedLength();
        m_writer.appendText(onlyAdded ? m_text.textLfFrom(m_text.markedLength()) : m_text.textLf(),
                            m_text.font());
    }
    read();
}

QString Slot::saveAside(const QDateTime& now) const
{
    if (!hasUnsavedText())
        return QString();
    // A new file, 0600: only the user may read what was typed, and a name
    // someone else took (a link planted in a shared folder) is passed by.
    return SlotFile::writeNewFile(fileName() + QStringLiteral(".unsaved-") +
                                      now.toString(QStringLiteral("yyyyMMdd-HHmmss")),
                                  SlotFile::encodePlain(m_text.textLf()));
}

void Slot::reportFileNotes()
{
    const QString torn = m_writer.takeTornAside();
    if (!torn.isEmpty())
        //: %1 is the file the cut-off capture was moved to
        Q_EMIT notice(tr("A capture cut off while it was written was moved to %1").arg(torn));
    if (!m_writer.lockProblem().isEmpty())
        //: %1 is the slot's file, %2 why it had no lock
        Q_EMIT notice(
            tr("%1 was written without its lock (%2)").arg(fileName(), m_writer.lockProblem()));
}
