// fixwatch: the GPS monitor window. Prints the usage, the version or the numbered ports for
// --help, --version and --list-ports; otherwise shows the splash window, then the main window.
#include "command_line.h"
#include "frm_about.h"
#include "frm_splash.h"
#include "main_form.h"
#include "port_list.h"
#include "port_table.h"
#include "view_options.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>

#include <iostream>

int main(int argc, char* argv[])
{
    // --coordinates and --units choose how the window shows the fix; they leave the
    // arguments before anything else reads them.
    const fixwatch::ViewOptions view = fixwatch::TakeViewOptions(argc, argv);
    if (!view.error.empty()) {
        std::cerr << view.error << '\n';
        return 2;
    }

    // --help and --version need no display.
    if (const auto information =
            fixwatch::InformationRequest(fixwatch::CommandLineText(argc, argv))) {
        std::cout << *information;
        return 0;
    }
    // --list-ports asks the machine (and a local gpsd), but needs no display either.
    if (fixwatch::CommandLineText(argc, argv) == "--list-ports") {
        QCoreApplication app(argc, argv);
        fixwatch::PortList ports = fixwatch::PortList::OfThisMachine();
        ports.Refresh();
        std::cout << fixwatch::PortTable(ports.Entries());
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fixwatch"));
    QApplication::setApplicationVersion(QStringLiteral(FIXWATCH_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/fixwatch/fixwatch.svg")));
    QGuiApplication::setDesktopFileName(QStringLiteral("net.fixwatch.Fixwatch"));

    // QApplication has taken its own options out of argv by now.
    const std::string commandLine = fixwatch::CommandLineText(argc, argv);

    fixwatch::MainForm mainForm(commandLine);
    mainForm.MenuCoordinate_Click(static_cast<int>(view.coordinates));
    mainForm.MenuUnit_Click(static_cast<int>(view.units));
    fixwatch::frmAbout about(&mainForm);
    mainForm.SetAboutWindow(&about);
    fixwatch::frmSplash splash(&mainForm, &about);
    splash.show();
    return app.exec();
}
