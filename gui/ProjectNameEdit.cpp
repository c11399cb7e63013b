#include "gui/ProjectNameEdit.h"

#include "recorder/ProjectName.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <utility>

// The rule's pattern, remembering the last text it refused so that the field can say why.
class CProjectNameValidator : public QRegularExpressionValidator {
public:
    explicit CProjectNameValidator(QObject* parent)
        : QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(ProjectNamePattern().c_str())), parent)
    {
    }

    State validate(QString& input, int& pos) const override
    {
        const State state = QRegularExpressionValidator::validate(input, pos);
        m_refused = state == Invalid ? input : QString();
        return state;
    }

    // The text refused last; empty when the last refusal was the field's length alone,
    // which the field checks before this validator sees the text.
    QString TakeRefused() const
    {
        return std::exchange(m_refused, QString());
    }

private:
    mutable QString m_refused;
};

namespace {

constexpr int kCodeDigits = 4;
constexpr int kHexBase = 16;

// A character as the note shows it: itself in quotes, or its code for an invisible one.
QString ShownCharacter(char32_t code)
{
    if (!QChar::isPrint(code) || QChar::isSpace(code))
        return QStringLiteral("U+%1").arg(static_cast<uint>(code), kCodeDigits, kHexBase, QLatin1Char('0')).toUpper();
    return QLatin1Char('"') + QString::fromUcs4(&code, 1) + QLatin1Char('"');
}

bool TakenCharacter(char32_t code)
{
    return code >= static_cast<char32_t>(kFirstNameCharacter) && code <= static_cast<char32_t>(kLastNameCharacter);
}

}  // namespace

CProjectNameEdit::CProjectNameEdit(QWidget* parent)
    : QLineEdit(parent),
      m_validator(new CProjectNameValidator(this))
{
    setMaxLength(static_cast<int>(kProjectNameMaxLength));
    setValidator(m_validator);
    // An input method would compose letters the rule refuses.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    connect(this, &QLineEdit::inputRejected, this,
            [this] { emit noteChanged(RefusalNote(m_validator->TakeRefused())); });
    connect(this, &QLineEdit::textEdited, this, [this] { emit noteChanged({}); });
}

QString CProjectNameEdit::RefusalNote(const QString& refusedText)
{
    const QString rule = QString::fromLatin1(kProjectNameRule);
    for (const char32_t code : refusedText.toUcs4()) {
        if (!TakenCharacter(code))
            return QStringLiteral("%1 is not taken: %2 (letters without accents, digits, spaces and signs)")
                .arg(ShownCharacter(code), rule);
    }
    return QStringLiteral("The name is full: %1").arg(rule);
}
