// The View menu as a user works it: the Position tab's coordinates and units change, the
// captions follow, and the data logger's record keeps the texts it always had.
#include "capture_receiver.h"
#include "program_arguments.h"
#include "view_options.h"

#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
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
        form.MenuSalvaCP_Click();
        return FileContents(Path("2026-12-05.log"));
    }
    MainForm form;
};

const QByteArray kRecord = "05/12/2026;12:35:19;048\xB0 07.038' N;011\xB0 31.000' E;545.4;41.5\r\n";

TEST(ViewMenu, EachCoordinateFormatAndUnitSetChangesTheLabelsButNotTheRecord)
{
    ViewWindow w;
    MainForm& form = w.form;
    QStringList titles;
    for (QAction* menu : form.menuBar()->actions())
        titles << menu->text();
    EXPECT_EQ(titles, QStringList({"&File", "&View", "&Alarms", "&?"}));
    ASSERT_TRUE(form.MenuCoordinate[0]->isChecked());
    ASSERT_TRUE(form.MenuUnit[0]->isChecked());
    // The latitude and longitude rows with their captions; the height, the speeds and the
    // geoid's height with the unit captions.
    const auto position = [&] {
        return Texts({form.Lab_Posizione1[1], form.Lab_Posizione[1], form.Lab_Posizione1[2], form.Lab_Posizione[2]});
    };
    const auto motion = [&] {
        return Texts({form.Lab_Posizione[3], form.Lab_Posizione[4], form.Lab_Posizione[5], form.Lab_Posizione[8]}) + "|"
               + Texts(form.Lab_PosizioneUM);
    };
    const QString sent = "Latitude:|048\u00B0 07.038' N|Longitude:|011\u00B0 31.000' E";
    const QString metric = "545.4|41.5|22.4|46.9|[m]|[Knots]|[Km/h]  /|[m]";
    ASSERT_EQ(position(), sent);
    ASSERT_EQ(motion(), metric);

    const std::tuple<QAction*, const char*, QString> rows[] = {
        {form.MenuCoordinate[1], "Decimal degrees", "Latitude:|48.1173000\u00B0 N|Longitude:|11.5166667\u00B0 E"},
        {form.MenuCoordinate[2], "Degrees, minutes, seconds", "Latitude:|48\u00B0 07' 02.28\" N|Longitude:|11\u00B0 31' 00.00\" E"},
        {form.MenuCoordinate[3], "UTM", "UTM zone:|32U|East, North:|687300 5332401"},
        {form.MenuCoordinate[4], "MGRS", "MGRS square:|32UPU|East, North:|87299 32401"},
        {form.MenuCoordinate[5], "Maidenhead locator", "Locator:|JN58sc||"},
        {form.MenuCoordinate[0], "As sent (degrees and minutes)", sent},
        {form.MenuUnit[1], "Imperial", "1789.4|25.8|22.4|153.9|[ft]|[Knots]|[mph]  /|[ft]"},
        {form.MenuUnit[2], "Nautical", "545.4|22.4|41.5|46.9|[m]|[Km/h]|[Knots]  /|[m]"},
        {form.MenuUnit[0], "Metric", metric},
    };
    for (const auto& [action, menu, shown] : rows) {
        SCOPED_TRACE(menu);
        EXPECT_EQ(action->text(), menu);
        action->trigger();
        EXPECT_TRUE(action->isChecked());
        const bool unit = std::find(form.MenuUnit.begin(), form.MenuUnit.end(), action) != form.MenuUnit.end();
        EXPECT_EQ(unit ? motion() : position(), shown);
        EXPECT_EQ(w.SavedRecord(), kRecord);
    }

    // The next position arrives in the chosen format; one that does not read is shown as sent.
    form.MenuCoordinate[3]->trigger();
    Feed(form, {Sealed("$GPGLL,3354.000,S,01825.000,E,123520,A")});
    EXPECT_EQ(position(), "UTM zone:|34H|East, North:|261125 6245927");
    Feed(form, {Sealed("$GPGLL,807.038,N,01131.000,E,123521,A")});
    EXPECT_EQ(position(), "UTM zone:|080\u00B0 7.038' N|East, North:|011\u00B0 31.000' E");
    form.MenuVuotaCampi_Click();
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

    MainForm form;
    ViewOptions radar = ReadViewOptions(ProgramArguments({"--tab=radar", "--start"}));
    EXPECT_FALSE(ApplyViewOptions(form, radar));
    EXPECT_EQ(radar.error, "fixwatch: --tab takes position, general, satellites, communication, sky, "
                           "signals, history, accuracy, alarms or console, not \"radar\"");
    EXPECT_FALSE(form.AcquisitionRunning());
    EXPECT_EQ(form.SSTab->currentIndex(), MainForm::kPositionTab);
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
    } rows[] = {
        {"nothing given: the first tab, stopped", {}, "Position", false},
        {"--tab=sky", {"--tab=sky"}, "Sky", false},
        {"a value in any case, given apart", {"--tab", "CONSOLE", "--start"}, "Console", true},
        {"the first word of a longer title", {"--tab=general"}, "General Info", false},
        {"--start alone", {"--start"}, "Position", true},
        {"--tab=history", {"--tab=history", "--start"}, "History", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.legend);
        MainForm form;
        ViewOptions options = ReadViewOptions(ProgramArguments(row.arguments));
        ASSERT_TRUE(ApplyViewOptions(form, options));
        EXPECT_EQ(form.SSTab->tabText(form.SSTab->currentIndex()), row.tab);
        EXPECT_FALSE(form.AcquisitionRunning()) << "Start waits for the window";
        form.show();
        QApplication::processEvents();
        EXPECT_EQ(form.AcquisitionRunning(), row.running);
        EXPECT_EQ(form.Timer_Lett->isActive(), row.running);
        EXPECT_EQ(form.Cmd_StartStop[0]->isEnabled(), !row.running);
    }
}

TEST(ViewOptions, StartWithAPortThatFailsSaysSoOverTheShownWindow)
{
    PortVariable port(1, "/nonexistent/fixwatch-no-such-device");
    MainForm form;
    ViewOptions options = ReadViewOptions(ProgramArguments({"--start"}));
    ASSERT_TRUE(ApplyViewOptions(form, options));
    EXPECT_FALSE(form.isVisible());
    // Answers the box, noting whether the window was up under it.
    QString said;
    bool windowUnderBox = false;
    QTimer answer;
    answer.setInterval(5);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            said = box->text();
            windowUnderBox = form.isVisible();
            box->accept();
        }
    });
    answer.start();
    form.show();
    for (int i = 0; i < 100 && said.isEmpty(); ++i)
        QApplication::processEvents();
    EXPECT_EQ(said, "COM port not ready. Please check the COM settings and retry.");
    EXPECT_TRUE(windowUnderBox);
    EXPECT_FALSE(form.AcquisitionRunning());
}

} // namespace
} // namespace fixwatch
