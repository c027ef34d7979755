// The window's menus as text, as a player reads them: one entry a line, two blanks deeper for
// each submenu, check items with their mark. The browser tests compare the page's with it.
#pragma once

#include <QAction>
#include <QMenu>
#include <QString>
#include <QWidget>

namespace pawnfall::test {

inline QString menu_tree(const QWidget* menu, int level = 0) {
  QString out;
  for (const QAction* a : menu->actions()) {
    out += QString(level * 2, QChar(' ')) + a->text();
    if (a->isCheckable()) out += a->isChecked() ? QStringLiteral(" [x]") : QStringLiteral(" [ ]");
    out += QChar('\n');
    if (a->menu()) out += menu_tree(a->menu(), level + 1);
  }
  return out;
}

}  // namespace pawnfall::test
