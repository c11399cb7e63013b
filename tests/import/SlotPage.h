#pragma once
// The page of the import tests: eight track slots and no controls.

#include "import/ImportChecks.h"
#include "import/OrvoTrack.h"

class SlotPage : public CImportPage {
public:
    explicit SlotPage(TrackSlots& slots) : m_slots(slots) {}
    COrvoTrack& GetTrackSlot(std::uint8_t index) override { return m_slots.at(index); }
    void EnableInputs(bool) override {}
    void ShowFormat(bool) override {}

private:
    TrackSlots& m_slots;
};
