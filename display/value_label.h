#pragma once

#include <QLabel>
#include <QMargins>
#include <QSize>
#include <QSizePolicy>
#include <QString>

namespace fixwatch {

// A label for a value the receiver sends, whose size is worked out again only when a new text
// can change it.
//
// A label whose text can be selected lays its text out as a document some ten times to find
// its size, and the layout of the window asks for that size each time the text changes: each
// second for the time, the position and the speeds. Where the font gives every digit one
// width, a text that differs from the measured one only in its digits has the same size.
class ValueLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // How often the sizes were worked out in full, for tests.
    int Measurements() const { return measurements_; }

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // What the sizes depend on besides the text.
    struct Setting {
        QFont font;
        QMargins contents;
        int margin = 0;
        int indent = 0;
        Qt::Alignment alignment;
        bool wordWrap = false;
        Qt::TextFormat format = Qt::AutoText;
        QSizePolicy policy;
        bool operator==(const Setting&) const = default;
    };

    Setting Current() const;
    bool SameSize(const QString& text) const;
    void Measure() const;

    mutable QString measuredText_;
    mutable Setting measuredSetting_;
    mutable QSize hint_;
    mutable QSize minimumHint_;
    mutable bool measured_ = false;
    mutable int digitsShareWidth_ = -1; // -1: not yet looked at for this font
    mutable int measurements_ = 0;
};

} // namespace fixwatch
