#pragma once

#include <QGroupBox>
#include <QPixmap>
#include <QStyleOptionGroupBox>

namespace fixwatch {

// A group box that draws its frame and caption once into a picture and afterwards copies from
// it what a paint asks for.
//
// The labels in a group box show through to it, so each new value the receiver sends paints
// the box beneath the label, and the style draws the whole frame again to paint that piece.
class BufferedGroupBox : public QGroupBox {
    Q_OBJECT
public:
    using QGroupBox::QGroupBox;

    // How often the frame was drawn in full, for tests.
    int Drawings() const { return drawings_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Whether the picture was drawn from this option in this font and style.
    bool Current(const QStyleOptionGroupBox& option) const;

    QPixmap picture_;
    QStyleOptionGroupBox drawnFrom_;
    QFont drawnFont_;
    const QStyle* drawnStyle_ = nullptr;
    int drawings_ = 0;
};

} // namespace fixwatch
