// fixwatch: the GPS monitor window. Prints the usage or the version for --help and
// --version; otherwise shows the splash window, then the main window.
#include "command_line.h"
#include "frm_about.h"
#include "frm_splash.h"
#include "main_form.h"

#include <QApplication>
#include <QIcon>

#include <iostream>

int main(int argc, char* argv[])
{
    // --help and --version need no display.
    if (const auto information =
            fixwatch::InformationRequest(fixwatch::CommandLineText(argc, argv))) {
        std::cout << *information;
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
    fixwatch::frmAbout about(&mainForm);
    mainForm.SetAboutWindow(&about);
    fixwatch::frmSplash splash(&mainForm, &about);
    splash.show();
    return app.exec();
}
