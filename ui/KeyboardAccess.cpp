#include "ui/KeyboardAccess.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>
#include <QShortcut>
#include <QStyleOptionMenuItem>

namespace ui {

namespace {

const char* const kMnemonicProperty = "prezzarioMnemonic";

QChar mnemonicOf(const QAction* action)
{
    const QVariant letter = action->property(kMnemonicProperty);
    return letter.isValid() ? letter.toChar() : QChar();
}

// The action a menu or bar draws under a caption: the style is only given the text.
QChar mnemonicFor(const QWidget* widget, const QString& text)
{
    if (!widget)
        return {};
    const QString caption = text.section(u'\t', 0, 0);
    for (const QAction* action : widget->actions()) {
        if (action->text() == caption)
            return mnemonicOf(action);
    }
    return {};
}

// Draws the caption with its letter underlined, as an "&" in the text would, and leaves the text alone.
class MnemonicStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (item && (element == CE_MenuItem || element == CE_MenuBarItem)) {
            const QChar letter = mnemonicFor(widget, item->text);
            const qsizetype at = letter.isNull() ? -1 : item->text.indexOf(letter, 0, Qt::CaseInsensitive);
            if (at >= 0 && !item->text.contains(u'&')) {
                QStyleOptionMenuItem marked(*item);
                marked.text.insert(at, u'&');
                QProxyStyle::drawControl(element, &marked, painter, widget);
                return;
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_UnderlineShortcut)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// The letter of an open menu picks its item, as a mnemonic would.
class MenuLetters : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* menu = qobject_cast<QMenu*>(watched);
        if (!menu || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~(Qt::AltModifier | Qt::ShiftModifier)) != Qt::NoModifier || key->text().size() != 1)
            return false;
        const QChar typed = key->text().front().toUpper();
        for (QAction* action : menu->actions()) {
            if (mnemonicOf(action) != typed || !action->isEnabled() || !action->isVisible())
                continue;
            // Enter on the item carries it out the way the menu itself does: menus close, then the command.
            menu->setActiveAction(action);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(menu, &enter);
            return true;
        }
        return false;
    }
};

// Turns Shift+F10 into the context menu event the Menu key gives: at the control's cursor (a list's current
// row), delivered by the control's own context menu policy.
class ContextMenuKey : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        QWidget* focus = QApplication::focusWidget();
        if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier || watched != focus)
            return false;
        // A list gives its current row in the coordinates of its viewport, below the heading.
        const auto* list = qobject_cast<QAbstractItemView*>(focus);
        const QWidget* from = list ? list->viewport() : focus;
        const QRect cursor = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QPoint global = from->mapToGlobal(cursor.isValid() ? cursor.center() : from->rect().center());
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, focus->mapFromGlobal(global), global, Qt::NoModifier);
        QApplication::sendEvent(focus, &menu);
        return true;
    }
};

} // namespace

void openContextMenusWithShiftF10()
{
    static QPointer<ContextMenuKey> installed;
    if (!qApp || installed)
        return;
    installed = new ContextMenuKey(qApp);
    qApp->installEventFilter(installed);
}

void setMnemonic(QAction* action, QChar letter)
{
    action->setProperty(kMnemonicProperty, letter.toUpper());
}

void enableMnemonics(QMenuBar* bar)
{
    auto* style = new MnemonicStyle();
    style->setParent(bar);
    bar->setStyle(style);
    auto* letters = new MenuLetters(bar);
    QWidget* window = bar->window();
    QMenu* first = nullptr;
    for (QAction* entry : bar->actions()) {
        QMenu* menu = entry->menu();
        if (menu) {
            first = first ? first : menu;
            menu->setStyle(style);
            menu->installEventFilter(letters);
        }
        const QChar letter = mnemonicOf(entry);
        if (letter.isNull())
            continue;
        // A menu opens; a command standing in the bar itself is carried out.
        auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key(letter.unicode())), window);
        QObject::connect(shortcut, &QShortcut::activated, bar, [bar, entry] {
            if (entry->menu())
                bar->setActiveAction(entry);
            else if (entry->isEnabled())
                entry->trigger();
        });
    }
    // F10 opens the first menu, as in most desktop programs.
    if (first) {
        auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), window);
        QObject::connect(f10, &QShortcut::activated, bar, [bar, first] { bar->setActiveAction(first->menuAction()); });
    }
}

void closeOnEscape(QWidget* window)
{
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(escape, &QShortcut::activated, window, &QWidget::close);
}

} // namespace ui
