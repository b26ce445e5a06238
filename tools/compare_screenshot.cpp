// fixwatch-compare-screenshot: draws the Compare tab's three pages, light and dark, on a real
// multi-system capture (receiver A) against a copy of it 1 m north and 3 dB weaker (receiver
// B), into PNG files of a folder. The Signals page is compare-tab-signals.png: compare-tab.png
// is fixwatch-screenshot's, the whole window with two receivers on pseudo-terminals.
// With --pair, writes the two receivers' texts instead (a.nmea and b.nmea), for two
// pseudo-terminals or fixwatch-events --compare.
// Usage: fixwatch-compare-screenshot [--pair] [folder] [multi-system capture]
#include "compare_scenario.h"
#include "compare_view.h"
#include "dark_palette.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QStyle>
#include <QTabWidget>

#include <fstream>
#include <iostream>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QStringList arguments = QApplication::arguments().mid(1);
    const bool pairOnly = !arguments.isEmpty() && arguments.front() == QStringLiteral("--pair");
    if (pairOnly)
        arguments.pop_front();
    const QString folder = arguments.value(0, QStringLiteral("docs"));
    const QString capture = arguments.value(1, QStringLiteral(FIXWATCH_NMEA_LOGS "/ublox-zed-f9p-nmea.nmea"));
    const fixwatch::ComparePair pair = fixwatch::CompareScenario(capture.toStdString());
    if (pair.a.empty() || pair.b.empty()) {
        std::cerr << "fixwatch-compare-screenshot: no fix in " << capture.toStdString() << "\n";
        return 1;
    }
    if (pairOnly) {
        bool ok = true;
        for (const auto& [name, text] : {std::pair{"a.nmea", &pair.a}, std::pair{"b.nmea", &pair.b}}) {
            const std::string path = QDir(folder).filePath(QString::fromLatin1(name)).toStdString();
            std::ofstream out(path, std::ios::binary);
            out << *text;
            out.close();
            std::cout << (out ? "wrote " : "could not write ") << path << "\n";
            ok = static_cast<bool>(out) && ok;
        }
        return ok ? 0 : 1;
    }
    fixwatch::LiveComparison comparison;
    fixwatch::FeedComparison(comparison, pair);

    fixwatch::CompareView view;
    view.resize(900, 560); // the Compare tab's room in a 900 x 650 window, below B's port and status
    view.SetComparison(&comparison);
    view.show();
    bool ok = true;
    const char* pages[] = {"compare-tab-signals", "compare-tab-position", "compare-tab-availability"};
    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? fixwatch::DarkPalette() : QApplication::style()->standardPalette());
        for (int page = 0; page < 3; ++page) {
            view.Tab_Compare->setCurrentIndex(page);
            view.Redraw();
            QApplication::processEvents();
            const QString path = QDir(folder).filePath(QString::fromLatin1(pages[page]) + (dark ? "-dark.png" : ".png"));
            const bool saved = view.grab().save(path);
            std::cout << (saved ? "wrote " : "could not write ") << path.toStdString() << "\n";
            ok = saved && ok;
        }
    }
    return ok ? 0 : 1;
}
