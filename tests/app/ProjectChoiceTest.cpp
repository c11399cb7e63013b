#include "app/ProjectChoice.h"

#include "app/Document.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

ProjectEntry Entry(std::uint16_t number, const char* name, const char* rate, const char* bits)
{
    ProjectEntry entry;
    entry.record.projectNumber = number;
    entry.texts = {name, rate, bits};
    return entry;
}

}  // namespace

TEST(ProjectChoice, SelectWritesTheShownTextsAndTheHighlightedRecord)
{
    struct Case {
        const char* name;
        bool listed;
        std::vector<int> highlights;
        int selectedRow;
        bool closes;
        ProjectTexts written;
        std::uint16_t recordNumber;  // 0: the record is cleared
    };
    const Case cases[] = {
        {"second row", true, {0, 1}, 1, true, {"B", "48.0KHz", "24bit"}, 7},
        {"nothing highlighted keeps the texts shown last", true, {0, -1}, -1, false, {"A", "32.0KHz", "16bit"}, 0},
        {"a row outside the list shows nothing new", true, {1, 2}, 0, true, {"B", "48.0KHz", "24bit"}, 4},
        {"empty list", false, {}, -1, false, {}, 0},
    };
    for (const auto& c : cases) {
        COVFtoWAVEDoc doc;
        doc.m_projectRecord.projectNumber = 9;
        std::vector<ProjectEntry> entries;
        if (c.listed)
            entries = {Entry(4, "A", "32.0KHz", "16bit"), Entry(7, "B", "48.0KHz", "24bit")};
        CProjectChoice choice(doc, entries, true);
        for (const int row : c.highlights)
            choice.Highlight(row);
        EXPECT_EQ(choice.Select(c.selectedRow), c.closes) << c.name;
        EXPECT_EQ(doc.m_strProjectName, c.written.name) << c.name;
        EXPECT_EQ(doc.m_strSamplingRate, c.written.rate) << c.name;
        EXPECT_EQ(doc.m_strBits, c.written.bits) << c.name;
        EXPECT_EQ(doc.m_projectRecord.projectNumber, c.recordNumber) << c.name;
    }
}
