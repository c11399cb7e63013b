#pragma once
// The Mono export: one one-channel file per track, named from the chosen base,
// the track number and the virtual track number ("Take.wav" -> "Take31.wav").

#include "export/ChannelType.h"

class CMonoType : public CChannelType {
public:
    using CChannelType::CChannelType;

    std::vector<std::string> ExistingOutputs(const std::string& path) const override;

protected:
    OutputLayout Layout() const override { return OutputLayout::FilePerTrack; }
    platform::FileDialogRequest DialogOptions() override;
    void Run(const std::string& path) override;
};
