#pragma once
// Text between the engine and the widgets. Paths and messages travel through the
// engine as UTF-8; names read from a recorder disk are single bytes shown as Latin-1.

#include <QString>
#include <QStringList>

#include <cstddef>
#include <string>

// UTF-8 text of the engine as a QString, and back.
QString FromEngine(const std::string& text);
std::string ToEngine(const QString& text);

// A message text for a window: every CR LF (and lone CR) becomes a line break.
QString MessageBoxText(const std::string& text);

// The one line a run stopped with Cancel ends with: what it kept. An import keeps
// nothing; an export keeps the `keptFiles` files it completed before the stop.
std::string ImportStoppedText();
std::string ExportStoppedText(std::size_t keptFiles);

// A recorder name for display: Latin-1 up to the first NUL, control bytes as "?".
QString RecorderText(const std::string& bytes);

// The Qt name filters of a classic "Text|pattern|...||" filter: each pair becomes
// its display text with the patterns Qt reads, "All Files (*.*)" becoming "All Files (*)".
QStringList QtNameFilters(const std::string& classicFilter);
