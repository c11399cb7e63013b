// Writes the program icon for installation into the folder given as the only argument,
// all drawn by the same code as the icon in the window: one PNG file per size, named
// SIZE.png, wavelorn.ico holding all of them (the Windows program's icon resource) and,
// where Qt's SVG module is there (the Linux build), the scalable wavelorn.svg.

#include "gui/Drawings.h"

#include <QDir>
#include <QFile>
#include <QString>
#ifdef WAVELORN_SCALABLE_ICON
#include <QPainter>
#include <QSvgGenerator>
#endif

#include <cstdio>

namespace {

constexpr const char* kIconFileName = "wavelorn.ico";
constexpr int kUsageStatus = 2;

bool WriteIconFile(const QDir& folder)
{
    QFile file(folder.filePath(QString::fromLatin1(kIconFileName)));
    const QByteArray bytes = ProgramIconFile();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

#ifdef WAVELORN_SCALABLE_ICON
constexpr const char* kScalableName = "wavelorn.svg";

bool WriteScalableIcon(const QDir& folder)
{
    QSvgGenerator svg;
    svg.setFileName(folder.filePath(QString::fromLatin1(kScalableName)));
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
#endif

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
    if (!WriteIconFile(folder)) {
        std::fprintf(stderr, "cannot write %s into %s\n", kIconFileName, argv[1]);
        return 1;
    }
#ifdef WAVELORN_SCALABLE_ICON
    if (!WriteScalableIcon(folder)) {
        std::fprintf(stderr, "cannot write the scalable icon into %s\n", argv[1]);
        return 1;
    }
#endif
    return 0;
}
