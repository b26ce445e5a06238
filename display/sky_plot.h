#pragma once

#include "sky_satellites.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPointF>
#include <QRectF>
#include <QStaticText>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace fixwatch {

// The colour of a system's satellites. All have about the same middle luminance, so they
// keep a contrast of 3:1 or more on a white base and on a dark one alike.
QColor SystemColor(GnssSystem system);

// Where a satellite stands on a polar sky plot of horizon `radius` around `centre`: north
// up, azimuth clockwise, the zenith at the centre and the horizon on the circle. An
// elevation outside 0..90 is held at the horizon or the zenith and the azimuth is taken
// modulo 360, so that no receiver's value can put a satellite outside the plot.
QPointF SkyPosition(int elevation, int azimuth, QPointF centre, double radius);

// The radius of a satellite's circle: larger for a stronger signal, smallest when there is
// none, in proportion to the plot's horizon `radius`.
double MarkRadius(std::optional<int> signal, double radius);

// Whether the receiver gave a place in the sky: an elevation and an azimuth, and not the
// "00,000" that many receivers send for a satellite they know of but have not located.
bool HasSkyPosition(const SkySatellite& satellite);

// A satellite's name on the plot: its system's letter and number, as the channel columns
// write it ("G27", "E27", "C27").
QString SkyLabel(const SatelliteKey& key);

// The Sky tab's polar plot, painted: rings at 0, 30 and 60 degrees of elevation, N E S W,
// and each satellite with a position as a circle of its system's colour (filled when used
// in the fix, hollow when not, sized by its signal) with its name beside it. A name goes
// where it covers no other name, circle, ring value or cardinal point; where there is no
// such place it is left out rather than written over something, used and strong
// satellites getting their places first. Hovering a circle tells all about its satellite.
// The plot is the largest square the widget holds and its fonts grow with it. Line and
// text colours come from the palette; the grid is kept in a pixmap between changes of
// size, palette or font.
class SkyPlot : public QWidget {
    Q_OBJECT
public:
    // One satellite as drawn, in widget coordinates.
    struct Mark {
        SatelliteKey key;
        QPointF centre;
        double radius = 0;
        bool used = false;
        QString label;       // the name
        QRectF labelRect;    // where the name is written; null when it found no room
        bool leader = false; // the name stands away from its circle, joined to it by a line
    };

    explicit SkyPlot(QWidget* parent = nullptr);

    // Shows these satellites; the same list again changes nothing and paints nothing.
    void SetSatellites(const std::vector<SkySatellite>& satellites);
    // Rings these satellites, e.g. those selected in the table.
    void SetHighlighted(const std::vector<SatelliteKey>& keys);

    const std::vector<SatelliteKey>& Highlighted() const { return highlighted_; }

    // The satellites placed on the plot, at the widget's current size, in the order given.
    const std::vector<Mark>& Marks() const;
    // Where the ring values and the cardinal points are written.
    const std::vector<QRectF>& RingLabels() const;
    const std::vector<QRectF>& CompassLabels() const;
    // The horizon circle at the widget's current size.
    QPointF Centre() const;
    double Radius() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A click on a satellite's circle.
    void SatelliteClicked(fixwatch::SatelliteKey key);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    const Mark* MarkAt(const QPointF& at) const;
    // Geometry, fonts and marks follow the size, the font and the satellites; they are
    // worked out again when first needed after one of them changed.
    void Invalidate();
    void EnsureLayout() const;
    void PlaceMarks() const;
    void PlaceRingLabels() const;
    void PlaceLabels() const;
    QString Describe(const QPointF& at) const;
    void PaintGrid(QPainter& painter) const;
    const QPixmap& Sprite(const Mark& mark) const;

    std::vector<SkySatellite> satellites_;
    std::vector<SatelliteKey> highlighted_;

    mutable bool laidOut_ = false;
    mutable QSize laidOutSize_;
    mutable std::vector<Mark> marks_;
    mutable QPointF centre_;
    mutable double radius_ = 0;
    mutable QFont compassFont_;
    mutable QFont numberFont_;
    mutable std::vector<QRectF> ringLabels_;                           // where the ring values are written
    mutable std::vector<QRectF> compassLabels_;                        // where N E S W are written
    mutable std::vector<QStaticText> labelTexts_;                      // the marks' names, laid out
    mutable std::unordered_map<std::uint64_t, QStaticText> nameTexts_; // by key, in numberFont_

    QPixmap grid_;                                               // null when it must be drawn again
    mutable std::unordered_map<std::uint32_t, QPixmap> sprites_; // circles, by look
};

} // namespace fixwatch
