#pragma once

class QLabel;
class QString;
class QWidget;

namespace ui {

// The editor of an editable combo box is what takes the focus, so it is what a screen reader announces: each
// editable box of 'window' gives its editor its own name, or else the text of the label it is the buddy of.
// Call after setupUi.
void nameComboEditors(QWidget* window);

// A count shown beside a list ("(Numero di elementi trovati : N)", "N voci"): the label shows it and the list
// carries it as its accessible description, so that a screen reader on the list hears the new count when it
// changes, not only by going to look for the label.
void showCount(QLabel* counter, QWidget* list, const QString& text);
// 'control' carries 'text' as its accessible description, and a screen reader following it is told so.
void describeState(QWidget* control, const QString& text);

} // namespace ui
