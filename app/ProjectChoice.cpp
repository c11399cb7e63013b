#include "app/ProjectChoice.h"

#include "app/Document.h"

#include <utility>

CProjectChoice::CProjectChoice(COVFtoWAVEDoc& doc, std::vector<ProjectEntry> entries, bool canSelect)
    : m_doc(doc), m_entries(std::move(entries)), m_canSelect(canSelect)
{
}

bool CProjectChoice::InList(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < m_entries.size();
}

void CProjectChoice::Highlight(int row)
{
    if (InList(row))
        m_shown = m_entries[static_cast<std::size_t>(row)].texts;
}

bool CProjectChoice::CanSelect(int row) const
{
    return m_canSelect && !(InList(row) && m_entries[static_cast<std::size_t>(row)].pending);
}

bool CProjectChoice::Select(int row)
{
    if (!CanSelect(row))
        return false;
    m_doc.m_strProjectName = m_shown.name;
    m_doc.m_strSamplingRate = m_shown.rate;
    m_doc.m_strBits = m_shown.bits;
    if (!InList(row)) {
        m_doc.m_projectRecord = sobinder{};
        return false;
    }
    m_doc.m_projectRecord = m_entries[static_cast<std::size_t>(row)].record;
    return true;
}
