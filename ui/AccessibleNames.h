#pragma once

class QWidget;

namespace ui {

// The editor of an editable combo box is what takes the focus, so it is what a screen reader announces: each
// editable box of 'window' gives its editor its own name, or else the text of the label it is the buddy of.
// Call after setupUi.
void nameComboEditors(QWidget* window);

} // namespace ui
