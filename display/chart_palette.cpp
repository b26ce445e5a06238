#include "chart_palette.h"

#include <QAbstractAxis>
#include <QChart>
#include <QLegend>
#include <QPalette>

namespace fixwatch {

void FollowPalette(QChart* chart, const QPalette& palette)
{
    chart->setBackgroundBrush(palette.base());
    chart->setTitleBrush(palette.text());
    chart->legend()->setLabelColor(palette.color(QPalette::Text));
    QColor grid = palette.color(QPalette::Text);
    grid.setAlpha(40);
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setLabelsColor(palette.color(QPalette::Text));
        axis->setTitleBrush(palette.text());
        axis->setLinePenColor(palette.color(QPalette::Mid));
        axis->setGridLineColor(grid);
    }
}

} // namespace fixwatch
