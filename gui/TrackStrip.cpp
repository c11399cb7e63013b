#include "gui/TrackStrip.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace {

constexpr int kBarWidth = 96;      // pixels of the time line
constexpr int kTextGap = 6;
constexpr int kBarMargin = 4;      // above and below the bar
constexpr const char* kWidestLength = "0:00:00";
constexpr const char* kEmptyText = "empty";

}  // namespace

CTrackStrip::CTrackStrip(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

void CTrackStrip::Show(const std::vector<TimeSpan>& recorded, std::int64_t timelineEnd, std::uint32_t rate)
{
    m_recorded = recorded;
    m_timelineEnd = timelineEnd;
    const std::int64_t end = recorded.empty() ? 0 : recorded.back().end;
    m_length = recorded.empty() ? QString::fromLatin1(kEmptyText)
               : rate == 0       ? QString()
                                 : QString::fromStdString(TimeText(end, rate));
    setToolTip(recorded.empty() ? QString::fromLatin1(kEmptyText) : QStringLiteral("Recorded until ") + m_length);
    update();
}

void CTrackStrip::Clear()
{
    m_recorded.clear();
    m_timelineEnd = 0;
    m_length.clear();
    setToolTip(QString());
    update();
}

QSize CTrackStrip::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {kBarWidth + kTextGap + metrics.horizontalAdvance(QString::fromLatin1(kWidestLength)), metrics.height()};
}

void CTrackStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& colours = palette();
    const QRect bar(0, kBarMargin, kBarWidth, height() - 2 * kBarMargin);
    painter.fillRect(bar, colours.color(QPalette::Base));
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawRect(bar.adjusted(0, 0, -1, -1));
    if (m_timelineEnd > 0) {
        const auto x = [&](std::int64_t position) {
            return bar.left() + static_cast<int>(position * bar.width() / m_timelineEnd);
        };
        for (const TimeSpan& span : m_recorded) {
            // At least one pixel: a short recording must not vanish from the strip.
            const int left = x(span.first);
            const int width = std::max(1, x(span.end) - left);
            painter.fillRect(QRect(left, bar.top() + 1, width, bar.height() - 2), colours.color(QPalette::Highlight));
        }
    }
    painter.setPen(colours.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(QRect(bar.right() + kTextGap, 0, width() - bar.right() - kTextGap, height()),
                     Qt::AlignLeft | Qt::AlignVCenter, m_length);
}
