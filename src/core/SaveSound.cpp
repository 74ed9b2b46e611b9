#include "core/SaveSound.h"

#include "base/AppError.h"
#include "core/SoundPlayer.h"
#include "platform/SoundOutput.h"
#include "settings/RegistryLayout.h"

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
    const QString chosen = Layout::SoundFile.read();
    if (Layout::DefaultSound.read() || !QFileInfo(chosen).isFile()) {
        playChime();
        return;
    }
    playWaveFile(Layout::SoundFile.read());
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
