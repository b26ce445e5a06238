#include "sky_table_model.h"

#include "sky_plot.h"
#include "sky_signals.h"

#include <QPainter>
#include <QPixmap>
#include <QString>

#include <algorithm>
#include <optional>

namespace fixwatch {
namespace {

// The value a column shows and sorts by; empty when the receiver left it empty.
std::optional<int> ColumnValue(const SkySatellite& satellite, int column)
{
    switch (column) {
    case SkyTableModel::System: return static_cast<int>(satellite.system);
    case SkyTableModel::Number: return satellite.number;
    case SkyTableModel::Elevation: return satellite.elevation;
    case SkyTableModel::Azimuth: return satellite.azimuth;
    case SkyTableModel::Signal: return satellite.signal;
    case SkyTableModel::Used: return satellite.used ? 1 : 0;
    default: break;
    }
    if (column < SkyTableModel::kFirstBand || column >= SkyTableModel::ColumnCount)
        return std::nullopt;
    return StrongestCn0(satellite, static_cast<SignalBand>(column - SkyTableModel::kFirstBand));
}

QString NumberText(const std::optional<int>& value)
{
    return value ? QString::number(*value) : QString();
}

QString SystemText(GnssSystem system)
{
    const std::string_view name = SystemName(system);
    return QString::fromLatin1(name);
}

struct ColumnHeader {
    const char* title;
    const char* tooltip;
    Qt::SortOrder firstClick; // the order a first click on the header sorts in
};

// Measures are sorted strongest, highest and used first on the first click, because that
// is what one looks for; names and numbers in their natural order.
constexpr ColumnHeader kHeaders[SkyTableModel::ColumnCount] = {
    {"System", "Satellite system", Qt::AscendingOrder},
    {"No.", "Number of the satellite, as the receiver sends it", Qt::AscendingOrder},
    {"Elev.", "Elevation above the horizon, degrees", Qt::DescendingOrder},
    {"Azim.", "Azimuth, degrees clockwise from true north", Qt::AscendingOrder},
    {"Signal", "Signal-to-noise ratio, dB-Hz (the strongest of its signals); empty when "
               "not tracked",
     Qt::DescendingOrder},
    {"Used", "Used in the position fix", Qt::DescendingOrder},
    {"L1", "C/N0 on L1 (L1, E1, B1, G1), dB-Hz", Qt::DescendingOrder},
    {"L2", "C/N0 on L2 (L2, G2), dB-Hz", Qt::DescendingOrder},
    {"L5", "C/N0 on L5 (L5, E5a, B2a), dB-Hz", Qt::DescendingOrder},
    {"E5b", "C/N0 on E5b (E5b, B2b, B2I), dB-Hz", Qt::DescendingOrder},
    {"E6", "C/N0 on E6 (E6, L6, B3), dB-Hz", Qt::DescendingOrder},
    {"S", "C/N0 on NavIC's S band, dB-Hz", Qt::DescendingOrder},
};
static_assert(static_cast<int>(SignalBand::S) == SkyTableModel::BandS - SkyTableModel::kFirstBand);

} // namespace

SkyTableModel::SkyTableModel(QObject* parent) : QAbstractTableModel(parent) {}

bool SkyTableModel::BandShown(int column) const
{
    if (column < kFirstBand || column >= ColumnCount)
        return true;
    return bandShown_[static_cast<std::size_t>(column - kFirstBand)];
}

void SkyTableModel::SetSatellites(const std::vector<SkySatellite>& satellites)
{
    // Bands are columns only for a receiver that names its signals; a GSV without a signal
    // ID counts as L1 then.
    bandShown_ = {};
    bool named = false;
    for (const SkySatellite& s : satellites) {
        for (const SkySignal& signal : s.Signals()) {
            const SignalBand band = SignalBandOf(s.system, signal.id);
            named = named || (signal.id != 0 && band != SignalBand::Other);
            if (band != SignalBand::Other)
                bandShown_[static_cast<std::size_t>(band)] = true;
        }
    }
    if (!named)
        bandShown_ = {};

    // Both lists are in key order: walk them together, like a merge.
    int row = 0;
    std::size_t next = 0;
    int firstChanged = -1;
    int lastChanged = -1;
    const auto flushChanged = [&] {
        if (firstChanged >= 0)
            emit dataChanged(index(firstChanged, 0), index(lastChanged, ColumnCount - 1));
        firstChanged = lastChanged = -1;
    };
    const auto rowCountNow = [this] { return static_cast<int>(rows_.size()); };

    while (row < rowCountNow() || next < satellites.size()) {
        const bool rowsLeft = row < rowCountNow();
        const bool newLeft = next < satellites.size();
        if (rowsLeft && (!newLeft || KeyOf(rows_[static_cast<std::size_t>(row)]) < KeyOf(satellites[next]))) {
            // Rows whose satellites are gone, up to the next one still in the list.
            int end = row;
            while (end < rowCountNow()
                   && (!newLeft || KeyOf(rows_[static_cast<std::size_t>(end)]) < KeyOf(satellites[next])))
                ++end;
            flushChanged();
            beginRemoveRows(QModelIndex(), row, end - 1);
            rows_.erase(rows_.begin() + row, rows_.begin() + end);
            endRemoveRows();
        } else if (!rowsLeft
                   || KeyOf(satellites[next]) < KeyOf(rows_[static_cast<std::size_t>(row)])) {
            // New satellites, up to the next row that stays.
            std::size_t end = next;
            while (end < satellites.size()
                   && (!rowsLeft
                       || KeyOf(satellites[end]) < KeyOf(rows_[static_cast<std::size_t>(row)])))
                ++end;
            const int added = static_cast<int>(end - next);
            flushChanged();
            beginInsertRows(QModelIndex(), row, row + added - 1);
            rows_.insert(rows_.begin() + row, satellites.begin() + static_cast<std::ptrdiff_t>(next),
                         satellites.begin() + static_cast<std::ptrdiff_t>(end));
            endInsertRows();
            row += added;
            next = end;
        } else {
            SkySatellite& shown = rows_[static_cast<std::size_t>(row)];
            if (!(shown == satellites[next])) {
                shown = satellites[next];
                if (firstChanged < 0)
                    firstChanged = row;
                lastChanged = row;
            }
            ++row;
            ++next;
        }
    }
    flushChanged();
}

// A dot of the system's colour, as on the plot, before the system's name.
QPixmap SkyTableModel::Dot(GnssSystem system) const
{
    const auto index = static_cast<std::size_t>(system);
    if (index >= dots_.size())
        return {};
    if (dots_[index].isNull()) {
        QPixmap dot(kDotSize, kDotSize);
        dot.fill(Qt::transparent);
        QPainter painter(&dot);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(SystemColor(system));
        painter.drawEllipse(QRectF(0.5, 0.5, kDotSize - 1, kDotSize - 1));
        dots_[index] = dot;
    }
    return dots_[index];
}

int SkyTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SkyTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SkyTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return {};
    const SkySatellite& satellite = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case System: return SystemText(satellite.system);
        case Used: return satellite.used ? QStringLiteral("Yes") : QStringLiteral("No");
        default: return NumberText(ColumnValue(satellite, index.column()));
        }
    case Qt::DecorationRole:
        if (index.column() == System)
            return Dot(satellite.system);
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == System)
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        if (index.column() == Used)
            return QVariant::fromValue(Qt::AlignCenter);
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant SkyTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    const ColumnHeader& header = kHeaders[section];
    switch (role) {
    case Qt::DisplayRole: return QString::fromLatin1(header.title);
    case Qt::ToolTipRole: return QString::fromLatin1(header.tooltip);
    case Qt::InitialSortOrderRole: return static_cast<int>(header.firstClick);
    default: return {};
    }
}

