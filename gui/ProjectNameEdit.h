#pragma once
// The "Project Name" field of the "File->MO" page. It takes only what FNB.TXT can
// carry as a project name (printable single-byte characters, 12 at most): a refused
// keystroke or paste inserts nothing, and the field then says which character it
// refused, or that it is full, and the rule, through `noteChanged`.

#include <QLineEdit>
#include <QString>

class CProjectNameValidator;

class CProjectNameEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit CProjectNameEdit(QWidget* parent);

    // The note for the input refused last: the first character the rule refuses, or
    // the full field when every character was one it takes.
    static QString RefusalNote(const QString& refusedText);

signals:
    // The note to show beside the field; empty once an edit is taken again.
    void noteChanged(const QString& note);

private:
    CProjectNameValidator* m_validator;
};
