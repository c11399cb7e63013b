#include "tests/support/ScriptedUserInterface.h"

#include <algorithm>

namespace testsupport {

namespace {

UiEvent MakeEvent(UiEvent::Kind kind, const std::string& text = {})
{
    UiEvent event{kind, text, platform::MessageIcon::Exclamation, platform::MessageButtons::Ok, {}, {}};
    return event;
}

// One question whether to stop: Yes from question `stopAtPoll` on.
bool Poll(int stopAtPoll, int& polls)
{
    return stopAtPoll >= 0 && polls++ >= stopAtPoll;
}

class ScriptedProgressWindow : public platform::ProgressWindow {
public:
    ScriptedProgressWindow(std::vector<UiEvent>& events, const int& stopAtPoll, int& polls)
        : m_events(events), m_stopAtPoll(stopAtPoll), m_polls(polls)
    {
        m_events.push_back(MakeEvent(UiEvent::Kind::ProgressCreated));
    }
    ~ScriptedProgressWindow() override { m_events.push_back(MakeEvent(UiEvent::Kind::ProgressDestroyed)); }
    void SetText(const std::string& text) override { m_events.push_back(MakeEvent(UiEvent::Kind::ProgressText, text)); }
    void Show() override { m_events.push_back(MakeEvent(UiEvent::Kind::ProgressShown)); }
    void StepAnimation() override { m_events.push_back(MakeEvent(UiEvent::Kind::ProgressStep)); }
    bool StopRequested() const override { return Poll(m_stopAtPoll, m_polls); }

private:
    std::vector<UiEvent>& m_events;
    const int& m_stopAtPoll;
    int& m_polls;
};

}  // namespace

platform::Answer ScriptedUserInterface::ShowMessage(const std::string& text, platform::MessageIcon icon,
                                                    platform::MessageButtons buttons,
                                                    const platform::MessageDetail& detail)
{
    events.push_back({UiEvent::Kind::Message, text, icon, buttons, {}, detail});
    if (buttons == platform::MessageButtons::Ok)
        return platform::Answer::Ok;
    if (questionAnswers.empty())
        return platform::Answer::No;
    const auto answer = questionAnswers.front();
    questionAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedUserInterface::RunFileDialog(const platform::FileDialogRequest& request)
{
    events.push_back({UiEvent::Kind::FileDialog, {}, platform::MessageIcon::Exclamation,
                      platform::MessageButtons::Ok, request, {}});
    const auto eventIndex = events.size() - 1;
    while (!dialogAnswers.empty()) {
        const auto answer = dialogAnswers.front();
        dialogAnswers.pop_front();
        if (!answer)
            return std::nullopt;
        if (!request.acceptCheck || request.acceptCheck(*answer)) {
            events[eventIndex].text = *answer;
            return answer;
        }
    }
    return std::nullopt;
}

std::optional<std::string> ScriptedUserInterface::BrowseForFolder(const std::string& title, const std::string&)
{
    events.push_back(MakeEvent(UiEvent::Kind::FolderBrowser, title));
    if (folderAnswers.empty())
        return std::nullopt;
    const auto answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

void ScriptedUserInterface::BeginWaitCursor()
{
    events.push_back(MakeEvent(UiEvent::Kind::WaitBegin));
}

void ScriptedUserInterface::EndWaitCursor()
{
    events.push_back(MakeEvent(UiEvent::Kind::WaitEnd));
}

bool ScriptedUserInterface::StopRequested() const
{
    return Poll(stopAtPoll, stopPolls);
}

std::unique_ptr<platform::ProgressWindow> ScriptedUserInterface::CreateProgressWindow()
{
    if (progressCreationFails)
        return nullptr;
    return std::make_unique<ScriptedProgressWindow>(events, stopAtPoll, stopPolls);
}

std::vector<std::string> ScriptedUserInterface::Messages() const
{
    std::vector<std::string> texts;
    for (const auto& event : events) {
        if (event.kind == UiEvent::Kind::Message)
            texts.push_back(event.text);
    }
    return texts;
}

std::vector<std::string> ScriptedUserInterface::Details() const
{
    std::vector<std::string> texts;
    for (const auto& event : events) {
        if (event.kind == UiEvent::Kind::Message)
            texts.push_back(event.detail.text);
    }
    return texts;
}

int ScriptedUserInterface::Count(UiEvent::Kind kind) const
{
    return static_cast<int>(
        std::count_if(events.begin(), events.end(), [kind](const UiEvent& event) { return event.kind == kind; }));
}

std::vector<platform::FileDialogRequest> ScriptedUserInterface::DialogRequests() const
{
    std::vector<platform::FileDialogRequest> requests;
    for (const auto& event : events) {
        if (event.kind == UiEvent::Kind::FileDialog)
            requests.push_back(event.request);
    }
    return requests;
}

}  // namespace testsupport
