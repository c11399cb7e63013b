// Writes the program icon for installation into the folder given as the only argument:
// one PNG file per size, named SIZE.png, and wavelorn.ico holding all of them (the
// Windows program's icon resource).

#include "gui/Drawings.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>

namespace {

constexpr const char* kIconFileName = "wavelorn.ico";

bool WriteIconFile(const QDir& folder)
{
    QFile file(folder.filePath(QString::fromLatin1(kIconFileName)));
    const QByteArray bytes = ProgramIconFile();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace

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
    if (!WriteIconFile(folder)) {
        std::fprintf(stderr, "cannot write %s into %s\n", kIconFileName, argv[1]);
        return 1;
    }
    return 0;
}
