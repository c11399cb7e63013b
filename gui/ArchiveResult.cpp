#include "gui/ArchiveResult.h"

#include "gui/GuiText.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <string_view>

namespace {

constexpr const char* kTitle = "Archive Disk";
constexpr const char* kStoppedText =
    "The archive stopped. The next run on this disk into the same folder continues where it stopped.";
constexpr const char* kRescueText =
    "Running the archive again on this disk into the same folder reads only what could not be read "
    "(rescue-map.json in the folder lists it).";
constexpr std::string_view kSummaryPrefix = "archived ";
constexpr std::array<std::string_view, 2> kEndPrefixes{"archive stopped: ", "archive refused: "};
constexpr std::string_view kLeftOutPrefix = "left out: ";
constexpr std::string_view kUnreadablePrefix = "unreadable: ";
constexpr std::string_view kWarningPrefix = "warning: ";
constexpr std::string_view kSilenceMark = " is silent at ";
constexpr int kDetailMinimumWidth = 560;
constexpr int kDetailLines = 12;

// The order of the details: what is missing from the archive first.
enum class Kind { LeftOut, Unreadable, Silent, Note, Summary, End };

bool StartsWith(const std::string& line, std::string_view prefix)
{
    return line.compare(0, prefix.size(), prefix) == 0;
}

Kind KindOf(const std::string& line)
{
    if (StartsWith(line, kSummaryPrefix))
        return Kind::Summary;
    if (std::any_of(kEndPrefixes.begin(), kEndPrefixes.end(), [&](std::string_view p) { return StartsWith(line, p); }))
        return Kind::End;
    if (StartsWith(line, kLeftOutPrefix))
        return Kind::LeftOut;
    if (StartsWith(line, kUnreadablePrefix))
        return Kind::Unreadable;
    if (StartsWith(line, kWarningPrefix) && line.find(kSilenceMark) != std::string::npos)
        return Kind::Silent;
    return Kind::Note;
}

QLabel* MakeText(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QPlainTextEdit* MakeDetails(const std::vector<std::string>& details, QWidget* parent)
{
    auto* text = new QPlainTextEdit(parent);
    text->setObjectName(QStringLiteral("detailsText"));
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    for (const auto& line : details)
        text->appendPlainText(FromEngine(line));
    text->moveCursor(QTextCursor::Start);  // the list shows from its first line
    text->setMinimumWidth(kDetailMinimumWidth);
    text->setMinimumHeight(text->fontMetrics().lineSpacing() * kDetailLines);
    text->setVisible(!details.empty());
    return text;
}

}  // namespace

ArchiveResult SortArchiveLines(const std::vector<std::string>& lines, bool stopped)
{
    ArchiveResult result;
    std::vector<std::pair<Kind, std::string>> details;
    for (const auto& line : lines) {
        const Kind kind = KindOf(line);
        if (kind == Kind::Summary || (kind == Kind::End && result.heading.empty()))
            result.heading = line;
        else
            details.emplace_back(kind, line);
        result.unreadable = result.unreadable || kind == Kind::Unreadable;
    }
    if (stopped)
        result.heading = kStoppedText;
    std::stable_sort(details.begin(), details.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& detail : details)
        result.details.push_back(std::move(detail.second));
    return result;
}

CArchiveResultDlg::CArchiveResultDlg(const ArchiveResult& result, const std::string& outdir, QWidget* parent)
    : QDialog(parent), m_outdir(outdir)
{
    setObjectName(QStringLiteral("archiveResult"));
    setWindowTitle(QString::fromLatin1(kTitle));
    auto* rescue = MakeText(QString::fromLatin1(kRescueText), "rescueNote", this);
    rescue->setVisible(result.unreadable);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    if (!m_outdir.empty()) {
        auto* open = buttons->addButton(QStringLiteral("&Open Folder"), QDialogButtonBox::ActionRole);
        open->setObjectName(QStringLiteral("openFolderButton"));
        open->setAutoDefault(false);
        connect(open, &QPushButton::clicked, this, &CArchiveResultDlg::OnOpenFolder);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeText(FromEngine(result.heading), "headingText", this));
    layout->addWidget(MakeDetails(result.details, this));
    layout->addWidget(rescue);
    layout->addWidget(buttons);
    ok->setFocus();
}

void CArchiveResultDlg::OnOpenFolder()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(FromEngine(m_outdir)));
}
