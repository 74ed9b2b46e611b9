#include "platform/linux/SoundFileReader.h"

#include <pulse/sample.h>

#include <QFile>

#include <cstring>

namespace {

using Source = SoundFileReader::MemorySource;

sf_count_t memoryLength(void* user)
{
    return static_cast<Source*>(user)->bytes.size();
}

sf_count_t memorySeek(sf_count_t offset, int whence, void* user)
{
    auto* source = static_cast<Source*>(user);
    const sf_count_t size = source->bytes.size();
    sf_count_t target = offset;
    if (whence == SEEK_CUR)
        target += source->position;
    else if (whence == SEEK_END)
        target += size;
    if (target < 0 || target > size)
        return -1;
    source->position = target;
    return target;
}

sf_count_t memoryRead(void* destination, sf_count_t count, void* user)
{
    auto* source = static_cast<Source*>(user);
    const sf_count_t available = source->bytes.size() - source->position;
    const sf_count_t taken = count < available ? count : available;
    if (taken <= 0)
        return 0;
    std::memcpy(destination, source->bytes.constData() + source->position, size_t(taken));
    source->position += taken;
    return taken;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t memoryTell(void* user)
{
    return static_cast<Source*>(user)->position;
}

} // namespace

std::unique_ptr<SoundFileReader> SoundFileReader::fromImage(const QByteArray& image)
{
    std::unique_ptr<SoundFileReader> reader(new SoundFileReader);
    reader->m_source = std::make_unique<MemorySource>(MemorySource{image, 0});
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    reader->m_file = sf_open_virtual(&io, SFM_READ, &reader->m_info, reader->m_source.get());
    return reader->isPlayable() ? std::move(reader) : nullptr;
}

std::unique_ptr<SoundFileReader> SoundFileReader::fromFile(const QString& fileName)
{
    if (fileName.isEmpty())
        return nullptr;
    std::unique_ptr<SoundFileReader> reader(new SoundFileReader);
    reader->m_file = sf_open(QFile::encodeName(fileName).constData(), SFM_READ, &reader->m_info);
    return reader->isPlayable() ? std::move(reader) : nullptr;
}

SoundFileReader::~SoundFileReader()
{
    if (m_file)
        sf_close(m_file);
}

bool SoundFileReader::isPlayable() const
{
    return m_file && m_info.channels >= 1 && unsigned(m_info.channels) <= PA_CHANNELS_MAX &&
           m_info.samplerate >= 1 && unsigned(m_info.samplerate) <= PA_RATE_MAX;
}

qint64 SoundFileReader::read(float* destination, qint64 count)
{
    const sf_count_t frames = sf_readf_float(m_file, destination, count);
    return frames > 0 ? frames : 0;
}
