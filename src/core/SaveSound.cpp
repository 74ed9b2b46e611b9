#include "core/SaveSound.h"

#include "base/AppError.h"
#include "core/SoundPlayer.h"
#include "platform/SoundOutput.h"
#include "settings/Settings.h"

#include <QFile>
#include <QFileInfo>
#include <memory>

// The resources are compiled into the static library; referencing their
// initialiser keeps them linked into every program that plays the chime.
static void initChimeResource()
{
    static const bool initialised = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    Q_UNUSED(initialised);
}

namespace SaveSound {

namespace {

constexpr const char* BuiltInChime = ":/CHIMES_WAV";

SoundOutput* replacedOutput = nullptr;
QString replacedChime;
const Settings* chosenBy = nullptr;

} // namespace

// The system's output behind a player thread of its own, made with the
// first sound and ended (the sound cut short, the thread joined) when the
// program exits.
SoundPlayer& systemPlayer()
{
    static SoundPlayer player(createSystemSoundOutput());
    return player;
}

void playWaveData(const QByteArray& image)
{
    if (replacedOutput)
        replacedOutput->playWaveData(image);
    else
        systemPlayer().playWaveData(image);
}

void playWaveFile(const QString& fileName)
{
    if (replacedOutput)
        replacedOutput->playWaveFile(fileName);
    else
        systemPlayer().playWaveFile(fileName);
}

void setOutput(SoundOutput* output)
{
    replacedOutput = output;
}

void setSettings(const Settings* settings)
{
    chosenBy = settings;
}

QString chimeResource()
{
    return replacedChime.isEmpty() ? QString::fromLatin1(BuiltInChime) : replacedChime;
}

void setChimeResource(const QString& path)
{
    replacedChime = path;
}

void indicateSave()
{
    const QString chosen = chosenBy ? chosenBy->soundFile() : QString();
    if (!chosenBy || chosenBy->defaultSound() || !QFileInfo(chosen).isFile()) {
        playChime();
        return;
    }
    playWaveFile(chosenBy->soundFile());
}

void playChime()
{
    initChimeResource();
    QByteArray image;
    {
        QFile resource(chimeResource());
        if (resource.open(QIODevice::ReadOnly))
            image = resource.readAll();
    }
    if (image.isEmpty())
        throw AppError(QStringLiteral("Cannot read CHIMES_WAV"));
    playWaveData(image);
}

} // namespace SaveSound
