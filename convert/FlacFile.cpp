#include "convert/FlacFile.h"

#ifdef WAVELORN_HAVE_FLAC

#include "convert/SndfileIo.h"

namespace convert {

namespace {

constexpr unsigned kShortBits = 16;

}  // namespace

bool FlacAvailable()
{
    return true;
}

struct FlacWriter::Stream {
    OutputIo io;
    SNDFILE* sound = nullptr;
    bool failed = false;
};

FlacWriter::FlacWriter(std::unique_ptr<platform::OutputFile> file, std::uint32_t rate, unsigned bits, int channels)
    : m_stream(std::make_unique<Stream>())
{
    m_stream->io.file = std::move(file);
    if (!m_stream->io.file)
        return;
    SF_INFO info{};
    info.samplerate = static_cast<int>(rate);
    info.channels = channels;
    info.format = SF_FORMAT_FLAC | (bits == kShortBits ? SF_FORMAT_PCM_16 : SF_FORMAT_PCM_24);
    m_stream->sound = sf_open_virtual(OutputCalls(), SFM_WRITE, &info, &m_stream->io);
}

FlacWriter::~FlacWriter()
{
    if (m_stream->sound)
        sf_close(m_stream->sound);
}

bool FlacWriter::IsOpen() const
{
    return m_stream->sound != nullptr;
}

bool FlacWriter::Write(const std::int32_t* samples, std::size_t frames)
{
    const auto count = static_cast<sf_count_t>(frames);
    m_stream->failed = m_stream->failed || !m_stream->sound ||
                       sf_writef_int(m_stream->sound, samples, count) != count;
    return !m_stream->failed;
}

bool FlacWriter::Close()
{
    if (!m_stream->sound)
        return false;
    // The encoder flushes its last frame and rewrites the stream header here.
    const bool ended = sf_close(m_stream->sound) == 0;
    m_stream->sound = nullptr;
    // On the device before the file can take its name.
    const bool synced = ended && m_stream->io.file->Sync();
    const bool closed = m_stream->io.file->Close();
    return synced && closed && !m_stream->failed;
}

struct FlacReader::Stream {
    SourceIo io;
    SF_INFO info{};
    SNDFILE* sound = nullptr;
};

FlacReader::FlacReader(platform::ByteSource& source) : m_stream(std::make_unique<Stream>())
{
    m_stream->io.source = &source;
    m_stream->sound = sf_open_virtual(SourceCalls(), SFM_READ, &m_stream->info, &m_stream->io);
    if (m_stream->sound && (m_stream->info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_FLAC) {
        sf_close(m_stream->sound);
        m_stream->sound = nullptr;
    }
}

FlacReader::~FlacReader()
{
    if (m_stream->sound)
        sf_close(m_stream->sound);
}

bool FlacReader::IsOpen() const
{
    return m_stream->sound != nullptr;
}

int FlacReader::Channels() const
{
    return m_stream->info.channels;
}

std::uint64_t FlacReader::Frames() const
{
    return static_cast<std::uint64_t>(m_stream->info.frames);
}

std::size_t FlacReader::Read(std::int32_t* samples, std::size_t count)
{
    if (!m_stream->sound || m_stream->info.channels != 1)
        return 0;
    const sf_count_t got = sf_readf_int(m_stream->sound, samples, static_cast<sf_count_t>(count));
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

}  // namespace convert

#else  // no libsndfile: the archive offers WAVE only

namespace convert {

bool FlacAvailable()
{
    return false;
}

struct FlacWriter::Stream {};
FlacWriter::FlacWriter(std::unique_ptr<platform::OutputFile>, std::uint32_t, unsigned, int) {}
FlacWriter::~FlacWriter() = default;
bool FlacWriter::IsOpen() const { return false; }
bool FlacWriter::Write(const std::int32_t*, std::size_t) { return false; }
bool FlacWriter::Close() { return false; }

struct FlacReader::Stream {};
FlacReader::FlacReader(platform::ByteSource&) {}
FlacReader::~FlacReader() = default;
bool FlacReader::IsOpen() const { return false; }
int FlacReader::Channels() const { return 0; }
std::uint64_t FlacReader::Frames() const { return 0; }
std::size_t FlacReader::Read(std::int32_t*, std::size_t) { return 0; }

}  // namespace convert

#endif
