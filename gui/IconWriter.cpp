// Writes the program icon as PNG files for installation: one per size, named
// SIZE.png, into the folder given as the only argument.

#include "gui/Drawings.h"

#include <QDir>
#include <QString>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (const int size : kProgramIconSizes) {
        if (!MakeProgramIconImage(size).save(folder.filePath(QStringLiteral("%1.png").arg(size)))) {
            std::fprintf(stderr, "cannot write the %d-pixel icon into %s\n", size, argv[1]);
            return 1;
        }
    }
    return 0;
}
