#pragma once

#include <QList>
#include <QString>

/** One item of the main menu: its menu, caption, handler (the object name of its action) and right. */
struct MenuItemDef
{
    QString menu;     // caption of the top-level menu
    QString caption;  // empty for a separator
    QString handler;  // object name of the action, e.g. "N26"
    QString right;    // users column that shows or hides the item; empty: always visible
};

namespace MenuRights {

/** Top-level menu captions in menu order ("【退出系统】" is an item of its own, without a submenu). */
const QList<QString>& menus();
/** Every item of every menu in order, separators included. */
const QList<MenuItemDef>& items();

} // namespace MenuRights
