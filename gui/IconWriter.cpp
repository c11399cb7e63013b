// Writes the program icon for installation into the folder given as the only
// argument: one PNG per size, named SIZE.png, and the scalable wavelorn.svg, all
// drawn by the same code as the icon in the window.

#include "gui/Drawings.h"

#include <QDir>
#include <QPainter>
#include <QString>
#include <QSvgGenerator>

#include <cstdio>

namespace {

constexpr const char* kScalableName = "wavelorn.svg";
constexpr int kUsageStatus = 2;

bool WriteScalableIcon(const QString& path)
{
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(kAnimationFrameSize, kAnimationFrameSize));
    svg.setViewBox(QRect(0, 0, kAnimationFrameSize, kAnimationFrameSize));
    svg.setTitle(QStringLiteral("Wavelorn"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    PaintProgramIcon(painter);
    return painter.end();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return kUsageStatus;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (const int size : kProgramIconSizes) {
        if (!MakeProgramIconImage(size).save(folder.filePath(QStringLiteral("%1.png").arg(size)))) {
            std::fprintf(stderr, "cannot write the %d-pixel icon into %s\n", size, argv[1]);
            return 1;
        }
    }
    if (!WriteScalableIcon(folder.filePath(QString::fromLatin1(kScalableName)))) {
        std::fprintf(stderr, "cannot write the scalable icon into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
