// fixwatch: the GPS monitor window. Prints the usage, the version or the numbered ports for
// --help, --version and --list-ports, wherever they stand among the arguments and without a
// display; otherwise shows the splash window, then the main window.
#include "frm_about.h"
#include "frm_splash.h"
#include "main_form.h"
#include "port_list.h"
#include "port_table.h"
#include "program_arguments.h"
#include "view_options.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>

#include <iostream>

namespace {

// Exit status for arguments that are not understood, as command-line programs use it.
constexpr int kUsageError = 2;

} // namespace

int main(int argc, char* argv[])
{
    using Request = fixwatch::ProgramArguments::Request;
    // Read once before any application object, so that what needs no window is answered
    // without one; read again once Qt has taken its own options out.
    const fixwatch::ProgramArguments early(argc, argv);
    switch (early.Asked()) {
    case Request::Help:
        std::cout << fixwatch::UsageText();
        return 0;
    case Request::Version:
        std::cout << fixwatch::VersionLine();
        return 0;
    case Request::ListPorts: {
        // Asks the machine (and a local gpsd), but needs no display.
        QCoreApplication app(argc, argv);
        fixwatch::PortList ports = fixwatch::PortList::OfThisMachine();
        ports.Refresh();
        std::cout << fixwatch::PortTable(ports.Entries());
        return 0;
    }
    case Request::Error:
        // Said before any display is opened, so that it is said without one too.
        std::cerr << early.Error() << '\n';
        return kUsageError;
    case Request::Window:
        break;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fixwatch"));
    QApplication::setApplicationVersion(QStringLiteral(FIXWATCH_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/fixwatch/fixwatch.svg")));
    QGuiApplication::setDesktopFileName(QStringLiteral("net.fixwatch.Fixwatch"));

    // QApplication has taken its own options (-platform, --style, ...) out of argv by now.
    const fixwatch::ProgramArguments arguments(argc, argv);
    if (arguments.Asked() == Request::Error) {
        std::cerr << arguments.Error() << '\n';
        return kUsageError;
    }
    fixwatch::ViewOptions view = fixwatch::ReadViewOptions(arguments);
    if (!view.error.empty()) {
        std::cerr << view.error << '\n';
        return kUsageError;
    }

    fixwatch::MainForm mainForm(arguments.CommandLine());
    // Armed before --start presses Start; one not understood is named and ignored.
    for (const QString& alarm : arguments.Values(QStringLiteral("alarm"))) {
        const std::string error = mainForm.ArmFromCommandLine(alarm.toStdString());
        if (!error.empty())
            std::cerr << "fixwatch: ignoring --alarm=" << alarm.toLocal8Bit().constData() << ": " << error << '\n';
    }
    if (arguments.IsSet(QStringLiteral("record"))) {
        mainForm.RecordFromCommandLine();
    }
    if (!fixwatch::ApplyViewOptions(mainForm, view)) {
        std::cerr << view.error << '\n';
        return kUsageError;
    }
    fixwatch::frmAbout about(&mainForm);
    mainForm.SetAboutWindow(&about);
    fixwatch::frmSplash splash(&mainForm, &about);
    splash.show();
    return app.exec();
}
