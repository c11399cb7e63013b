#pragma once
// The program's own pictures, drawn in code: the frames of the "Convert" window's
// animation and the program icon. Both show a grey diamond crossed by a red arrow
// pointing right above a blue arrow pointing left.

#include <QByteArray>
#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPainter>

#include <array>

inline constexpr int kAnimationFrameCount = 7;
// The sizes the program icon is drawn at, in pixels square.
inline constexpr std::array<int, 6> kProgramIconSizes = {16, 32, 48, 64, 128, 256};
inline constexpr int kAnimationFrameSize = 32;

// The colour of a frame's top-left pixel: drawn as transparent.
QColor AnimationKeyColour();

// The seven 32 by 32 frames in order; a short yellow bar moves along both arrows
// from tail to head over them. The background is the key colour.
std::array<QImage, kAnimationFrameCount> MakeAnimationFrames();

// The program icon at `size` pixels square, on a transparent background.
QImage MakeProgramIconImage(int size);
// Paints the program icon in frame coordinates (0 to kAnimationFrameSize) with
// `painter`: the same picture for every size and for the scalable icon.
void PaintProgramIcon(QPainter& painter);
QIcon ProgramIcon();

// The program icon as a Windows icon file (.ico), the one the Windows program carries as
// its resource: every size of kProgramIconSizes as a PNG image.
QByteArray ProgramIconFile();
