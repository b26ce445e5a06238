#pragma once

#include <QStyledItemDelegate>

namespace fixwatch {

// Draws one console row in its parts: the time in grey, the identifier in bold in its type's
// colour (red when the checksum is bad), the rest of the line, and the checksum note in red.
// A line the window does not read is grey throughout. Every text is drawn as plain text.
class ConsoleDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    // Characters a row is laid out for: the time, a full sentence and its checksum note.
    static constexpr int kRowCharacters = 160;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace fixwatch
