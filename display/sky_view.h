#pragma once

#include "gnss_system.h"
#include "sky_satellites.h"

#include <QWidget>

#include <vector>

class QTableView;

namespace fixwatch {

class SkyLegend;
class SkyPlot;
class SkySortProxy;
class SkyTableModel;

// The Sky tab: the polar plot of the satellites in view beside a table of every satellite,
// which can be sorted by any column, and the plot's legend under the table. The plot takes
// the largest square the height allows, the table the rest of the width. Rows selected in
// the table are ringed on the plot.
class SkyView : public QWidget {
    Q_OBJECT
public:
    explicit SkyView(QWidget* parent = nullptr);

    // Shows these satellites (normally in system then number order, as the sky model gives
    // them). The same list again costs one comparison and changes nothing; a changed list
    // updates the rows in place, so the table keeps its sort column, selection and scroll.
    void ShowSatellites(const std::vector<SkySatellite>& satellites);

    SkyPlot* Img_Sky;
signals:
    // A click on a satellite's row in the table or its circle on the plot.
    void SatelliteClicked(fixwatch::SatelliteKey key);

public:
    SkyLegend* Img_SkyLegend;
    QTableView* Grd_Sky;

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Grd_Sky_SelectionChanged();
    void FitColumns();
    void SpreadColumns();

    SkyTableModel* model_;
    SkySortProxy* sorted_;
    std::vector<SkySatellite> shown_;
    std::vector<int> columnWidths_; // the narrowest each column can be
};

} // namespace fixwatch
