#pragma once
// A strip beside a track box: the project's time line from its start to its end,
// filled where the track's chosen virtual track holds recordings, with their length
// at the right ("0:03:12", or "empty"). Drawn from the segment chains; no audio is read.

#include "recorder/Track.h"

#include <QWidget>

#include <cstdint>
#include <vector>

class CTrackStrip : public QWidget {
    Q_OBJECT

public:
    explicit CTrackStrip(QWidget* parent);

    // The recordings and the scale: `timelineEnd` samples fill the strip; `rate`
    // (samples per second) gives the length text, 0 when unknown.
    void Show(const std::vector<TimeSpan>& recorded, std::int64_t timelineEnd, std::uint32_t rate);
    // An empty strip without text: no project is chosen.
    void Clear();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<TimeSpan> m_recorded;
    std::int64_t m_timelineEnd = 0;
    QString m_length;
};
