#include "gui/CheckedFileDialog.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

CCheckedFileDialog::CCheckedFileDialog(QWidget* parent, std::function<bool(const QString& path)> check)
    : QFileDialog(parent), m_check(std::move(check))
{
    setObjectName(QStringLiteral("fileDialog"));
    setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    setFileMode(QFileDialog::AnyFile);
}

void CCheckedFileDialog::accept()
{
    const QStringList files = selectedFiles();
    // A folder name navigates into the folder; the dialog's own handling does that.
    if (files.isEmpty() || QFileInfo(files.first()).isDir()) {
        QFileDialog::accept();
        return;
    }
    // Qt's dialog names files with "/" everywhere; the engine gets the platform's own form.
    const QString path = QDir::toNativeSeparators(files.first());
    if (m_check && !m_check(path))
        return;
    m_chosenPath = path;
    QFileDialog::accept();
}
