// The AIFF reader over arbitrary bytes: its header check (the chunk walk and the
// byte-wise search it falls back to), then the region scan of an accepted file; no
// non-zero sample byte may lie outside the regions found.

#include "fuzz/SoundFileScan.h"
#include "import/PCAiffFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    testsupport::MemoryFileSystem files;
    CPCAiffFile reader(files);
    fuzz::CheckHeaderAndScan(reader, files, data, size);
    return 0;
}
