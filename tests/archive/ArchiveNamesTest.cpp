#include "archive/ArchiveNames.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace archive;

namespace {

sobinder Project(unsigned number, const std::string& name)
{
    sobinder record{};
    record.projectNumber = static_cast<std::uint16_t>(number);
    std::memcpy(record.songName, name.data(), std::min(name.size(), kSongNameSize));
    return record;
}

TEST(ArchiveNames, ProjectFoldersAreSafeUtf8)
{
    struct Case {
        unsigned number;
        std::string name;
        std::string folder;
    };
    const Case cases[] = {
        {5, "Demo", "05 Demo"},
        {100, "Demo", "100 Demo"},
        {1, "Caf\xe9", "01 Caf\xc3\xa9"},                  // Latin-1 e acute
        {1, "\xa0\xff", "01 \xc2\xa0\xc3\xbf"},               // the top of Latin-1
        {2, "a/b\\c:d*e?f", "02 a_b_c_d_e_f"},               // refused by file systems
        {3, "<\"|>", "03 ____"},
        {4, "tab\there\x7f", "04 tab_here_"},                 // C0 and DEL
        {5, "c1\x85\x9f", "05 c1__"},                         // C1 controls
        {6, "end. ", "06 end__"},                             // Windows drops trailing dots and spaces
        {7, std::string("12345678901234", 14), "07 12345678901234"},  // a full field has no NUL
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProjectFolderName(Project(c.number, c.name)), c.folder) << c.name;
}

TEST(ArchiveNames, TakenNamesGetANumberInListOrder)
{
    EXPECT_EQ(UniqueNames({"01 A", "02 B", "01 A", "01 a", "01 A (2)", "01 A"}),
              (std::vector<std::string>{"01 A", "02 B", "01 A (2)", "01 a (3)", "01 A (2) (2)", "01 A (4)"}));
}

TEST(ArchiveNames, TemporariesAndRecorderFilesAreRecognised)
{
    const std::string temporary = TemporaryNameFor("T1V1.wav");
    EXPECT_EQ(temporary.rfind(".T1V1.wav.wavelorn-", 0), 0u);
    EXPECT_NE(temporary, TemporaryNameFor("T1V1.wav"));
    struct Case {
        std::string name;
        bool temporary;
        bool recorder;
    };
    const Case cases[] = {
        {temporary, true, false},
        {".T1V1.wavelorn-ab12cd34-11.wav", true, false},
        {"T1V1.wav", false, false},
        {".hidden", false, false},
        {"FNB.BIN", false, true},
        {"fnb.txt", false, true},
        {"Hfs.Bin", false, true},
        {"8b320512.345", false, true},
        {"8B320512.345", false, true},
        {"8b320512.3456", false, false},
        {"8b31051.2345", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsTemporaryName(c.name), c.temporary) << c.name;
        EXPECT_EQ(IsRecorderFileName(c.name), c.recorder) << c.name;
    }
    EXPECT_EQ(TrackOutputName(3, 8, ArchiveFormat::Wave), "T3V8.wav");
    EXPECT_EQ(TrackOutputName(1, 2, ArchiveFormat::Flac), "T1V2.flac");
}

}  // namespace
