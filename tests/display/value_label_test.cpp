// The value label: the size it asks for is a plain label's, worked out again only when a new
// text can change it, and a new text is painted once.
#include "value_label.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

// A value label and a plain one made alike, as the window makes its value labels.
template <typename Label>
Label* MadeAsTheWindowDoes(const QString& text, QWidget* parent)
{
    auto* label = new Label(parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setText(text);
    return label;
}

TEST(ValueLabel, AsksForThePlainLabelsSizeAndMeasuresAgainOnlyWhenMoreThanDigitsChange)
{
    QWidget window;
    ValueLabel* value = MadeAsTheWindowDoes<ValueLabel>("00:00:00", &window);
    QLabel* plain = MadeAsTheWindowDoes<QLabel>("00:00:00", &window);
    auto sameAsPlain = [&](const QString& text) {
        value->setText(text);
        plain->setText(text);
        EXPECT_EQ(value->sizeHint(), plain->sizeHint()) << text.toStdString();
        EXPECT_EQ(value->minimumSizeHint(), plain->minimumSizeHint()) << text.toStdString();
    };
    sameAsPlain("00:00:00");
    ASSERT_EQ(value->Measurements(), 1);
    const bool digitsShareWidth = QFontMetricsF(value->font()).horizontalAdvance("0123456789")
                                  == 10 * QFontMetricsF(value->font()).horizontalAdvance('1');
    for (const QString text : {"12:34:56", "99:99:99", "00:00:01"})
        sameAsPlain(text);
    EXPECT_EQ(value->Measurements(), digitsShareWidth ? 1 : 4) << "digits alone changed";

    // Any other change is measured: a longer text, a letter for a digit, another font.
    const int before = value->Measurements();
    for (const QString& text : {QString("123:34:56"), QString("12:34:5W"), QString("12 34 56"), QString(),
                                QString::fromLatin1("048\xB0 07.038' N")})
        sameAsPlain(text);
    EXPECT_EQ(value->Measurements(), before + 5);
    QFont larger = value->font();
    larger.setPointSize(larger.pointSize() * 2);
    value->setFont(larger);
    plain->setFont(larger);
    sameAsPlain(QString::fromLatin1("048\xB0 07.039' N"));
    EXPECT_EQ(value->Measurements(), before + 6);
    value->setContentsMargins(5, 5, 5, 5);
    plain->setContentsMargins(5, 5, 5, 5);
    sameAsPlain(QString::fromLatin1("048\xB0 07.039' N"));
    EXPECT_EQ(value->Measurements(), before + 7);
}

// Counts the paints of the widget it watches.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

TEST(ValueLabel, ANewTextInALayoutIsPaintedOnceAndShown)
{
    QWidget window;
    auto* layout = new QGridLayout(&window);
    ValueLabel* value = MadeAsTheWindowDoes<ValueLabel>("00:00:00", &window);
    layout->addWidget(value, 0, 0);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    PaintCounter counter;
    value->installEventFilter(&counter);

    // As the display ends a batch: layouts, then one paint of the window, then the event loop.
    value->setText("00:00:01");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    window.repaint(value->geometry());
    QCoreApplication::sendPostedEvents(); // any paint the label asked for while it painted
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);
    QLabel* plain = MadeAsTheWindowDoes<QLabel>("00:00:01", &window);
    plain->setGeometry(value->geometry());
    EXPECT_EQ(value->grab().toImage(), plain->grab().toImage());
}

} // namespace
} // namespace fixwatch
