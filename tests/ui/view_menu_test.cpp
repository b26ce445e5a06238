// The View menu as a user works it: the Position tab's coordinates and units change, the
// captions follow, and the data logger's record keeps the texts it always had.
#include "capture_receiver.h"
#include "fix_fields.h"
#include "program_arguments.h"
#include "view_options.h"
#include "window_controls.h"

#include <gtest/gtest.h>

#include <tuple>

namespace fixwatch {
namespace {

using namespace test;

// A window showing the sample second, its "Save current position" going to its own folder.
struct ViewWindow : LogFolder {
    ViewWindow()
    {
        form.today = [] { return QDate(2026, 12, 5); };
        Feed(form, SampleSentences());
    }
    QByteArray SavedRecord()
    {
        QFile::remove(Path("2026-12-05.log"));
        Control<QAction>(form, "MenuSalvaCP")->trigger();
        return FileContents(Path("2026-12-05.log"));
    }
    MainForm form;
};

QAction* Coordinates(const MainForm& form, std::size_t index) { return Control<QAction>(form, "MenuCoordinate", index); }
QAction* Units(const MainForm& form, std::size_t index) { return Control<QAction>(form, "MenuUnit", index); }

const QByteArray kRecord = "05/12/2026;12:35:19;048\xB0 07.038' N;011\xB0 31.000' E;545.4;41.5\r\n";

// Each format's texts are pinned by tools.EventsTool (checked against GeoConvert by
// display.CoordinateFormats), the unit sets by display.FixDisplayUnits; the window shows that a
// choice reaches the labels and captions and never the record.
TEST(ViewMenu, ACoordinateFormatOrUnitSetChangesTheLabelsButNotTheRecord)
{
    ViewWindow w;
    MainForm& form = w.form;
    EXPECT_EQ(Texts(form.menuBar()->actions()), "&File|&View|&Alarms|&?");
    EXPECT_EQ(Texts(Controls<QAction>(form, "MenuCoordinate", 6)), "As sent (degrees and minutes)|Decimal degrees|Degrees, minutes, "
                                                                   "seconds|UTM|MGRS|Maidenhead locator");
    EXPECT_EQ(Texts(Controls<QAction>(form, "MenuUnit", 3)), "Metric|Imperial|Nautical");
    ASSERT_TRUE(Coordinates(form, 0)->isChecked());
    ASSERT_TRUE(Units(form, 0)->isChecked());
    // The latitude and longitude rows with their captions; the height, the speeds and the
    // geoid's height with the unit captions.
    const auto position = [&] {
        return Texts({Control<QLabel>(form, "Lab_Posizione1", kLatitudeCaption), FixLabel(form, kLatitude),
                      Control<QLabel>(form, "Lab_Posizione1", kLongitudeCaption), FixLabel(form, kLongitude)});
    };
    const auto motion = [&] {
        return Texts({FixLabel(form, kAltitude), FixLabel(form, kSpeedKmh), FixLabel(form, kSpeedKnots),
                      FixLabel(form, kGeoidSeparation)})
               + "|" + Texts(Controls<QLabel>(form, "Lab_PosizioneUM", kFixUnitFieldCount));
    };
    const QString sent = "Latitude:|048\u00B0 07.038' N|Longitude:|011\u00B0 31.000' E";
    const QString metric = "545.4|41.5|22.4|46.9|[m]|[Knots]|[Km/h]  /|[m]";
    ASSERT_EQ(position(), sent);
    ASSERT_EQ(motion(), metric);

    const std::tuple<QAction*, const char*, QString> rows[] = {
        {Coordinates(form, 3), "UTM", "UTM zone:|32U|East, North:|687300 5332401"},
        {Units(form, 1), "Imperial", "1789.4|25.8|22.4|153.9|[ft]|[Knots]|[mph]  /|[ft]"},
    };
    for (const auto& [action, legend, shown] : rows) {
        SCOPED_TRACE(legend);
        action->trigger();
        EXPECT_TRUE(action->isChecked());
        const bool unit = action->objectName().startsWith("MenuUnit");
        EXPECT_EQ(unit ? motion() : position(), shown);
        EXPECT_EQ(w.SavedRecord(), kRecord);
    }

    // The next position arrives in the chosen format (one that does not read is shown as sent,
    // pinned by display.CoordinateReading).
    Feed(form, {Sealed("$GPGLL,3354.000,S,01825.000,E,123520,A")});
    EXPECT_EQ(position(), "UTM zone:|34H|East, North:|261125 6245927");
    Control<QAction>(form, "MenuVuotaCampi")->trigger();
    EXPECT_EQ(position(), "UTM zone:||East, North:|");
}

TEST(ViewOptions, ALaterOptionWinsAndABadValueIsNamedAndStartsNothing)
{
    const ProgramArguments arguments({"/C2", "--coordinates=dms", "--units", "nautical", "--coordinates=mgrs", "/G+"});
    const ViewOptions options = ReadViewOptions(arguments);
    EXPECT_EQ(options.coordinates, CoordinateFormat::Mgrs) << "a later one wins";
    EXPECT_EQ(options.units, UnitSystem::Nautical);
    EXPECT_TRUE(options.error.empty());
    EXPECT_EQ(arguments.CommandLine(), "/C2 /G+") << "the / options are read as before";

    const ViewOptions wrong = ReadViewOptions(ProgramArguments({"--units=furlongs", "--coordinates="}));
    EXPECT_EQ(wrong.error, "fixwatch: --units takes metric, imperial or nautical, not \"furlongs\"");
    EXPECT_EQ(wrong.units, UnitSystem::Metric);
    EXPECT_EQ(wrong.coordinates, CoordinateFormat::Sent);
    EXPECT_EQ(ReadViewOptions(ProgramArguments({"--compare-with=0"})).error,
              "fixwatch: --compare-with takes a port number from 1 to 255, not \"0\"");

    MainForm form;
    ViewOptions radar = ReadViewOptions(ProgramArguments({"--tab=radar", "--start"}));
    EXPECT_FALSE(ApplyViewOptions(form, radar));
    EXPECT_EQ(radar.error, "fixwatch: --tab takes position, general, satellites, communication, sky, "
                           "signals, history, accuracy, compare, alarms or console, not \"radar\"");
    EXPECT_FALSE(Acquiring(form));
    EXPECT_EQ(Control<QTabWidget>(form, "SSTab")->currentIndex(), MainForm::kPositionTab);
}

TEST(ViewOptions, TabAndStartAtLaunchShowThatTabAndAcquire)
{
    PseudoTerminal receiver;
    PortVariable port(1, receiver.Device());
    const struct {
        const char* legend;
        std::vector<std::string> arguments;
        QString tab; // title of the tab shown
        bool running;
        int portB; // the Compare tab's port
    } rows[] = {
        {"--tab=compare and B's port", {"--tab=compare", "--compare-with=7"}, "Compare", false, 7},
        {"a value in any case, given apart", {"--tab", "CONSOLE", "--start"}, "Console", true, 0},
        {"the first word of a longer title", {"--tab=general"}, "General Info", false, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.legend);
        MainForm form;
        ViewOptions options = ReadViewOptions(ProgramArguments(row.arguments));
        ASSERT_TRUE(ApplyViewOptions(form, options));
        const auto* tabs = Control<QTabWidget>(form, "SSTab");
        EXPECT_EQ(tabs->tabText(tabs->currentIndex()), row.tab);
        EXPECT_EQ(Control<QComboBox>(form, "Cmb_CompareCOM")->currentIndex(), row.portB);
        EXPECT_FALSE(Acquiring(form)) << "Start waits for the window";
        form.show();
        QApplication::processEvents();
        EXPECT_EQ(Acquiring(form), row.running);
        EXPECT_EQ(Control<QPushButton>(form, "Cmd_StartStop", 0)->isEnabled(), !row.running);
    }
}

TEST(ViewOptions, StartWithAPortThatFailsSaysSoOverTheShownWindow)
{
    PortVariable port(1, "/nonexistent/fixwatch-no-such-device");
    MainForm form;
    const BoxAnswerer answer;
    ViewOptions options = ReadViewOptions(ProgramArguments({"--start"}));
    ASSERT_TRUE(ApplyViewOptions(form, options));
    QApplication::processEvents();
    EXPECT_EQ(answer.Said(), "") << "no box before the window is shown";
    form.show();
    for (int i = 0; i < 100 && answer.Said().isEmpty(); ++i)
        QApplication::processEvents();
    EXPECT_EQ(answer.Said(), "COM port not ready. Please check the COM settings and retry.");
    EXPECT_FALSE(Acquiring(form));
}

} // namespace
} // namespace fixwatch
