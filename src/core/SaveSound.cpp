#include "core/SaveSound.h"

#include "base/AppError.h"
#include "core/SoundPlayer.h"
#include "platform/SoundOutput.h"
#include "settings/Settings.h"

#include <QCoreApplication>
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

SaveSound::SaveSound(const Settings* settings) : m_settings(settings) {}

SaveSound::SaveSound(const Settings* settings, SoundOutput& output)
    : m_settings(settings), m_output(&output)
{
}

SaveSound::~SaveSound() = default;

SoundPlayer& SaveSound::player()
{
    if (!m_player)
        m_player = std::make_unique<SoundPlayer>(createSystemSoundOutput());
    return *m_player;
}

void SaveSound::playWaveData(const QByteArray& image)
{
    if (m_output)
        m_output->playWaveData(image);
    else
        player().playWaveData(image);
}

void SaveSound::playWaveFile(const QString& fileName)
{
    if (m_output)
        m_output->playWaveFile(fileName);
    else
        player().playWaveFile(fileName);
}

QString SaveSound::chimeResource() const
{
    return m_chime.isEmpty() ? QString::fromLatin1(BuiltInChime) : m_chime;
}

void SaveSound::setChimeResource(const QString& path)
{
    m_chime = path;
}

void SaveSound::indicateSave()
{
    const QString chosen = m_settings ? m_settings->soundFile() : QString();
    if (!m_settings || m_settings->defaultSound() || !QFileInfo(chosen).isFile()) {
        playChime();
        return;
    }
    playWaveFile(chosen);
}

void SaveSound::playChime()
{
    initChimeResource();
    QByteArray image;
    {
        QFile resource(chimeResource());
        if (resource.open(QIODevice::ReadOnly))
            image = resource.readAll();
    }
    if (image.isEmpty())
        throw AppError(QCoreApplication::translate("SaveSound", "Cannot read CHIMES_WAV"));
    playWaveData(image);
}
