#include "value_label.h"

#include <QEvent>
#include <QFontMetricsF>

#include <vector>

namespace fixwatch {

namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Whether every digit of the font has one width and a run of them is as wide as its digits
// apart: no kerning between digits.
bool DigitsShareWidth(const QFont& font)
{
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(QLatin1Char('0'));
    for (char digit = '1'; digit <= '9'; ++digit) {
        if (metrics.horizontalAdvance(QLatin1Char(digit)) != width)
            return false;
    }
    return metrics.horizontalAdvance(QStringLiteral("0123456789")) == 10 * width;
}

} // namespace

QSize ValueLabel::sizeHint() const
{
    Measure();
    return hint_;
}

QSize ValueLabel::minimumSizeHint() const
{
    Measure();
    return minimumHint_;
}

// The font and the rest of the setting are compared at each measurement; a style is not.
void ValueLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::StyleChange)
        measured_ = false;
    QLabel::changeEvent(event);
}

// A new text is laid out here now, no longer while the layout of the window asks for its size.
// The label's text control asks for a paint of what it laid out, which is what is being painted:
// let through, it would paint the window a second time.
void ValueLabel::paintEvent(QPaintEvent* event)
{
    std::vector<QObject*> blocked;
    for (QObject* child : children()) {
        if (!child->isWidgetType() && !child->signalsBlocked()) {
            child->blockSignals(true);
            blocked.push_back(child);
        }
    }
    QLabel::paintEvent(event);
    for (QObject* child : blocked)
        child->blockSignals(false);
}

ValueLabel::Setting ValueLabel::Current() const
{
    return {font(), contentsMargins(), margin(), indent(), alignment(), wordWrap(), textFormat(), sizePolicy()};
}

bool ValueLabel::SameSize(const QString& text) const
{
    if (text.size() != measuredText_.size())
        return false;
    bool digitChanged = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == measuredText_[i])
            continue;
        if (!IsDigit(text[i]) || !IsDigit(measuredText_[i]))
            return false;
        digitChanged = true;
    }
    if (!digitChanged)
        return true;
    if (digitsShareWidth_ < 0)
        digitsShareWidth_ = DigitsShareWidth(font()) ? 1 : 0;
    return digitsShareWidth_ == 1;
}

void ValueLabel::Measure() const
{
    const QString current = text();
    Setting setting = Current();
    if (measured_ && setting == measuredSetting_ && SameSize(current))
        return;
    if (!(measured_ && setting.font == measuredSetting_.font))
        digitsShareWidth_ = -1;
    hint_ = QLabel::sizeHint();
    minimumHint_ = QLabel::minimumSizeHint();
    measuredText_ = current;
    measuredSetting_ = std::move(setting);
    measured_ = true;
    ++measurements_;
}

} // namespace fixwatch
