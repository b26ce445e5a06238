// The checksum calculator, the About window and the splash window.
#include "frm_about.h"
#include "frm_splash.h"
#include "product_info.h"
#include "window_test_support.h"

#include <QLineEdit>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using namespace test;

TEST(ChecksumCalculator, ShowsTheChecksumOfTheSentenceAsTypedInABoxWideEnoughForIt)
{
    MainForm form("/b+");
    Answer answer;
    QTimer::singleShot(0, [&] {
        auto* input = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(input, nullptr);
        EXPECT_EQ(input->windowTitle() + "|" + input->labelText(), "NMEA-0183 CRC Calculus|Sentence:");
        auto* edit = input->findChild<QLineEdit*>();
        ASSERT_NE(edit, nullptr);
        // A whole sentence, 82 characters at most, is seen while typing it.
        EXPECT_GE(edit->width(), edit->fontMetrics().horizontalAdvance(QString(82, QLatin1Char('0'))));
        AnswerNextDialog(answer, "$GPGLL,<b>4916.45</b>,N");
    });
    Control<QPushButton>(form, "Cmd_CalcolaCRC")->click();
    // Markup typed into the sentence is shown as typed, next to the checksum of that text.
    EXPECT_EQ(answer.text, "The checksum for the sentence $GPGLL,<b>4916.45</b>,N is: "
                               + QString::fromStdString(NmeaInterpreter().GetChecksum("$GPGLL,<b>4916.45</b>,N")));
    EXPECT_EQ(answer.format, Qt::PlainText);
}

TEST(AboutWindow, ShowsVersionTextsUnderlinesTheAddressUnderThePointerAndGivesTheMainWindowBack)
{
    EXPECT_EQ(VersionText(1, 0, 0), "Version 1.00");
    EXPECT_EQ(VersionText(2, 1, 5), "Version 2.15");
    MainForm form;
    frmAbout about(&form);
    form.SetAboutWindow(&about);
    EXPECT_EQ(about.windowTitle(), "About program");
    EXPECT_TRUE(about.lblDisclaimer->text().contains("the this \n"));
    QUrl opened;
    about.openUrl = [&opened](const QUrl& url) { opened = url; };
    Trigger(form, "MenuAbout");
    EXPECT_FALSE(form.isEnabled());

    const auto move = [](QWidget* widget) {
        const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
        QMouseEvent event(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    };
    move(about.Lab_EMail);
    EXPECT_TRUE(about.Lab_EMail->font().underline()) << "the move reached the surrounding area too";
    move(about.Lab_EMail);
    EXPECT_TRUE(about.Lab_EMail->font().underline());
    move(about.Img_EMail);
    EXPECT_FALSE(about.Lab_EMail->font().underline());

    about.Lab_EMail_Click();
    EXPECT_EQ(opened.toString(), "mailto:" + ProductInfo::ContactAddress());
    about.close();
    EXPECT_TRUE(form.isEnabled());

    frmSplash splash(&form, &about);
    EXPECT_EQ(splash.lblProductName->text(), ProductInfo::ProductName());
    EXPECT_TRUE(splash.lblVersion->text().startsWith("Version "));
    EXPECT_EQ(splash.lblVersion->textFormat(), Qt::PlainText);
}

} // namespace
} // namespace fixwatch
