#pragma once

#include <QChar>

class QAction;
class QMenuBar;
class QWidget;

namespace ui {

// Keyboard access to the menus without touching their captions, which are the program's own texts (the
// manual even looks its topics up by them): each menu and item is given a letter, drawn underlined;
// Alt+letter (or F10) opens a menu of the bar and the letter picks an item of an open menu.
void setMnemonic(QAction* action, QChar letter);
// Call once the bar's menus and their items have their letters.
void enableMnemonics(QMenuBar* bar);

// Shift+F10 opens the context menu of the control with the focus, where the Menu key would, in every window
// of the program. Call once the application exists; later calls do nothing.
void openContextMenusWithShiftF10();

// Escape closes the window, as its close button does.
void closeOnEscape(QWidget* window);

} // namespace ui
