#pragma once
// The project dialog's handling of the document, free of any window: the texts
// of the highlighted project and what "&Select" writes into the document.

#include "recorder/Records.h"

#include <string>
#include <vector>

class COVFtoWAVEDoc;

// The information the dialog shows for one project.
struct ProjectTexts {
    std::string name;
    std::string rate;
    std::string bits;
};

// One line of the dialog's list: the project's record and its information.
struct ProjectEntry {
    sobinder record{};
    ProjectTexts texts;
    // Imported and not yet taken over by the recorder: listed after the recorder's
    // projects, without a record, and cannot be chosen.
    bool pending = false;
};

class CProjectChoice {
public:
    // `canSelect`: whether the disk's project index could be opened at all.
    CProjectChoice(COVFtoWAVEDoc& doc, std::vector<ProjectEntry> entries, bool canSelect);

    const std::vector<ProjectEntry>& Entries() const { return m_entries; }
    bool CanSelect() const { return m_canSelect; }

    // Shows the information of list row `row`; a row outside the list (nothing
    // highlighted) keeps the information shown last.
    void Highlight(int row);
    const ProjectTexts& Shown() const { return m_shown; }

    // Whether "&Select" can take list row `row`: the index could be opened and the row
    // is not a pending project.
    bool CanSelect(int row) const;

    // "&Select" with list row `row` highlighted: writes the shown information and the
    // row's record into the document. With no row (outside the list) the record is
    // cleared and the result is false: the dialog stays open. A pending row changes
    // nothing and is false.
    bool Select(int row);

private:
    bool InList(int row) const;

    COVFtoWAVEDoc& m_doc;
    std::vector<ProjectEntry> m_entries;
    bool m_canSelect;
    ProjectTexts m_shown;
};
