#pragma once

#include <QPen>
#include <QString>
#include <QWidget>

#include <vector>

namespace fixwatch {

// A chart's legend beside the chart rather than inside it, so that it never takes room from
// the plot or its time axis: each entry a short stroke in its line's own pen (dashes and dots
// as drawn) and a plain-text name. Entries that do not fit one column's height go into more
// columns, and the widget asks for the width they need.
class ChartLegend : public QWidget {
    Q_OBJECT
public:
    struct Entry {
        QString label;
        QPen pen;
        bool operator==(const Entry&) const = default;
    };

    explicit ChartLegend(QWidget* parent = nullptr);

    void SetEntries(std::vector<Entry> entries);
    const std::vector<Entry>& Entries() const { return entries_; }
    // How many columns the entries take at the legend's present height.
    int Columns() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int RowHeight() const;
    int ColumnWidth() const;
    int RowsThatFit() const;

    std::vector<Entry> entries_;
    int columns_ = 1; // as last laid out
};

} // namespace fixwatch
