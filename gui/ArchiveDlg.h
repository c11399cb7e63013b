#pragma once
// "Archive Disk": the folder an archive of the open disk goes into (typed or chosen
// with the folder browser) and the format of its track files. OK stays unavailable
// while no folder is given, and a folder the check refuses keeps the dialog open.

#include "archive/ArchiveNames.h"

#include <QDialog>

#include <functional>
#include <string>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace platform {
class UserInterface;
}

class CArchiveDlg : public QDialog {
    Q_OBJECT

public:
    // Says why a folder cannot take the archive (the port shows it); true when it can.
    using FolderCheck = std::function<bool(const std::string& outdir)>;

    // `folder` fills the line at first (the last archive's folder, or empty).
    CArchiveDlg(platform::UserInterface& ui, const std::string& folder, FolderCheck check, QWidget* parent);

    std::string Outdir() const;
    archive::ArchiveFormat Format() const;

public slots:
    void accept() override;

private:
    void OnBrowse();
    void OnFolderEdited();

    platform::UserInterface& m_ui;
    FolderCheck m_check;
    QLineEdit* m_folder;
    QComboBox* m_format;
    QPushButton* m_ok;
};
