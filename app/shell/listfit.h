// Velmora workbench. Licensed under the MIT licence.
#pragma once

class QComboBox;
class QFont;

// Drop-down lists keep their fixed size; where an item is wider than the room the
// closed list has for it ("115200" in a narrow baud list), the list's font is made
// smaller until every item fits, so that no item is ever shown cut.
namespace ListFit {

// Nothing smaller: below it the items would be as unreadable as cut ones.
constexpr double SmallestPointSize = 6.5;

// The pixels the closed list has for its chosen item's text.
int textRoom(const QComboBox *list);
// The widest item in the font given, however the screen hints it (a display at a
// scale factor above 1 lays text out unhinted).
int widestItem(const QComboBox *list, const QFont &font);
// Fits a list that cannot be typed into; an editable one scrolls its text instead.
void fit(QComboBox *list);

} // namespace ListFit