Qt::ItemFlags SkyTableModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren
                           : Qt::NoItemFlags;
}

bool ShownBefore(const SkySatellite& a, const SkySatellite& b, int column, Qt::SortOrder order)
{
    const std::optional<int> va = ColumnValue(a, column);
    const std::optional<int> vb = ColumnValue(b, column);
    if (va && vb && *va != *vb)
        return order == Qt::AscendingOrder ? *va < *vb : *va > *vb;
    if (va.has_value() != vb.has_value())
        return va.has_value();
    return KeyOf(a) < KeyOf(b);
}

bool SkySortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const auto* model = qobject_cast<const SkyTableModel*>(sourceModel());
    if (model == nullptr)
        return QSortFilterProxyModel::lessThan(left, right);
    const auto& rows = model->Satellites();
    const SkySatellite& a = rows[static_cast<std::size_t>(left.row())];
    const SkySatellite& b = rows[static_cast<std::size_t>(right.row())];
    // The proxy puts a before b when lessThan(a, b) in ascending order and when
    // lessThan(b, a) in descending order.
    if (sortOrder() == Qt::AscendingOrder)
        return ShownBefore(a, b, left.column(), Qt::AscendingOrder);
    return ShownBefore(b, a, left.column(), Qt::DescendingOrder);
}

} // namespace fixwatch
