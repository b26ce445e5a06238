#pragma once

#include <QString>

namespace fixwatch {

// A tooltip that shows `text` literally. Qt decides per tooltip whether its text is rich
// text, so received text that looks like markup ("<img src=...>") is escaped and wrapped;
// text that cannot be taken for markup (a number, a device path) is returned unchanged.
QString PlainToolTip(const QString& text);

} // namespace fixwatch
