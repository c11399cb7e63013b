#include "platform/Messages.h"

#include <map>

const std::string& MessageText(MessageId id)
{
    static const std::map<MessageId, std::string> texts = {
        {MessageId::FormatUnknown, "The file format is unknown."},
        {MessageId::Track1NameWrong, "The file name of the truck 1 is wrong."},
        {MessageId::DifferentFormat, "This file is in a different format."},
        {MessageId::NoDiskSpace, "There is no disk free space which is necessary for the conversion."},
        {MessageId::InsideError, "Inside error."},
        {MessageId::FnbReadFailed, "FNB.TXT reading is failed."},
        {MessageId::FnbWriteFailed, "FNB.TXT writing is failed."},
        {MessageId::FnbFull, "FNB.TXT file is full."},
        {MessageId::ProjectNumberFull, "A project number is full."},
        {MessageId::SampleReadFailed, "Sampling Data reading is failed."},
        {MessageId::FileNotFound, "File can't be found."},
        {MessageId::ConvertFailed, "Convert failed."},
        {MessageId::FileExists, "This file already exists.\r\n\r\nReplace existing file?"},
        {MessageId::ConvertSucceeded, "Convert succeeded."},
    };
    return texts.at(id);
}

std::string WithLineBreaks(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}
