#include "gui/Drawings.h"

#include <QBuffer>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

#include <algorithm>
#include <vector>

namespace {

// The picture in frame coordinates (0 to 32).
const QColor kTeal(0, 128, 128);
const QColor kDiamondFill(176, 176, 176);
const QColor kDiamondEdge(96, 96, 96);
const QColor kRed(220, 0, 0);
const QColor kBlue(0, 0, 220);
const QColor kYellow(255, 255, 0);

constexpr int kShaftThickness = 3;
constexpr int kRedShaftY = 10;
constexpr int kBlueShaftY = 20;
constexpr int kRedTailX = 6;
constexpr int kRedHeadX = 22;
constexpr int kBlueTailX = 26;
constexpr int kBlueHeadX = 10;
constexpr int kArrowTipOffset = 5;
constexpr int kArrowHalfWidth = 4;
constexpr int kBarLength = 3;
constexpr int kBarStride = 3;
constexpr int kIconBarStep = 3;

// The icon file's layout: a header, one directory entry per image, then the images.
constexpr quint16 kIconFileType = 1;
constexpr int kIconHeaderBytes = 6;
constexpr int kIconEntryBytes = 16;
constexpr quint16 kIconPlanes = 1;
constexpr quint16 kIconBitsPerPixel = 32;
// A directory entry's width and height are one byte each: 0 stands for 256.
constexpr int kIconByteSizeLimit = 256;

QPolygon Diamond()
{
    constexpr int kMid = kAnimationFrameSize / 2;
    constexpr int kReach = kMid - 2;
    return QPolygon({QPoint(kMid, kMid - kReach), QPoint(kMid + kReach, kMid), QPoint(kMid, kMid + kReach),
                     QPoint(kMid - kReach, kMid)});
}

// An arrow along y = shaftY + 1 from tailX to headX (pointing right when headX > tailX).
void PaintArrow(QPainter& painter, int tailX, int headX, int shaftY, const QColor& colour)
{
    const int direction = headX > tailX ? 1 : -1;
    const int centreY = shaftY + kShaftThickness / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRect(QRect(QPoint(std::min(tailX, headX), shaftY), QPoint(std::max(tailX, headX), shaftY + 2)));
    painter.drawPolygon(QPolygon({QPoint(headX, centreY - kArrowHalfWidth),
                                  QPoint(headX + direction * kArrowTipOffset, centreY),
                                  QPoint(headX, centreY + kArrowHalfWidth)}));
}

// The bar of step `step` on an arrow from tailX towards headX.
void PaintBar(QPainter& painter, int tailX, int headX, int shaftY, int step)
{
    const int direction = headX > tailX ? 1 : -1;
    const int start = tailX + direction * step * kBarStride;
    const int left = direction > 0 ? start : start - kBarLength + 1;
    painter.setBrush(kYellow);
    painter.drawRect(QRect(left, shaftY, kBarLength, kShaftThickness));
}

void PaintPicture(QPainter& painter, int barStep)
{
    painter.setPen(kDiamondEdge);
    painter.setBrush(kDiamondFill);
    painter.drawPolygon(Diamond());
    PaintArrow(painter, kRedTailX, kRedHeadX, kRedShaftY, kRed);
    PaintArrow(painter, kBlueTailX, kBlueHeadX, kBlueShaftY, kBlue);
    PaintBar(painter, kRedTailX, kRedHeadX, kRedShaftY, barStep);
    PaintBar(painter, kBlueTailX, kBlueHeadX, kBlueShaftY, barStep);
}

// `value` as its `width` low bytes, lowest first, as the icon file's fields are stored.
void AppendLittleEndian(QByteArray& bytes, quint32 value, int width)
{
    constexpr int kBitsPerByte = 8;
    constexpr quint32 kByteMask = 0xff;
    for (int i = 0; i < width; ++i)
        bytes.append(static_cast<char>((value >> (kBitsPerByte * i)) & kByteMask));
}

QByteArray PngBytes(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

}  // namespace

QColor AnimationKeyColour()
{
    return kTeal;
}

std::array<QImage, kAnimationFrameCount> MakeAnimationFrames()
{
    std::array<QImage, kAnimationFrameCount> frames;
    for (int step = 0; step < kAnimationFrameCount; ++step) {
        QImage frame(kAnimationFrameSize, kAnimationFrameSize, QImage::Format_RGB32);
        frame.fill(kTeal);
        QPainter painter(&frame);  // no antialiasing: every pixel is exactly a colour of the picture
        PaintPicture(painter, step);
        frames[static_cast<std::size_t>(step)] = frame;
    }
    return frames;
}

QImage MakeProgramIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal scale = static_cast<qreal>(size) / kAnimationFrameSize;
    painter.scale(scale, scale);
    PaintProgramIcon(painter);
    return image;
}

void PaintProgramIcon(QPainter& painter)
{
    PaintPicture(painter, kIconBarStep);
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (const int size : kProgramIconSizes)
        icon.addPixmap(QPixmap::fromImage(MakeProgramIconImage(size)));
    return icon;
}

QByteArray ProgramIconFile()
{
    std::vector<QByteArray> images;
    for (const int size : kProgramIconSizes)
        images.push_back(PngBytes(MakeProgramIconImage(size)));
    QByteArray file;
    AppendLittleEndian(file, 0, 2);
    AppendLittleEndian(file, kIconFileType, 2);
    AppendLittleEndian(file, static_cast<quint32>(images.size()), 2);
    quint32 offset = kIconHeaderBytes + kIconEntryBytes * static_cast<quint32>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int size = kProgramIconSizes[i];
        const quint32 sizeByte = size >= kIconByteSizeLimit ? 0 : static_cast<quint32>(size);
        AppendLittleEndian(file, sizeByte, 1);  // width
        AppendLittleEndian(file, sizeByte, 1);  // height
        AppendLittleEndian(file, 0, 2);         // no palette, reserved byte
        AppendLittleEndian(file, kIconPlanes, 2);
        AppendLittleEndian(file, kIconBitsPerPixel, 2);
        AppendLittleEndian(file, static_cast<quint32>(images[i].size()), 4);
        AppendLittleEndian(file, offset, 4);
        offset += static_cast<quint32>(images[i].size());
    }
    for (const QByteArray& image : images)
        file.append(image);
    return file;
}
