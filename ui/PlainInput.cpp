#include "PlainInput.h"

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

} // namespace ui
