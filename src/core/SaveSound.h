#pragma once

#include <QString>

class SoundOutput;

// The sound that tells the user a capture has been saved: the chime built
// into the program (resource ":/CHIMES_WAV") or a wave file of the user's
// choice. Every call plays synchronously and returns when the sound has
// ended.

// Chooses and plays the save sound: the built-in chime while "DefaultSound"
// is true (its default), otherwise the file "SoundFile" names, or the chime
// again when no such file exists (an empty name or a folder counts as
// missing). Called by the capture after the slot file has been written.
void IndicateSave();

// Plays the built-in chime. Raises AppError "Cannot read CHIMES_WAV" when
// the resource is missing or cannot be read.
void PlayChimes();

// Plays a wave file. The result is ignored: a file that cannot be played is
// silently not heard.
void PlayWaveFile(const QString& fileName);

namespace SaveSound {

// The output every sound goes through: the platform's own unless replaced.
SoundOutput& output();
// Replaces the output (not owned); nullptr restores the platform's own.
void setOutput(SoundOutput* output);

// Where PlayChimes finds the chime: ":/CHIMES_WAV" unless replaced.
QString chimeResource();
// Replaces the chime's location; an empty path restores the built-in one.
void setChimeResource(const QString& path);

} // namespace SaveSound
