#pragma once

#include <QList>
#include <QString>
#include <functional>

class MainWindow;

/**
 * One item of the main menu: its menu, caption, handler (the object name of its action), the right that
 * shows or hides it (empty: always visible) and what it does when chosen. A separator has no caption.
 */
struct MenuEntry
{
    QString menu;
    QString caption;
    QString handler;
    QString right;
    std::function<void(MainWindow&)> open;
};

namespace MenuTable {

/** Top-level menu captions in menu order ("【退出系统】" is an item of its own, without a submenu). */
const QList<QString>& menus();
/** Every item of every menu in order, separators included. */
const QList<MenuEntry>& entries();

} // namespace MenuTable
