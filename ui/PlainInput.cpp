#include "ui/PlainInput.h"

#include "core/Numbers.h"

#include <QLineEdit>
#include <QValidator>

namespace ui {

namespace {

class ControlCharacterFilter : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString& input, int& position) const override
    {
        qsizetype kept = 0;
        int cursor = position;
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (input[i].category() == QChar::Other_Control) {
                if (i < position)
                    --cursor;
                continue;
            }
            input[kept++] = input[i];
        }
        input.truncate(kept);
        position = cursor;
        return Acceptable;
    }
};

} // namespace

void keepControlCharactersOut(QLineEdit* box)
{
    box->setValidator(new ControlCharacterFilter(box));
}

bool typedNumber(QLineEdit* box, std::optional<double>& number, const QString& valid, const QString& invalid)
{
    const bool parsed = core::parseTypedNumber(box->text(), number);
    // Set only when it changes: a style sheet set again lays the box out again, at every key typed anywhere in
    // the window.
    const QString style = parsed ? QString() : QStringLiteral("QLineEdit { background: #ffd6d6; }");
    if (box->styleSheet() != style) {
        box->setStyleSheet(style);
        box->setToolTip(parsed ? valid : invalid + core::kTypedNumberHint + u'.');
    }
    return parsed;
}

} // namespace ui
