#include "chart_legend.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace fixwatch {

namespace {

constexpr int kStroke = 22; // length of an entry's line sample
constexpr int kGap = 5;     // between the sample and its name, and between columns
constexpr int kPad = 4;

} // namespace

ChartLegend::ChartLegend(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ChartLegend"));
    // At least as wide as its entries, and as wide as the column of legends it stands in.
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    setFont(small);
}

void ChartLegend::SetEntries(std::vector<Entry> entries)
{
    if (entries == entries_)
        return;
    entries_ = std::move(entries);
    columns_ = Columns();
    updateGeometry();
    update();
}

int ChartLegend::RowHeight() const { return fontMetrics().height() + 2; }

int ChartLegend::ColumnWidth() const
{
    int widest = 0;
    for (const Entry& entry : entries_)
        widest = std::max(widest, fontMetrics().horizontalAdvance(entry.label));
    return kStroke + kGap + widest + kGap;
}

int ChartLegend::RowsThatFit() const { return std::max(1, (height() - 2 * kPad) / RowHeight()); }

int ChartLegend::Columns() const
{
    const int n = static_cast<int>(entries_.size());
    if (n == 0)
        return 1;
    const int rows = RowsThatFit();
    return (n + rows - 1) / rows;
}

QSize ChartLegend::sizeHint() const
{
    const int n = static_cast<int>(entries_.size());
    const int columns = Columns();
    return {2 * kPad + columns * ColumnWidth(), 2 * kPad + std::max(1, (n + columns - 1) / columns) * RowHeight()};
}

QSize ChartLegend::minimumSizeHint() const { return {sizeHint().width(), 2 * kPad + RowHeight()}; }

void ChartLegend::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // A lower legend may need another column: ask the layout for the width.
    if (const int columns = Columns(); columns != columns_) {
        columns_ = columns;
        updateGeometry();
    }
}

void ChartLegend::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        columns_ = Columns();
        updateGeometry();
    }
}

void ChartLegend::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int rows = RowsThatFit();
    const int rowHeight = RowHeight();
    const int columnWidth = ColumnWidth();
    // Entries start at the top, as the chart's title does, and centre when one column holds them.
    const int used = std::min(rows, static_cast<int>(entries_.size())) * rowHeight;
    const int top = std::max(kPad, (height() - used) / 2);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const int column = static_cast<int>(i) / rows;
        const int row = static_cast<int>(i) % rows;
        const int x = kPad + column * columnWidth;
        const int y = top + row * rowHeight;
        QPen pen = entries_[i].pen;
        pen.setWidthF(2.0);
        painter.setPen(pen);
        painter.drawLine(QPointF(x, y + rowHeight / 2.0), QPointF(x + kStroke, y + rowHeight / 2.0));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(QRect(x + kStroke + kGap, y, columnWidth - kStroke - kGap, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, entries_[i].label);
    }
}

} // namespace fixwatch
