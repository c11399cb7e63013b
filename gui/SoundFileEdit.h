#pragma once
// The field of one track on the "File->MO" page. Enter checks the typed name at
// once; after a good check the focus moves on (backwards with Shift), after a
// refused one the whole text is selected for correction.

#include <QLineEdit>

#include <functional>

class CSoundFileEdit : public QLineEdit {
    Q_OBJECT

public:
    // `check` checks a name for this field's track and shows what it refuses.
    CSoundFileEdit(QWidget* parent, std::function<bool(const QString& name)> check);

    // Puts the focus here with the whole text selected and the caret in view.
    void FocusForCorrection();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<bool(const QString& name)> m_check;
};
