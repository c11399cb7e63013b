#include "gui/ConvStatAnimDlg.h"

#include "gui/GuiText.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr const char* kTitle = "Convert";
constexpr const char* kInitialText = "Now convert...";
constexpr const char* kCancelText = "Cancel";
constexpr const char* kStoppingText = "Stopping...";
constexpr qint64 kRefreshIntervalMs = 1000 / 60;
constexpr int kPercentMax = 100;
constexpr int kTextMinimumWidth = 140;
constexpr qreal kDetailFontScale = 0.85;
// Work that ends sooner than this shows no window when it asked for one only when slow.
constexpr qint64 kSlowWorkMs = 500;

}  // namespace

CConvStatAnimDlg::CConvStatAnimDlg(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_frames(MakeAnimationFrames()),
      m_image(kAnimationFrameSize, kAnimationFrameSize, QImage::Format_RGB32),
      m_anim(new QLabel(this)),
      m_text(new QLabel(QString::fromLatin1(kInitialText), this)),
      m_bar(new QProgressBar(this)),
      m_detail(new QLabel(this)),
      m_cancel(new QPushButton(QString::fromLatin1(kCancelText), this))
{
    setObjectName(QStringLiteral("convertWindow"));
    setWindowTitle(QString::fromLatin1(kTitle));
    m_anim->setObjectName(QStringLiteral("animation"));
    m_text->setObjectName(QStringLiteral("statusText"));
    m_bar->setObjectName(QStringLiteral("percentBar"));
    m_detail->setObjectName(QStringLiteral("detailText"));
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    // Enter pressed for something else must not stop the run.
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &CConvStatAnimDlg::OnCancel);
    m_blocker.LetThrough(m_cancel);

    // The area starts with the window's own colour; frames are drawn over it, never cleared.
    m_image.fill(palette().color(QPalette::Window));
    m_anim->setFixedSize(kAnimationFrameSize, kAnimationFrameSize);
    m_anim->setPixmap(QPixmap::fromImage(m_image));
    m_text->setMinimumWidth(kTextMinimumWidth);
    m_bar->setRange(0, kPercentMax);
    m_bar->setValue(0);
    QSizePolicy barPolicy = m_bar->sizePolicy();
    barPolicy.setRetainSizeWhenHidden(true);
    m_bar->setSizePolicy(barPolicy);
    m_bar->hide();
    QFont small = m_detail->font();
    small.setPointSizeF(small.pointSizeF() * kDetailFontScale);
    m_detail->setFont(small);
    m_detail->hide();

    auto* textColumn = new QVBoxLayout;
    textColumn->addStretch();
    textColumn->addWidget(m_text);
    textColumn->addWidget(m_bar);
    textColumn->addWidget(m_detail);
    textColumn->addWidget(m_cancel, 0, Qt::AlignRight);
    textColumn->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_anim, 0, Qt::AlignTop);
    layout->addLayout(textColumn);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

CConvStatAnimDlg::~CConvStatAnimDlg() = default;

void CConvStatAnimDlg::SetText(const std::string& text)
{
    m_text->setText(FromEngine(text));
}

void CConvStatAnimDlg::ShowWhenSlow()
{
    m_showDue.start();
}

void CConvStatAnimDlg::Show()
{
    m_showDue.invalidate();
    adjustSize();
    if (QWidget* owner = parentWidget())
        move(owner->frameGeometry().center() - rect().center());
    show();
    raise();
    Refresh();
}

void CConvStatAnimDlg::StepAnimation()
{
    if (m_nFrame >= kAnimationFrameCount)
        m_nFrame = 0;
    ++m_nFrame;
    ++m_pendingFrames;
    RefreshIfDue();
}

const QImage& CConvStatAnimDlg::AnimationImage()
{
    DrawPendingFrames();
    return m_image;
}

void CConvStatAnimDlg::DrawPendingFrames()
{
    // A pixel ends up as the last stepped frame that is not transparent there. Among
    // the last seven steps every frame appears once, so drawing only those gives the
    // same image as drawing every step.
    const int count = std::min(m_pendingFrames, kAnimationFrameCount);
    for (int back = count; back > 0; --back) {
        const int frame = (m_nFrame - back + kAnimationFrameCount) % kAnimationFrameCount;
        DrawTransparently(m_frames[static_cast<std::size_t>(frame)]);
    }
    m_pendingFrames = 0;
}

void CConvStatAnimDlg::SetTotal(std::uint64_t total)
{
    m_total = total;
    m_bar->show();
    RefreshIfDue();
}

void CConvStatAnimDlg::SetDone(std::uint64_t done)
{
    m_done = done;
    RefreshIfDue();
}

void CConvStatAnimDlg::SetDetail(const std::string& detail)
{
    m_detail->setText(FromEngine(detail));
    m_detail->show();
    RefreshIfDue();
}

void CConvStatAnimDlg::OnCancel()
{
    m_stopRequested = true;
    m_cancel->setEnabled(false);
    m_text->setText(QString::fromLatin1(kStoppingText));
}

void CConvStatAnimDlg::reject() {}

void CConvStatAnimDlg::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void CConvStatAnimDlg::DrawTransparently(const QImage& frame)
{
    const QRgb key = frame.pixel(0, 0);
    for (int y = 0; y < kAnimationFrameSize; ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
        auto* target = reinterpret_cast<QRgb*>(m_image.scanLine(y));
        for (int x = 0; x < kAnimationFrameSize; ++x) {
            if (source[x] != key)
                target[x] = source[x];
        }
    }
}

int CConvStatAnimDlg::Percent() const
{
    if (m_total == 0)
        return kPercentMax;
    const std::uint64_t done = std::min(m_done, m_total);
    return static_cast<int>(static_cast<long double>(done) * kPercentMax / static_cast<long double>(m_total));
}

void CConvStatAnimDlg::RefreshIfDue()
{
    if (m_showDue.isValid() && m_showDue.elapsed() >= kSlowWorkMs)
        Show();
    if (!m_sinceRefresh.isValid() || m_sinceRefresh.elapsed() >= kRefreshIntervalMs)
        Refresh();
}

void CConvStatAnimDlg::Refresh()
{
    DrawPendingFrames();
    m_anim->setPixmap(QPixmap::fromImage(m_image));
    if (!m_bar->isHidden())
        m_bar->setValue(Percent());
    QCoreApplication::processEvents();
    m_sinceRefresh.restart();
}
