#include "gui/DiskArchive.h"

#include "app/Document.h"
#include "app/RegUserData.h"
#include "archive/ArchiveRun.h"
#include "gui/ArchiveDlg.h"
#include "gui/ArchiveResult.h"
#include "gui/GuiText.h"
#include "gui/WidgetFactory.h"
#include "platform/Interruption.h"
#include "platform/UserInterface.h"

#include <QMessageBox>

#include <string_view>

namespace {

constexpr const char* kProgressText = "Now archive...";
constexpr const char* kReplaceQuestion = "Move the earlier archive aside and archive this disk?";
// The run's refusal names the command line's option for moving the earlier archive
// aside; in the question the Yes button does it.
constexpr std::string_view kReplaceOption = "--replace ";
constexpr const char* kReplaceAnswer = "Yes ";
constexpr int kExitRefused = 2;

// Keeps the archive's lines for the result and shows its bar in the "Convert" window.
class WindowConsole : public archive::ArchiveConsole {
public:
    WindowConsole(platform::UserInterface& ui, std::vector<std::string>& lines) : m_ui(ui), m_lines(lines) {}

    void Warn(const std::string& text) override { m_lines.push_back(text); }
    void Listed(const std::string&) override {}
    std::unique_ptr<platform::ProgressWindow> CreateProgressWindow() override
    {
        auto window = m_ui.CreateProgressWindow();
        if (window)
            window->SetText(kProgressText);
        return window;
    }

private:
    platform::UserInterface& m_ui;
    std::vector<std::string>& m_lines;
};

std::string ReplaceQuestionText(const std::vector<std::string>& refusal)
{
    std::string text;
    std::string answer;
    for (const auto& line : refusal) {
        if (line.compare(0, kReplaceOption.size(), kReplaceOption) == 0)
            answer = kReplaceAnswer + line.substr(kReplaceOption.size()) + ".";
        else
            text += line + "\n";
    }
    return text + "\n" + kReplaceQuestion + (answer.empty() ? "" : " " + answer);
}

}  // namespace

CDiskArchive::CDiskArchive(const COVFtoWAVEDoc& doc, platform::UserInterface& ui, CUserData& settings,
                           QWidget* owner, platform::FileSystem& files)
    : m_doc(doc), m_ui(ui), m_settings(settings), m_owner(owner), m_files(files)
{
}

void CDiskArchive::Run()
{
    const std::string& disk = m_doc.m_strMoFolder;
    // No disk chosen, or a folder that is no recorder disk: said as the pages say it.
    if (const auto refusal = m_doc.DiskRefusal(MessageId::ConvertFailed, m_files)) {
        ShowRefusal(m_ui, *refusal);
        return;
    }
    std::string folder;
    m_settings.GetArchivePath(folder);
    CArchiveDlg dialog(m_ui, folder, [this](const std::string& outdir) { return CheckOutdir(outdir); }, m_owner);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_settings.SetArchivePath(dialog.Outdir());

    archive::ArchiveOptions options{.disk = disk, .outdir = dialog.Outdir(), .format = dialog.Format()};
    std::vector<std::string> lines;
    int status = RunEngine(options, lines);
    if (status == kExitRefused) {
        if (!AskReplace(lines))
            return;
        options.replace = true;
        lines.clear();
        status = RunEngine(options, lines);
    }
    ShowResult(lines, status, options.outdir);
}

bool CDiskArchive::CheckOutdir(const std::string& outdir)
{
    const auto refusal = archive::OutdirRefusal(m_doc.m_strMoFolder, outdir, m_files);
    if (refusal)
        m_ui.ShowError(MessageId::ConvertFailed, {*refusal, {}});
    return !refusal;
}

int CDiskArchive::RunEngine(const archive::ArchiveOptions& options, std::vector<std::string>& lines)
{
    WindowConsole console(m_ui, lines);
    return archive::RunArchive(options, m_files, console);
}

bool CDiskArchive::AskReplace(const std::vector<std::string>& refusal)
{
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kApplicationTitle),
                    FromEngine(ReplaceQuestionText(refusal)), QMessageBox::Yes | QMessageBox::No, m_owner);
    box.setObjectName(QStringLiteral("replaceQuestion"));
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    ReserveMessageBoxWidth(box);
    return box.exec() == QMessageBox::Yes;
}

void CDiskArchive::ShowResult(const std::vector<std::string>& lines, int status, const std::string& outdir)
{
    // A folder the run could not make offers nothing to open.
    const bool made = m_files.KindOf(outdir) == platform::FileKind::Folder;
    CArchiveResultDlg result(SortArchiveLines(lines, status == platform::kInterruptedExitStatus),
                             made ? outdir : std::string(), m_owner);
    result.exec();
}
