#pragma once
// The Stereo export: one file under exactly the chosen name holding the tracks as
// interleaved channels, the lowest-numbered track as channel 1. A single track
// gives a one-channel file.

#include "export/ChannelType.h"

class CStereoType : public CChannelType {
public:
    using CChannelType::CChannelType;

    std::vector<std::string> ExistingOutputs(const std::string& path) const override;

protected:
    OutputLayout Layout() const override { return OutputLayout::OneFile; }
    platform::FileDialogRequest DialogOptions() override;
    void Run(const std::string& path) override;
};
