#include "AccessibleNames.h"

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

} // namespace ui
