#pragma once
// The small "Convert" window that stands while a conversion or a track check runs:
// one line of text, a seven-frame animation that the work advances by hand, and a
// percentage bar once the work has told its total, a small line of figures under the
// bar once the work has any (what the reads of a damaged disk cost), and a Cancel
// button that asks the run to stop. It cannot be closed from the screen.

#include "gui/Drawings.h"
#include "gui/InputBlocker.h"
#include "platform/UserInterface.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QImage>

#include <array>
#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

class CConvStatAnimDlg : public QDialog, public platform::ProgressWindow {
    Q_OBJECT

public:
    // `owner` is the main window, on which the window is centred.
    explicit CConvStatAnimDlg(QWidget* owner);
    ~CConvStatAnimDlg() override;

    void SetText(const std::string& text) override;
    void Show() override;
    void ShowWhenSlow() override;
    void StepAnimation() override;
    void SetTotal(std::uint64_t total) override;
    void SetDone(std::uint64_t done) override;
    void SetDetail(const std::string& detail) override;
    bool StopRequested() const override { return m_stopRequested; }

    // The index of the next frame to draw, 0 to 6.
    int NextFrame() const { return m_nFrame; }
    // The animation area as drawn so far.
    const QImage& AnimationImage();

public slots:
    void reject() override;  // Esc does nothing

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Draws a frame over the area, leaving the pixels where the frame has its key colour.
    void DrawTransparently(const QImage& frame);
    // Draws the frames stepped since the last drawing, in order.
    void DrawPendingFrames();
    // Repaints and lets pending non-input events run, at most about 60 times a second.
    void RefreshIfDue();
    void Refresh();
    int Percent() const;
    void OnCancel();

    std::array<QImage, kAnimationFrameCount> m_frames;
    int m_nFrame = 0;
    // Frames stepped but not drawn yet: drawing waits for the next repaint.
    int m_pendingFrames = 0;
    QImage m_image;
    QLabel* m_anim;
    QLabel* m_text;
    QProgressBar* m_bar;
    QLabel* m_detail;
    QPushButton* m_cancel;
    bool m_stopRequested = false;
    std::uint64_t m_total = 0;
    std::uint64_t m_done = 0;
    QElapsedTimer m_sinceRefresh;
    // Running while the window waits to be shown (ShowWhenSlow).
    QElapsedTimer m_showDue;
    CInputBlocker m_blocker;
};
