#include "gui/AboutDlg.h"

#include "gui/Drawings.h"
#include "platform/Messages.h"
#include "platform/Version.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr const char* kTitle = "About Wavelorn";
constexpr const char* kPurpose =
    "Moves audio between the disk of an eight-track recorder and WAVE, AIFF or FLAC files, exact to the byte.";
constexpr int kIconSize = 48;
constexpr int kTextWidth = 280;

QLabel* MakeLabel(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QString::fromLatin1(kTitle));
    setModal(true);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setPixmap(QPixmap::fromImage(MakeProgramIconImage(kIconSize)));
    auto* name = MakeLabel(QString::fromLatin1(kApplicationTitle), "aboutName", this);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    auto* version = MakeLabel(QStringLiteral("Version %1").arg(QString::fromLatin1(kProgramVersion)), "aboutVersion", this);
    auto* purpose = MakeLabel(QString::fromLatin1(kPurpose), "aboutPurpose", this);
    purpose->setWordWrap(true);
    purpose->setFixedWidth(kTextWidth);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setObjectName(QStringLiteral("aboutButtons"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(name, 0, 1);
    layout->addWidget(version, 1, 1);
    layout->addWidget(purpose, 2, 1);
    layout->addWidget(buttons, 3, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
