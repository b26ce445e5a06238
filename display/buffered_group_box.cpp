#include "buffered_group_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

namespace fixwatch {

bool BufferedGroupBox::Current(const QStyleOptionGroupBox& option) const
{
    const QStyleOptionGroupBox& drawn = drawnFrom_;
    return !picture_.isNull() && picture_.devicePixelRatio() == devicePixelRatioF()
           && drawnStyle_ == style() && drawnFont_ == font() && option.rect == drawn.rect
           && option.state == drawn.state && option.direction == drawn.direction
           && option.palette.cacheKey() == drawn.palette.cacheKey() && option.text == drawn.text
           && option.textAlignment == drawn.textAlignment && option.textColor == drawn.textColor
           && option.features == drawn.features && option.lineWidth == drawn.lineWidth
           && option.midLineWidth == drawn.midLineWidth && option.subControls == drawn.subControls
           && option.activeSubControls == drawn.activeSubControls;
}

void BufferedGroupBox::paintEvent(QPaintEvent* event)
{
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    if (!Current(option)) {
        const qreal ratio = devicePixelRatioF();
        picture_ = QPixmap(size() * ratio);
        picture_.setDevicePixelRatio(ratio);
        picture_.fill(Qt::transparent);
        // The painter as a paint of the widget itself would begin it.
        QPainter painter(&picture_);
        painter.setFont(font());
        painter.setPen(palette().color(foregroundRole()));
        painter.setBrush(palette().brush(backgroundRole()));
        painter.setLayoutDirection(layoutDirection());
        style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, this);
        drawnFrom_ = option;
        drawnFont_ = font();
        drawnStyle_ = style();
        ++drawings_;
    }
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawPixmap(0, 0, picture_);
}

} // namespace fixwatch
