#include "console_delegate.h"

#include "console_line.h"
#include "console_model.h"

#include <QPainter>

namespace fixwatch {
namespace {

const QColor kGrey(0x90, 0x90, 0x90);
const QColor kRed(0xC0, 0x00, 0x00);
const QColor kText(0x20, 0x20, 0x20);

} // namespace

void ConsoleDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const auto* model = qobject_cast<const ConsoleModel*>(index.model());
    if (model == nullptr) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const ConsoleLine& line = model->LineOf(index.row());
    painter->save();
    QFont font = option.font;
    QRect rect = option.rect.adjusted(2, 0, 0, 0);
    // Draws one part and moves past it.
    const auto part = [&](const QString& text, const QColor& colour, bool bold) {
        if (text.isEmpty())
            return;
        font.setBold(bold);
        painter->setFont(font);
        painter->setPen(colour);
        QRect used;
        painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text, &used);
        rect.setLeft(used.right() + 1);
    };
    const QColor plain = line.unread ? kGrey : kText;
    const std::size_t identifierEnd = std::min(line.text.find(','), line.text.size());
    const std::string_view text(line.text);
    part(model->TimeText(line.receivedMs), kGrey, false);
    const QColor identifier = line.badChecksum ? kRed : line.unread ? kGrey
                                                                    : TypeColour(line.type);
    part(VisibleText(text.substr(0, identifierEnd)), identifier, true);
    part(VisibleText(text.substr(identifierEnd)), plain, false);
    part(CutNote(line), kGrey, false);
    part(ChecksumNote(line), kRed, false);
    painter->restore();
}

QSize ConsoleDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    // Every row has the same size, so that the view never measures the kept lines one by one.
    const QFontMetrics metrics(option.font);
    return {metrics.horizontalAdvance(QLatin1Char('0')) * kRowCharacters + 4, metrics.height() + 2};
}

} // namespace fixwatch
