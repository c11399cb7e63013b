#ifdef WAVELORN_HAVE_FLAC

#include "convert/SndfileIo.h"

#include <algorithm>

namespace convert {

namespace {

sf_count_t OutputLength(void* user)
{
    return static_cast<OutputIo*>(user)->length;
}

sf_count_t OutputSeek(sf_count_t offset, int whence, void* user)
{
    auto& io = *static_cast<OutputIo*>(user);
    const sf_count_t base = whence == SEEK_CUR ? io.position : whence == SEEK_END ? io.length : 0;
    const sf_count_t target = base + offset;
    if (target < 0 || !io.file->Seek(static_cast<std::uint64_t>(target)))
        return -1;
    io.position = target;
    return io.position;
}

sf_count_t OutputRead(void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t OutputWrite(const void* data, sf_count_t count, void* user)
{
    auto& io = *static_cast<OutputIo*>(user);
    if (count < 0 || !io.file->Write(data, static_cast<std::size_t>(count)))
        return 0;
    io.position += count;
    io.length = std::max(io.length, io.position);
    return count;
}

sf_count_t OutputTell(void* user)
{
    return static_cast<OutputIo*>(user)->position;
}

}  // namespace

SF_VIRTUAL_IO* OutputCalls()
{
    static SF_VIRTUAL_IO calls = {OutputLength, OutputSeek, OutputRead, OutputWrite, OutputTell};
    return &calls;
}


namespace {

sf_count_t SourceLength(void* user)
{
    return static_cast<sf_count_t>(static_cast<SourceIo*>(user)->source->Size());
}

sf_count_t SourceSeek(sf_count_t offset, int whence, void* user)
{
    auto& io = *static_cast<SourceIo*>(user);
    const sf_count_t base = whence == SEEK_CUR ? io.position : whence == SEEK_END ? SourceLength(user) : 0;
    if (base + offset < 0)
        return -1;
    io.position = base + offset;
    return io.position;
}

sf_count_t SourceRead(void* data, sf_count_t count, void* user)
{
    auto& io = *static_cast<SourceIo*>(user);
    if (count <= 0)
        return 0;
    const auto got = io.source->ReadAt(static_cast<std::uint64_t>(io.position), data, static_cast<std::size_t>(count));
    if (!got)
        return 0;
    io.position += static_cast<sf_count_t>(*got);
    return static_cast<sf_count_t>(*got);
}

sf_count_t SourceWrite(const void*, sf_count_t, void*)
{
    return 0;
}

sf_count_t SourceTell(void* user)
{
    return static_cast<SourceIo*>(user)->position;
}

}  // namespace

SF_VIRTUAL_IO* SourceCalls()
{
    static SF_VIRTUAL_IO calls = {SourceLength, SourceSeek, SourceRead, SourceWrite, SourceTell};
    return &calls;
}

}  // namespace convert

#endif  // WAVELORN_HAVE_FLAC
