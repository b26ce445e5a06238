#include "program_arguments.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fixwatch {
namespace {

using Request = ProgramArguments::Request;

TEST(ProgramArguments, InformationOptionsAreAnsweredWhereverTheyStandAndTheRestIsTheSlashCommandLine)
{
    const struct {
        const char* legend;
        std::vector<std::string> arguments;
        Request asked;
        std::string commandLine;
        // clang-format off
    } rows[] = {
        {"no arguments", {}, Request::Window, ""},
        {"slash options joined with single blanks", {" /c3", "/s9600,e,7,2 ", "/S", "4800"}, Request::Window,
         "/c3 /s9600,e,7,2  /S 4800"},
        {"--list-ports before a slash option", {"--list-ports", "/G+"}, Request::ListPorts, "/G+"},
        {"--help after one", {"/C3", "--help"}, Request::Help, "/C3"},
        {"--help wins over --version and --list-ports", {"--list-ports", "--version", "--help"}, Request::Help, ""},
        {"--version wins over --list-ports", {"--list-ports", "--version"}, Request::Version, ""},
        {"--help wins over a long option not understood", {"--frob", "--help"}, Request::Help, ""},
        {"single dashes and a lone -- are slash text", {"-x", "--", "/C2"}, Request::Window, "-x -- /C2"},
        {"Qt's own options are left to Qt", {"--style=fusion", "--platform", "offscreen", "/C2"}, Request::Window,
         "offscreen /C2"},
    };
    // clang-format on
    for (const auto& row : rows) {
        const ProgramArguments arguments(row.arguments);
        EXPECT_EQ(arguments.Asked(), row.asked) << row.legend;
        EXPECT_EQ(arguments.CommandLine(), row.commandLine) << row.legend;
    }
    for (const auto& arguments : {std::vector<std::string>{"/C2", "--frob=1"}, {"--style=fusion", "--frob"}}) {
        const ProgramArguments unknown(arguments);
        EXPECT_EQ(unknown.Asked(), Request::Error);
        EXPECT_EQ(unknown.Error(), "fixwatch: unknown option --frob (see --help)");
    }
}

TEST(ProgramArguments, ARepeatedAlarmOptionKeepsEveryValueInOrder)
{
    const ProgramArguments arguments(
        std::vector<std::string>{"--alarm=no-data:5", "/C2", "--alarm", "anchor:30@45.1,7.6", "--alarm=frob"});
    EXPECT_EQ(arguments.Asked(), Request::Window);
    EXPECT_EQ(arguments.CommandLine(), "/C2");
    EXPECT_EQ(arguments.Values("alarm"), (QStringList{"no-data:5", "anchor:30@45.1,7.6", "frob"}));
}

TEST(ProgramArguments, TheUsageTextListsEveryLongOption)
{
    const std::string usage = UsageText();
    for (const LongOption& option : kLongOptions)
        EXPECT_NE(usage.find(std::string("  --") + option.name), std::string::npos) << option.name;
    EXPECT_NE(usage.find("\n  --list-ports  print the numbered ports of this machine and exit\n"), std::string::npos);
    EXPECT_EQ(VersionLine().rfind("fixwatch ", 0), 0U);
}

// The program itself, with no display of any kind: the information options and an option it
// does not understand never try to open a window.
TEST(ProgramWithoutADisplay, AnswersTheInformationOptionsAndRefusesUnknownOnesWhereverTheyStand)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("FIXWATCH_COM7"), QStringLiteral("tcp://127.0.0.1:10110"));
    const struct {
        QStringList arguments;
        std::string output; // a piece of standard output
    } rows[] = {
        {{"--list-ports", "/G+"}, " 7  tcp://127.0.0.1:10110"},
        {{"--help"}, "A port\nnamed file:///PATH (or the path of a regular file) replays that recording"},
        {{"/G+", "--version"}, VersionLine()},
        {{"/C2", "--frob"}, ""},
    };
    for (const auto& row : rows) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(FIXWATCH_PROGRAM), row.arguments);
        ASSERT_TRUE(program.waitForFinished(20000)) << qPrintable(row.arguments.join(' '));
        const std::string output = program.readAllStandardOutput().toStdString();
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << qPrintable(row.arguments.join(' '));
        const std::string errors = program.readAllStandardError().toStdString();
        if (row.arguments.contains(QStringLiteral("--frob"))) {
            // Not understood: said on standard error, with the usage error's status.
            EXPECT_EQ(program.exitCode(), 2) << errors;
            EXPECT_EQ(errors, "fixwatch: unknown option --frob (see --help)\n");
            continue;
        }
        EXPECT_EQ(program.exitCode(), 0) << qPrintable(row.arguments.join(' ')) << ": " << errors;
        EXPECT_NE(output.find(row.output), std::string::npos) << qPrintable(row.arguments.join(' ')) << ":\n"
                                                              << output;
    }
}

} // namespace
} // namespace fixwatch
