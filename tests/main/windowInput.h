#pragma once

#include <QString>
#include <QStringList>
#include <QtCore/qnamespace.h>

class QMenu;
class QWidget;

// Menus reached as a person reaches them: Alt+letter, popups that really open,
// items clicked with the mouse.

// Item text as shown: no accelerator mark, no shortcut.
QString plainItemText(const QString& text);
// The popup menu on the screen, once it is there.
QMenu* waitForPopup();
// Clicks the item of `menu` whose text, without its accelerator mark and
// shortcut, starts with `text`.
void clickItem(QMenu* menu, const QString& text);
// Alt+letter on `window`'s menu bar, then a click on each item of `path`.
void menuBar(QWidget& window, Qt::Key letter, const QStringList& path);
