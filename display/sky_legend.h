#pragma once

#include "gnss_system.h"

#include <QWidget>

#include <vector>

namespace fixwatch {

// The key to the Sky tab's plot, painted: the colour of each system in view, then filled
// for used, hollow for not used and the circle sizes from a weak to a strong signal. The
// entries flow like words into the width, the key starting a row of its own.
class SkyLegend : public QWidget {
    Q_OBJECT
public:
    explicit SkyLegend(QWidget* parent = nullptr);

    // Lists these systems, in the order given.
    void SetSystems(const std::vector<GnssSystem>& systems);
    const std::vector<GnssSystem>& Systems() const { return systems_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Placed;
    std::vector<Placed> Arrange(int width) const;
    int LineHeight() const;

    std::vector<GnssSystem> systems_;
};

} // namespace fixwatch
