// fixwatch-screenshot: draws the main window's four tabs with a sample fix, and the splash
// and About windows, into PNG files of a folder, as a person would see them.
#include "frm_about.h"
#include "frm_splash.h"
#include "main_form.h"
#include "sample_sentences.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>

#include <iostream>

namespace {

bool Save(QWidget& widget, const QString& path)
{
    const bool saved = widget.grab().save(path);
    std::cout << (saved ? "wrote " : "could not write ") << path.toStdString() << "\n";
    return saved;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    if (!QDir().mkpath(folder)) {
        std::cerr << "fixwatch-screenshot: cannot create " << folder.toStdString() << "\n";
        return 1;
    }

    fixwatch::MainForm form;
    fixwatch::frmAbout about(&form);
    for (const std::string& sentence : fixwatch::SampleSentences())
        form.GPS->Parse(sentence);
    form.show();

    bool ok = true;
    const char* names[] = {"position", "general-info", "satellites", "communication"};
    for (int tab = 0; tab < 4; ++tab) {
        form.SSTab->setCurrentIndex(tab);
        QApplication::processEvents();
        ok = Save(form, folder + QLatin1Char('/') + QLatin1String(names[tab]) + ".png") && ok;
    }

    about.show();
    QApplication::processEvents();
    ok = Save(about, folder + QStringLiteral("/about.png")) && ok;
    about.hide();

    form.hide();
    fixwatch::frmSplash splash(&form, &about);
    splash.show();
    QApplication::processEvents();
    ok = Save(splash, folder + QStringLiteral("/splash.png")) && ok;
    return ok ? 0 : 1;
}
