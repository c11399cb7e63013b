#include "gui/GuiText.h"

#include "platform/Messages.h"

#include <QChar>

namespace {

constexpr char kFilterSeparator = '|';
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kLastControl = 0x9F;
constexpr char kUnshownByte = '?';

// Classic patterns whose Qt spelling differs.
struct PatternSpelling {
    const char* classic;
    const char* qt;
};
constexpr PatternSpelling kPatternSpellings[] = {
    {"(*.*)", "(*)"},
};

bool IsControlByte(unsigned char byte)
{
    return byte < kFirstPrintable || (byte >= kDelete && byte <= kLastControl);
}

QString QtFilterText(QString text)
{
    for (const auto& spelling : kPatternSpellings)
        text.replace(QLatin1String(spelling.classic), QLatin1String(spelling.qt));
    return text.trimmed();
}

}  // namespace

QString FromEngine(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string ToEngine(const QString& text)
{
    return text.toStdString();
}

QString MessageBoxText(const std::string& text)
{
    return FromEngine(WithLineBreaks(text));
}

std::string ImportStoppedText()
{
    return "Convert stopped. Nothing was written to the disk.";
}

std::string ExportStoppedText(std::size_t keptFiles)
{
    return "Convert stopped. Files completed before it were kept: " + std::to_string(keptFiles) +
           "; the unfinished file was removed.";
}

QString RecorderText(const std::string& bytes)
{
    QString shown;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0)
            break;
        shown += IsControlByte(byte) ? QChar(QLatin1Char(kUnshownByte)) : QChar(QLatin1Char(c));
    }
    return shown;
}

QStringList QtNameFilters(const std::string& classicFilter)
{
    const QStringList parts = FromEngine(classicFilter).split(QLatin1Char(kFilterSeparator));
    QStringList filters;
    // Text and pattern alternate; the empty parts of the closing "||" end the list.
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2)
        filters << QtFilterText(parts[i]);
    return filters;
}
