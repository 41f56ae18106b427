#pragma once

#include <QSize>

class QMainWindow;
class QTreeView;
class QWidget;

namespace ui {

// Windows open where the user left them, kept in the user's settings (never beside the database, which may
// be read-only), and never larger than the screen's free area. A window is known by its objectName.
//
// Before the window shows: its saved size and place, or `preferred` the first time (maximized when the
// screen has no room for it); either way fitted to the screen.
void restorePlacement(QWidget* window, QSize preferred);
// When the window closes.
void savePlacement(const QWidget* window);
// Shrinks and moves the window into its screen's free area.
void fitToScreen(QWidget* window);
// On a screen too small for all of a window's contents, the contents scroll instead of being cut.
void scrollWhenSmall(QMainWindow* window);
// A list keeps room for this many rows, its heading and a horizontal scroll bar, whatever else the window holds.
void reserveRows(QTreeView* list, int rows);

} // namespace ui
