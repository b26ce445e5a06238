#include "chart_line.h"

#include <QCategoryAxis>
#include <QChart>
#include <QLineSeries>

#include <algorithm>
#include <cmath>

namespace fixwatch {

SegmentedLine::SegmentedLine(QChart* chart, QAbstractAxis* x, QAbstractAxis* y, QString name, QPen pen)
    : chart_(chart), x_(x), y_(y), name_(std::move(name)), pen_(std::move(pen))
{
}

SegmentedLine::~SegmentedLine()
{
    for (QLineSeries* series : series_) {
        chart_->removeSeries(series);
        delete series;
    }
}

void SegmentedLine::SetSegments(const std::vector<QList<QPointF>>& segments)
{
    while (series_.size() < std::max<std::size_t>(segments.size(), 1)) {
        auto* series = new QLineSeries;
        series->setName(name_);
        series->setPen(pen_);
        chart_->addSeries(series);
        series->attachAxis(x_);
        series->attachAxis(y_);
        series_.push_back(series);
    }
    for (std::size_t i = 0; i < series_.size(); ++i)
        series_[i]->replace(i < segments.size() ? segments[i] : QList<QPointF>());
}

qsizetype SegmentedLine::Points() const
{
    qsizetype points = 0;
    for (const QLineSeries* series : series_)
        points += series->count();
    return points;
}

} // namespace fixwatch
