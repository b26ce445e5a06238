// The rows of what multi-band, dual-antenna and RTK receivers send, filled from the epochs
// the sentences make, on labels of their own.
#include "multiband_rows.h"
#include "qt_print.h"
#include "sealed.h"

#include <QGroupBox>
#include <QLabel>

#include <gtest/gtest.h>

#include <memory>

namespace fixwatch {
namespace {

using test::Sealed;

struct Rows {
    QWidget window;
    MultibandWidgets w;
    std::unique_ptr<MultibandRows> rows;
    EpochModel model{Talkers::AllSystems};

    Rows()
    {
        auto label = [this] { return new QLabel(&window); };
        w.ellipsoidHeightCaption = label(), w.ellipsoidHeight = label(), w.ellipsoidHeightUnit = label();
        w.trueHeadingCaption = label(), w.trueHeading = label();
        w.gbsFrame = new QGroupBox(&window);
        for (auto* array : {&w.gbsCaptions, &w.gbs})
            for (QLabel*& l : *array)
                l = new QLabel(w.gbsFrame);
        for (QLabel*& l : w.gbsUnits)
            l = new QLabel(w.gbsFrame);
        w.dgpsAgeCaption = label(), w.dgpsStationCaption = label();
        w.dgpsAgeCaption->setText(MultibandRows::DefaultAgeCaption());
        w.dgpsStationCaption->setText(MultibandRows::DefaultStationCaption());
        rows = std::make_unique<MultibandRows>(w, QLocale::c());
        window.show();
        rows->SetShown(true);
    }
    // Reads each sentence and shows the epoch it leaves open, as the window does per line.
    void Feed(std::initializer_list<std::string_view> sentences)
    {
        for (const std::string_view sentence : sentences) {
            model.Feed(Sealed(sentence));
            rows->ShowEpoch(model.Open());
        }
    }
    QString Gbs(GbsField field) const { return w.gbs[field]->text(); }
};

constexpr std::string_view kGga = "$GNGGA,181141.00,4717.11437,N,00833.91522,E,1,12,0.9,499.6,M,48.0,M,,";
constexpr std::string_view kRtkFixed = "$GNGGA,181142.00,4717.11437,N,00833.91522,E,4,12,0.9,499.6,M,48.0,M,1.2,0031";

TEST(MultibandRows, EllipsoidHeightIsAltitudePlusSeparationInTheChosenUnit)
{
    Rows r;
    r.Feed({kGga});
    EXPECT_EQ(r.w.ellipsoidHeight->text(), "547.6") << "499.6 + 48.0, without the double's tail";
    EXPECT_EQ(r.w.ellipsoidHeightUnit->text(), "[m]");
    r.rows->SetUnits(UnitSystem::Imperial);
    EXPECT_EQ(r.w.ellipsoidHeight->text(), "1796.6") << "547.6 m in feet, one decimal as received";
    EXPECT_EQ(r.w.ellipsoidHeightUnit->text(), "[ft]");
    r.rows->SetUnits(UnitSystem::Nautical);
    EXPECT_EQ(r.w.ellipsoidHeight->text(), "547.6");

    // A GGA without a geoid separation: the height cannot be known.
    r.Feed({"$GNGGA,181142.00,4717.11437,N,00833.91522,E,1,12,0.9,499.6,M,,M,,"});
    EXPECT_EQ(r.w.ellipsoidHeight->text(), "");
}

TEST(MultibandRows, HeadingAndIntegrityStayUntilTheReceiverSaysOtherwise)
{
    Rows r;
    EXPECT_EQ(r.w.trueHeading->text(), "") << "never sent since Start";
    r.Feed({kGga, "$GNHDT,244.28,T", "$GNGBS,181141.00,4.7,1.9,5.3,27,,-54902.0,57.5,1,1"});
    EXPECT_EQ(r.w.trueHeading->text(), "244.28");
    EXPECT_EQ(r.Gbs(kGbsLatitudeError), "4.7");
    EXPECT_EQ(r.Gbs(kGbsLongitudeError), "1.9");
    EXPECT_EQ(r.Gbs(kGbsAltitudeError), "5.3");
    EXPECT_EQ(r.Gbs(kGbsSuspect), "G27") << "system letter and number, as the sky plot names it";

    // A next epoch without HDT or GBS keeps them; a THS that is not valid is no heading.
    r.Feed({"$GNGGA,181142.00,4717.11437,N,00833.91522,E,1,12,0.9,499.6,M,48.0,M,,", "$GNTHS,12.5,V"});
    EXPECT_EQ(r.w.trueHeading->text(), "244.28");
    EXPECT_EQ(r.Gbs(kGbsSuspect), "G27");

    // A GBS that suspects none empties the suspect; a Galileo one is named by its letter.
    r.Feed({"$GNGBS,181142.00,3.1,1.2,4.0,,,,"});
    EXPECT_EQ(r.Gbs(kGbsLatitudeError), "3.1");
    EXPECT_EQ(r.Gbs(kGbsSuspect), "");
    r.Feed({"$GNTHS,12.5,A", "$GNGGA,181143.00,4717.11437,N,00833.91522,E,1,12,0.9,499.6,M,48.0,M,,",
            "$GAGBS,181143.00,3.1,1.2,4.0,11,,,"});
    EXPECT_EQ(r.w.trueHeading->text(), "12.5");
    EXPECT_EQ(r.Gbs(kGbsSuspect), "E11");

    r.rows->SetUnits(UnitSystem::Imperial);
    EXPECT_EQ(r.w.gbsUnits[kGbsAltitudeError]->text(), "[ft]");

    r.rows->Clear();
    for (QLabel* label : {r.w.trueHeading, r.w.ellipsoidHeight, r.w.gbs[0], r.w.gbs[3]})
        EXPECT_EQ(label->text(), "");
}

TEST(MultibandRows, RtkQualityRenamesTheDgpsCaptionsUntilTheQualityChanges)
{
    Rows r;
    r.Feed({kRtkFixed});
    EXPECT_EQ(r.w.dgpsAgeCaption->text(), "Correction age:");
    EXPECT_EQ(r.w.dgpsStationCaption->text(), "Base station:");
    // Sentences without a quality leave the captions; RTK float keeps them; DGPS gives them back.
    r.Feed({"$GNGSA,A,3,01,02,03,,,,,,,,,,1.5,0.9,1.2,1"});
    EXPECT_EQ(r.w.dgpsAgeCaption->text(), "Correction age:");
    r.Feed({"$GNGGA,181143.00,4717.11437,N,00833.91522,E,5,12,0.9,499.6,M,48.0,M,1.2,0031"});
    EXPECT_EQ(r.w.dgpsStationCaption->text(), "Base station:");
    r.Feed({"$GNGGA,181144.00,4717.11437,N,00833.91522,E,2,12,0.9,499.6,M,48.0,M,1.2,0031"});
    EXPECT_EQ(r.w.dgpsAgeCaption->text(), "Age:");
    EXPECT_EQ(r.w.dgpsStationCaption->text(), "Station ID:");

    r.Feed({kRtkFixed});
    r.rows->Clear();
    EXPECT_EQ(r.w.dgpsAgeCaption->text(), "Age:") << "Clear and Start give the captions back";
}

TEST(MultibandRows, HiddenRowsShowNothingAndKeepTheDefaultCaptions)
{
    Rows r;
    r.Feed({kRtkFixed, "$GNHDT,244.28,T"});
    ASSERT_EQ(r.w.dgpsAgeCaption->text(), "Correction age:");
    r.rows->SetShown(false);
    EXPECT_FALSE(r.w.ellipsoidHeight->isVisible());
    EXPECT_FALSE(r.w.gbsFrame->isVisible());
    EXPECT_EQ(r.w.dgpsAgeCaption->text(), "Age:");
    r.Feed({"$GNGGA,181143.00,4717.11437,N,00833.91522,E,4,12,0.9,499.6,M,48.0,M,1.2,0031", "$GNHDT,10.0,T"});
    EXPECT_EQ(r.w.dgpsAgeCaption->text(), "Age:");
    EXPECT_EQ(r.w.trueHeading->text(), "");
    r.rows->SetShown(true);
    EXPECT_TRUE(r.w.trueHeading->isVisible());
    EXPECT_EQ(r.w.trueHeading->text(), "") << "shown again, empty until the next epoch";
}

} // namespace
} // namespace fixwatch
