#pragma once

#include <QList>
#include <QPen>
#include <QPointF>
#include <QString>

#include <vector>

class QAbstractAxis;
class QChart;
class QLineSeries;

namespace fixwatch {

// One named line of a chart, drawn as one series per unbroken stretch so that time
// without data is a gap, not a straight line across it. The series are kept between redraws.
class SegmentedLine {
public:
    SegmentedLine(QChart* chart, QAbstractAxis* x, QAbstractAxis* y, QString name, QPen pen);
    ~SegmentedLine();
    SegmentedLine(const SegmentedLine&) = delete;
    SegmentedLine& operator=(const SegmentedLine&) = delete;

    void SetSegments(const std::vector<QList<QPointF>>& segments);
    // The points drawn, over every stretch; for tests.
    qsizetype Points() const;
    const QPen& Pen() const { return pen_; }
    const QString& Name() const { return name_; }

private:
    QChart* chart_;
    QAbstractAxis* x_;
    QAbstractAxis* y_;
    QString name_;
    QPen pen_;
    std::vector<QLineSeries*> series_;
};

} // namespace fixwatch
