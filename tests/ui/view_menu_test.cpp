// The View menu as a user works it: the Position tab's coordinates and units change, the
// captions follow, and the data logger's record keeps the texts it always had.
#include "sample_sentences.h"
#include "program_arguments.h"
#include "view_options.h"
#include "window_test_support.h"
#include "pseudo_terminal.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace fixwatch {
namespace {

using test::Feed;
using test::Sealed;
using test::Variable;

const QByteArray kRecord = "05/12/2026;12:35:19;048\xB0 07.038' N;011\xB0 31.000' E;545.4;41.5\r\n";

// The Position tab's latitude and longitude rows and the unit captions, as one text.
QString PositionTab(const MainForm& form)
{
    return QStringList{form.Lab_Posizione1[1]->text(), form.Lab_Posizione[1]->text(),
                       form.Lab_Posizione1[2]->text(), form.Lab_Posizione[2]->text()}
        .join(QLatin1Char('|'));
}

QByteArray SavedRecord(MainForm& form, const QString& folder)
{
    QFile::remove(folder + "/2026-12-05.log");
    form.MenuSalvaCP_Click();
    QFile file(folder + "/2026-12-05.log");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ViewMenu, StandsBetweenFileAndTheQuestionMarkWithTheDefaultsChecked)
{
    MainForm form;
    QStringList titles;
    for (QAction* menu : form.menuBar()->actions())
        titles << menu->text();
    EXPECT_EQ(titles, QStringList({"&File", "&View", "&?"}));
    EXPECT_TRUE(form.MenuCoordinate[0]->isChecked());
    EXPECT_EQ(form.MenuCoordinate[0]->text(), "As sent (degrees and minutes)");
    EXPECT_EQ(form.MenuCoordinate[5]->text(), "Maidenhead locator");
    EXPECT_TRUE(form.MenuUnit[0]->isChecked());
    EXPECT_EQ(form.MenuUnit[2]->text(), "Nautical");
}

TEST(ViewMenu, EachCoordinateFormatChangesTheLabelsButNotTheRecord)
{
    QTemporaryDir folder;
    Variable log("FIXWATCH_LOG_DIR", folder.path().toLocal8Bit());
    MainForm form;
    form.today = [] { return QDate(2026, 12, 5); };
    Feed(form, SampleSentences());
    const QString sent = "Latitude:|048\u00B0 07.038' N|Longitude:|011\u00B0 31.000' E";
    ASSERT_EQ(PositionTab(form), sent);

    const std::pair<int, QString> rows[] = {
        {1, "Latitude:|48.1173000\u00B0 N|Longitude:|11.5166667\u00B0 E"},
        {2, "Latitude:|48\u00B0 07' 02.28\" N|Longitude:|11\u00B0 31' 00.00\" E"},
        {3, "UTM zone:|32U|East, North:|687300 5332401"},
        {4, "MGRS square:|32UPU|East, North:|87299 32401"},
        {5, "Locator:|JN58sc||"},
        {0, sent},
    };
    for (const auto& [index, shown] : rows) {
        form.MenuCoordinate[static_cast<std::size_t>(index)]->trigger();
        EXPECT_TRUE(form.MenuCoordinate[static_cast<std::size_t>(index)]->isChecked());
        EXPECT_EQ(PositionTab(form), shown) << index;
        EXPECT_EQ(SavedRecord(form, folder.path()), kRecord) << index;
    }

    // The next position arrives in the chosen format; one that does not read is shown as sent.
    form.MenuCoordinate[3]->trigger();
    form.Session().Interpreter()->Parse(Sealed("$GPGLL,3354.000,S,01825.000,E,123520,A"));
    EXPECT_EQ(PositionTab(form), "UTM zone:|34H|East, North:|261125 6245927");
    form.Session().Interpreter()->Parse(Sealed("$GPGLL,807.038,N,01131.000,E,123521,A"));
    EXPECT_EQ(PositionTab(form), "UTM zone:|080\u00B0 7.038' N|East, North:|011\u00B0 31.000' E");
    form.MenuVuotaCampi_Click();
    EXPECT_EQ(PositionTab(form), "UTM zone:||East, North:|");
}

TEST(ViewMenu, EachUnitSetChangesValuesAndCaptionsButNotTheRecord)
{
    QTemporaryDir folder;
    Variable log("FIXWATCH_LOG_DIR", folder.path().toLocal8Bit());
    MainForm form;
    form.today = [] { return QDate(2026, 12, 5); };
    Feed(form, SampleSentences());
    auto motion = [&] {
        QStringList texts;
        for (const std::size_t i : {3, 4, 5, 8})
            texts << form.Lab_Posizione[i]->text();
        for (QLabel* unit : form.Lab_PosizioneUM)
            texts << unit->text();
        return texts.join(QLatin1Char('|'));
    };
    const QString metric = "545.4|41.5|22.4|46.9|[m]|[Knots]|[Km/h]  /|[m]";
    ASSERT_EQ(motion(), metric);
    const std::pair<int, QString> rows[] = {
        {1, "1789.37|25.787|22.4|153.871|[ft]|[Knots]|[mph]  /|[ft]"},
        {2, "545.4|22.4|41.5|46.9|[m]|[Km/h]|[Knots]  /|[m]"},
        {0, metric},
    };
    for (const auto& [index, shown] : rows) {
        form.MenuUnit[static_cast<std::size_t>(index)]->trigger();
        EXPECT_TRUE(form.MenuUnit[static_cast<std::size_t>(index)]->isChecked());
        EXPECT_EQ(motion(), shown) << index;
        EXPECT_EQ(SavedRecord(form, folder.path()), kRecord) << index;
    }
}

TEST(ViewOptions, ALaterOptionWinsAndABadValueIsNamed)
{
    const ProgramArguments arguments({"/C2", "--coordinates=dms", "--units", "nautical",
                                      "--coordinates=mgrs", "/G+"});
    const ViewOptions options = ReadViewOptions(arguments);
    EXPECT_EQ(options.coordinates, CoordinateFormat::Mgrs) << "a later one wins";
    EXPECT_EQ(options.units, UnitSystem::Nautical);
    EXPECT_TRUE(options.error.empty());
    EXPECT_EQ(arguments.CommandLine(), "/C2 /G+") << "the / options are read as before";

    const ViewOptions wrong = ReadViewOptions(ProgramArguments({"--units=furlongs", "--coordinates="}));
    EXPECT_EQ(wrong.error, "fixwatch: --units takes metric, imperial or nautical, not \"furlongs\"");
    EXPECT_EQ(wrong.units, UnitSystem::Metric);
    EXPECT_EQ(wrong.coordinates, CoordinateFormat::Sent);
}

TEST(ViewOptions, TabAndStartAtLaunchShowThatTabAndAcquire)
{
    PseudoTerminal receiver;
    test::PortVariable port(1, receiver.Device());
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
        MainForm form;
        ViewOptions options = ReadViewOptions(ProgramArguments(row.arguments));
        ASSERT_TRUE(ApplyViewOptions(form, options)) << row.legend;
        EXPECT_EQ(form.SSTab->tabText(form.SSTab->currentIndex()), row.tab) << row.legend;
        EXPECT_EQ(form.AcquisitionRunning(), row.running) << row.legend;
        EXPECT_EQ(form.Timer_Lett->isActive(), row.running) << row.legend;
        EXPECT_EQ(form.Cmd_StartStop[0]->isEnabled(), !row.running) << row.legend;
    }
}

TEST(ViewOptions, AnUnknownTabIsNamedAndNothingStarts)
{
    MainForm form;
    ViewOptions options = ReadViewOptions(ProgramArguments({"--tab=radar", "--start"}));
    EXPECT_FALSE(ApplyViewOptions(form, options));
    EXPECT_EQ(options.error, "fixwatch: --tab takes position, general, satellites, communication, sky, "
                             "history, accuracy or console, not \"radar\"");
    EXPECT_FALSE(form.AcquisitionRunning());
    EXPECT_EQ(form.SSTab->currentIndex(), MainForm::kPositionTab);
}

} // namespace
} // namespace fixwatch
