#include "ui/AccessibleNames.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace ui {

void nameComboEditors(QWidget* window)
{
    const QList<QLabel*> labels = window->findChildren<QLabel*>();
    for (QComboBox* combo : window->findChildren<QComboBox*>()) {
        QLineEdit* editor = combo->lineEdit();
        if (!editor)
            continue;
        QString name = combo->accessibleName();
        for (auto label = labels.cbegin(); name.isEmpty() && label != labels.cend(); ++label) {
            if ((*label)->buddy() == combo)
                name = (*label)->text().remove(QLatin1Char('&'));
        }
        editor->setAccessibleName(name);
        editor->setAccessibleDescription(combo->accessibleDescription());
    }
}

void showCount(QLabel* counter, QWidget* list, const QString& text)
{
    counter->setText(text);
    // An empty count is left out of what a screen reader reads (it would be named after its group box);
    // its room stays, so that nothing moves when it comes back.
    QSizePolicy policy = counter->sizePolicy();
    if (!policy.retainSizeWhenHidden()) {
        policy.setRetainSizeWhenHidden(true);
        counter->setSizePolicy(policy);
    }
    counter->setVisible(!text.isEmpty());
    describeState(list, text);
}

void describeState(QWidget* control, const QString& text)
{
    // Setting it tells the screen reader, even when nothing changed: a count refreshed to the same figure
    // is not read again.
    if (control->accessibleDescription() != text)
        control->setAccessibleDescription(text);
}

} // namespace ui
