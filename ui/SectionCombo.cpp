#include "ui/SectionCombo.h"

#include <QComboBox>
#include <QEvent>
#include <QLineEdit>

#include "ui/PlainInput.h"

namespace ui {

namespace {

class WheelBlocker : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Wheel)
            return true;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void setUpSectionCombo(QComboBox* combo)
{
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    keepControlCharactersOut(combo->lineEdit());
    // Qt picks the entry matching the typed text when editing ends (Enter, focus leaving); the user
    // chose nothing then.
    QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
    combo->installEventFilter(new WheelBlocker(combo));
    QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, combo, [combo](const QString& text) {
        if (combo->currentIndex() == -1)
            return;
        QLineEdit* edit = combo->lineEdit();
        const int cursor = edit->cursorPosition();
        combo->setCurrentIndex(-1);
        edit->setText(text);
        edit->setCursorPosition(cursor);
    });
}

} // namespace ui
