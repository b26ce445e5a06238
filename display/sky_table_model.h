#pragma once

#include "sky_satellites.h"

#include <QAbstractTableModel>
#include <QPixmap>
#include <QSortFilterProxyModel>

#include <array>
#include <iterator>
#include <vector>

namespace fixwatch {

// The Sky tab's table: one row per satellite, in system then number order. A new list is
// merged into the rows (changed rows updated, new ones inserted, gone ones removed), so a
// view keeps its selection and scroll across updates. Read-only; every text is plain.
class SkyTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        System,
        Number,
        Elevation,
        Azimuth,
        Signal,
        Used,
        // C/N0 per carrier band, the strongest of the satellite's signals in it; a view shows
        // only the bands in BandShown.
        BandL1,
        BandL2,
        BandL5,
        BandE5b,
        BandE6,
        BandS,
        ColumnCount,
    };
    static constexpr int kFirstBand = BandL1;
    // The side of the coloured dot before each system's name.
    static constexpr int kDotSize = 10;

    explicit SkyTableModel(QObject* parent = nullptr);

    // `satellites` must be in system then number order, each once (see InSkyOrder).
    void SetSatellites(const std::vector<SkySatellite>& satellites);
    const std::vector<SkySatellite>& Satellites() const { return rows_; }
    // Whether a band column has anything to show: the receiver names its signals (NMEA 4.10
    // signal IDs) and some satellite is listed on that band. Always true for other columns.
    bool BandShown(int column) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QPixmap Dot(GnssSystem system) const;

    std::vector<SkySatellite> rows_;
    std::array<bool, ColumnCount - kFirstBand> bandShown_{};
    mutable std::array<QPixmap, std::size(kAllGnssSystems)> dots_;
};

// Whether `a` is shown above `b` when the table is sorted by `column` in `order`: numbers
// compare as numbers, the system by its display order, empty values come last in either
// order, and equal values keep system then number order.
bool ShownBefore(const SkySatellite& a, const SkySatellite& b, int column, Qt::SortOrder order);

// Sorts a SkyTableModel by ShownBefore.
class SkySortProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

} // namespace fixwatch
