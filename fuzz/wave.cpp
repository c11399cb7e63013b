// The WAVE reader over arbitrary bytes: its header check, then the region scan of an
// accepted file; no non-zero sample byte may lie outside the regions found.

#include "fuzz/SoundFileScan.h"
#include "import/PCWaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    testsupport::MemoryFileSystem files;
    CPCWaveFile reader(files);
    fuzz::CheckHeaderAndScan(reader, files, data, size);
    return 0;
}
