#pragma once

class QComboBox;

namespace ui {

// Makes an editable combo behave as the program's section boxes expect: the user picks an entry or types;
// typing never adds entries, completes text or picks an entry, and typed text forgets the entry last
// picked (currentIndex -1). Enter and the mouse wheel over the closed box pick nothing.
// Call it before connecting the window's own handlers.
void setUpSectionCombo(QComboBox* combo);

} // namespace ui
