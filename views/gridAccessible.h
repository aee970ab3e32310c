#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace marlo {

// Assistive technology sees a grid as a table: its row and column counts, one
// cell per grid cell whose name is the text the cell shows, the current cell
// as the focused one, and the owner's name for the sheet as the table's name.
// The factory is installed once, by the first grid made.
QAccessibleInterface* gridAccessibleFactory(const QString& className, QObject* object);
void installGridAccessibility();

} // namespace marlo
