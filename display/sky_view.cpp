#include "sky_view.h"

#include "sky_legend.h"
#include "sky_plot.h"
#include "sky_table_model.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace fixwatch {

SkyView::SkyView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("SkyView"));

    Img_Sky = new SkyPlot;
    Img_Sky->setObjectName(QStringLiteral("Img_Sky"));

    model_ = new SkyTableModel(this);
    sorted_ = new SkySortProxy(this);
    sorted_->setSourceModel(model_);

    Grd_Sky = new QTableView;
    Grd_Sky->setObjectName(QStringLiteral("Grd_Sky"));
    Grd_Sky->setModel(sorted_);
    Grd_Sky->setSortingEnabled(true);
    Grd_Sky->sortByColumn(SkyTableModel::System, Qt::AscendingOrder);
    Grd_Sky->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grd_Sky->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grd_Sky->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Grd_Sky->setAlternatingRowColors(true);
    Grd_Sky->setWordWrap(false);
    Grd_Sky->setCornerButtonEnabled(false);
    Grd_Sky->setIconSize(QSize(SkyTableModel::kDotSize, SkyTableModel::kDotSize));
    Grd_Sky->verticalHeader()->hide();
    Grd_Sky->viewport()->installEventFilter(this);
    Grd_Sky->horizontalHeader()->setHighlightSections(false);
    for (int column = SkyTableModel::kFirstBand; column < SkyTableModel::ColumnCount; ++column)
        Grd_Sky->setColumnHidden(column, true);
    FitColumns();

    Img_SkyLegend = new SkyLegend;
    Img_SkyLegend->setObjectName(QStringLiteral("Img_SkyLegend"));

    auto* side = new QVBoxLayout;
    side->addWidget(Grd_Sky, 1);
    side->addWidget(Img_SkyLegend);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(Img_Sky, 1);
    layout->addLayout(side);

    connect(Grd_Sky->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SkyView::Grd_Sky_SelectionChanged);
    connect(Grd_Sky, &QTableView::clicked, this, [this](const QModelIndex& index) {
        const auto& rows = model_->Satellites();
        const int row = sorted_->mapToSource(index).row();
        if (row >= 0 && row < static_cast<int>(rows.size()))
            emit SatelliteClicked(KeyOf(rows[static_cast<std::size_t>(row)]));
    });
    connect(Img_Sky, &SkyPlot::SatelliteClicked, this, &SkyView::SatelliteClicked);
}

void SkyView::ShowSatellites(const std::vector<SkySatellite>& satellites)
{
    if (satellites == shown_)
        return;
    shown_ = satellites;
    const std::vector<SkySatellite> ordered = InSkyOrder(satellites);
    model_->SetSatellites(ordered);
    bool bandsChanged = false;
    for (int column = SkyTableModel::kFirstBand; column < SkyTableModel::ColumnCount; ++column) {
        const bool hidden = !model_->BandShown(column);
        if (Grd_Sky->isColumnHidden(column) != hidden) {
            Grd_Sky->setColumnHidden(column, hidden);
            bandsChanged = true;
        }
    }
    if (bandsChanged)
        SpreadColumns();
    Img_Sky->SetSatellites(ordered);
    Img_SkyLegend->SetSystems(SystemsIn(ordered));
}

// Rings the selected rows' satellites on the plot.
void SkyView::Grd_Sky_SelectionChanged()
{
    std::vector<SatelliteKey> keys;
    const auto& rows = model_->Satellites();
    for (const QModelIndex& index : Grd_Sky->selectionModel()->selectedRows()) {
        const int row = sorted_->mapToSource(index).row();
        if (row >= 0 && row < static_cast<int>(rows.size()))
            keys.push_back(KeyOf(rows[static_cast<std::size_t>(row)]));
    }
    Img_Sky->SetHighlighted(keys);
}

// Columns as wide as their titles with the sort arrow, or their widest value, so that
// sorting or new rows never make them jump; the table is never narrower than its columns.
void SkyView::FitColumns()
{
    QHeaderView* header = Grd_Sky->horizontalHeader();
    const QFontMetrics titles = header->fontMetrics();
    const QFontMetrics cells = Grd_Sky->fontMetrics();
    QStyle* style = Grd_Sky->style();
    const int titlePadding = 2 * style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header)
                             + style->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header);
    const int cellPadding = 2 * cells.averageCharWidth();

    columnWidths_.clear();
    int total = 0;
    for (int column = 0; column < SkyTableModel::ColumnCount; ++column) {
        QString widest = QStringLiteral("000");
        int decoration = 0;
        if (column == SkyTableModel::System) {
            decoration = Grd_Sky->iconSize().width() + cells.averageCharWidth();
            for (GnssSystem system : kAllGnssSystems) {
                const std::string_view name = SystemName(system);
                const QString text =
                    QString::fromLatin1(name);
                if (cells.horizontalAdvance(text) > cells.horizontalAdvance(widest))
                    widest = text;
            }
        }
        const QString title = model_->headerData(column, Qt::Horizontal).toString();
        const int width = std::max(titles.horizontalAdvance(title) + titlePadding,
                                   cells.horizontalAdvance(widest) + decoration + cellPadding);
        columnWidths_.push_back(width);
        // Band columns come and go with the receiver: the table scrolls rather than grows.
        if (column < SkyTableModel::kFirstBand)
            total += width;
    }
    SpreadColumns();
    const int frame = 2 * Grd_Sky->frameWidth();
    const int scrollBar = style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Grd_Sky);
    Grd_Sky->setMinimumWidth(total + frame + scrollBar);

    const int rowHeight = cells.height() + 6;
    Grd_Sky->verticalHeader()->setMinimumSectionSize(rowHeight);
    Grd_Sky->verticalHeader()->setDefaultSectionSize(rowHeight);
}

void SkyView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        FitColumns();
}

// Shares the table's spare width out evenly, so the columns fill it without any of them
// getting narrower than its contents.
void SkyView::SpreadColumns()
{
    int total = 0;
    std::vector<int> shown;
    for (int column = 0; column < static_cast<int>(columnWidths_.size()); ++column) {
        if (!Grd_Sky->isColumnHidden(column)) {
            shown.push_back(column);
            total += columnWidths_[static_cast<std::size_t>(column)];
        }
    }
    const int count = static_cast<int>(shown.size());
    const int spare = std::max(0, Grd_Sky->viewport()->width() - total);
    QHeaderView* header = Grd_Sky->horizontalHeader();
    for (int i = 0; i < count; ++i) {
        // The last column takes what rounding left over.
        const int share = i + 1 < count ? spare / count : spare - spare / count * (count - 1);
        const int column = shown[static_cast<std::size_t>(i)];
        header->resizeSection(column, columnWidths_[static_cast<std::size_t>(column)] + share);
    }
}

bool SkyView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Grd_Sky->viewport() && event->type() == QEvent::Resize)
        SpreadColumns();
    return QWidget::eventFilter(watched, event);
}

// The plot is square: it gets as much width as it has height, the table the rest.
void SkyView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QMargins margins = layout()->contentsMargins();
    const int height = event->size().height() - margins.top() - margins.bottom();
    Img_Sky->setMaximumWidth(std::max(Img_Sky->minimumSizeHint().width(), height));
}

} // namespace fixwatch
