#pragma once

#include <QByteArray>
#include <QString>

class Settings;
class SoundOutput;

// The sound that tells the user a capture has been saved: the chime built
// into the program (resource ":/CHIMES_WAV") or a wave file of the user's
// choice. The sound plays beside the caller, on the sound player's own
// thread: every call returns at once, and a burst of calls is heard as at
// most two sounds (see SoundPlayer). Choosing the sound and reading the
// chime happen on the caller's side, so a chime that cannot be read is
// still raised to the caller.

namespace SaveSound {

// Chooses and plays the save sound: the built-in chime while "DefaultSound"
// is true (its default), otherwise the file "SoundFile" names, or the chime
// again when no such file exists (an empty name or a folder counts as
// missing). Called by the capture after the slot file has been written.
void indicateSave();

// Plays the built-in chime. Raises AppError "Cannot read CHIMES_WAV" when
// the resource is missing or cannot be read.
void playChime();

// Hands a sound to the platform's output behind the sound player, or to the
// replacement output, which is then called directly on the caller's thread.
void playWaveData(const QByteArray& image);
void playWaveFile(const QString& fileName);

// Replaces the player and output (not owned); nullptr restores the
// platform's own.
void setOutput(SoundOutput* output);

// The settings that choose the sound (not owned); without them the chime
// plays.
void setSettings(const Settings* settings);

// Where playChime finds the chime: ":/CHIMES_WAV" unless replaced.
QString chimeResource();
// Replaces the chime's location; an empty path restores the built-in one.
void setChimeResource(const QString& path);

} // namespace SaveSound
