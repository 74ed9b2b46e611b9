#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class Settings;
class SoundOutput;
class SoundPlayer;

// The sound that tells the user a capture has been saved: the chime built
// into the program (resource ":/CHIMES_WAV") or a wave file of the user's
// choice. The sound plays beside the caller, on the sound player's own
// thread: every call returns at once, and a burst of calls is heard as at
// most two sounds (see SoundPlayer). Choosing the sound and reading the
// chime happen on the caller's side, so a chime that cannot be read is
// still raised to the caller. Start-up makes one and hands it to the
// collector and the preferences.
class SaveSound final
{
public:
    static constexpr const char* BuiltInChime = ":/CHIMES_WAV";

    // The settings choose the sound (not owned; without them the chime
    // plays). The platform's output plays it, behind a player thread made
    // with the first sound and ended (the sound cut short, the thread
    // joined) with this object.
    explicit SaveSound(const Settings* settings);
    // Sounds go to output (not owned) instead, called directly on the
    // caller's thread.
    SaveSound(const Settings* settings, SoundOutput& output);
    ~SaveSound();
    SaveSound(const SaveSound&) = delete;
    SaveSound& operator=(const SaveSound&) = delete;

    // Chooses and plays the save sound: the built-in chime while
    // "DefaultSound" is true (its default), otherwise the file "SoundFile"
    // names, or the chime again when no such file exists (an empty name or
    // a folder counts as missing). Called by the capture after the slot file
    // has been written.
    void indicateSave();

    // Plays the built-in chime. Raises AppError "Cannot read CHIMES_WAV"
    // when the resource is missing or cannot be read.
    void playChime();

    void playWaveData(const QByteArray& image);
    void playWaveFile(const QString& fileName);

    // Where playChime finds the chime: ":/CHIMES_WAV" unless replaced.
    QString chimeResource() const;
    // Replaces the chime's location; an empty path restores the built-in one.
    void setChimeResource(const QString& path);

private:
    SoundPlayer& player();

    const Settings* m_settings;
    SoundOutput* m_output = nullptr;
    std::unique_ptr<SoundPlayer> m_player;
    QString m_chime;
};
