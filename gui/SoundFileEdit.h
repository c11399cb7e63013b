#pragma once
// The field of one track on the "File->MO" page. Enter checks the typed name at
// once; after a good check the focus moves on (backwards with Shift), after a
// refused one the whole text is selected for correction. Sound files dropped on it
// are handed to the page, which puts them in this field and the ones after it.

#include <QLineEdit>
#include <QStringList>

#include <functional>

class CSoundFileEdit : public QLineEdit {
    Q_OBJECT

public:
    // `check` checks a name for this field's track and shows what it refuses.
    CSoundFileEdit(QWidget* parent, std::function<bool(const QString& name)> check);

    // Puts the focus here with the whole text selected and the caret in view.
    void FocusForCorrection();

signals:
    // Files (not folders) of this computer were dropped here, in the order dropped.
    void filesDropped(const QStringList& paths);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::function<bool(const QString& name)> m_check;
};
