// The buffered group box looks as a plain group box does, and draws its frame again only when
// what it looks like changes.
#include "buffered_group_box.h"

#include <QImage>
#include <QLabel>
#include <QVBoxLayout>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace fixwatch {
namespace {

// Both boxes on one parent, each with a label inside, at the same size.
struct Boxes {
    QWidget window;
    BufferedGroupBox* buffered = new BufferedGroupBox(QStringLiteral("Current Position:"), &window);
    QGroupBox* plain = new QGroupBox(QStringLiteral("Current Position:"), &window);
    Boxes()
    {
        for (QGroupBox* box : {static_cast<QGroupBox*>(buffered), plain}) {
            auto* layout = new QVBoxLayout(box);
            layout->addWidget(new QLabel(QStringLiteral("Time (GMT):"), box));
            box->resize(220, 120);
        }
        plain->move(0, 130);
        window.resize(240, 260);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    // Pixel for pixel, within one level of each colour: the frame's shading is blended twice,
    // into the picture and from it, and may round the other way.
    bool Alike() const
    {
        const QImage a = buffered->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage b = plain->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        if (a.size() != b.size())
            return false;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                if (std::abs(qRed(p) - qRed(q)) > 1 || std::abs(qGreen(p) - qGreen(q)) > 1
                    || std::abs(qBlue(p) - qBlue(q)) > 1 || std::abs(qAlpha(p) - qAlpha(q)) > 1)
                    return false;
            }
        }
        return true;
    }
};

TEST(BufferedGroupBox, LooksAsAPlainGroupBoxAndDrawsItsFrameAgainOnlyWhenItChanges)
{
    Boxes boxes;
    EXPECT_TRUE(boxes.Alike());
    const int drawn = boxes.buffered->Drawings();
    EXPECT_GE(drawn, 1);
    boxes.buffered->repaint(QRect(20, 40, 60, 20)); // as beneath a label with a new value
    boxes.buffered->repaint();
    EXPECT_EQ(boxes.buffered->Drawings(), drawn);

    // A new caption, size, state or font is drawn again, and still looks as the plain box.
    boxes.buffered->setTitle(QStringLiteral("Satellites:"));
    boxes.plain->setTitle(QStringLiteral("Satellites:"));
    EXPECT_TRUE(boxes.Alike());
    for (QGroupBox* box : {static_cast<QGroupBox*>(boxes.buffered), boxes.plain})
        box->resize(260, 90);
    EXPECT_TRUE(boxes.Alike());
    for (QGroupBox* box : {static_cast<QGroupBox*>(boxes.buffered), boxes.plain})
        box->setEnabled(false);
    EXPECT_TRUE(boxes.Alike());
    QFont bold = boxes.plain->font();
    bold.setBold(true);
    for (QGroupBox* box : {static_cast<QGroupBox*>(boxes.buffered), boxes.plain})
        box->setFont(bold);
    EXPECT_TRUE(boxes.Alike());
    EXPECT_EQ(boxes.buffered->Drawings(), drawn + 4);
}

} // namespace
} // namespace fixwatch
