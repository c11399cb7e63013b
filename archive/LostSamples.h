#pragma once
// What the unreadable ranges of a disk's data files cost its tracks. A range that
// cannot be read takes the whole groups of samples it touches: the decode reads those
// groups as zeros (digital silence, never the half-zeroed bits of a group), and the
// time spans they cover on each track are named in a warning.

#include "archive/ArchiveFiles.h"
#include "archive/ArchiveSurvey.h"
#include "platform/ForwardingFileSystem.h"
#include "recorder/Errors.h"
#include "recorder/TrackFile.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace archive {

// The unreadable ranges of the disk's files, by name as spelt on the disk; a file
// without any is not listed.
using DamageMap = std::map<std::string, std::vector<UnreadableRange>>;

// The entry of the file `name` (as FNB.BIN spells it: letter case aside); null for none.
const DamageMap::value_type* DamageOfFile(const DamageMap& damage, const std::string& name);

// A stretch of a track's time line that is silent because its samples could not be read.
struct SilentSpan {
    std::uint64_t first = 0;    // sample position on the track's time line
    std::uint64_t samples = 0;
    std::string dataFile;       // as spelt on the disk
    UnreadableRange bytes;      // the unreadable range of the data file it comes from

    bool operator==(const SilentSpan&) const = default;
};

// The silent spans of `track`, in time-line order, for a project of `layout`.
std::vector<SilentSpan> SilentSpans(const TrackFacts& track, const WordLengthLayout& layout,
                                    const DamageMap& damage);

// The warning that names a silent span: its track, its time span and the data file.
Warning SilenceWarning(const TrackFacts& track, const SilentSpan& span, std::uint32_t rate);

// The bytes of each damaged data file that its tracks' decode reads as zeros: each
// unreadable range widened to the whole groups it touches, in the layout of the
// project the file belongs to.
DamageMap SilencedBytes(const DiskSurvey& survey, const DamageMap& damage);

// Reads through another file system, with the `silenced` bytes of the files of those
// names (in any folder, letter case aside) zero and never read: the decode of a
// damaged copy, and the fresh read of a damaged disk, which so does not try its bad
// areas again.
class SilencedReads : public platform::ForwardingFileSystem {
public:
    SilencedReads(platform::FileSystem& inner, DamageMap silenced);

    std::unique_ptr<platform::ByteSource> OpenRead(const std::string& path) override;

private:
    DamageMap m_silenced;
};

}  // namespace archive
