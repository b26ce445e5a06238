// The View menu: the coordinate format and the unit set of the Position tab. Nothing of it is
// stored between runs, and the data logger records the default texts whatever is chosen.
#include "main_form.h"

#include "multiband_rows.h"

#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

namespace fixwatch {
namespace {

// A group of checkable entries of which one is checked, the first at start.
template <std::size_t N>
void AddChoices(QMenu* menu, std::array<QAction*, N>& actions, const char* name,
                const std::array<const char*, N>& captions)
{
    auto* group = new QActionGroup(menu);
    for (std::size_t i = 0; i < N; ++i) {
        actions[i] = menu->addAction(QString::fromUtf8(captions[i]));
        actions[i]->setObjectName(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i));
        actions[i]->setCheckable(true);
        group->addAction(actions[i]);
    }
    actions[0]->setChecked(true);
}

} // namespace

void MainForm::BuildViewMenu()
{
    MenuView = menuBar()->addMenu(QStringLiteral("&View"));
    MenuView->setObjectName(QStringLiteral("MenuView"));

    MenuCoordinates = MenuView->addMenu(QStringLiteral("Coordinates"));
    MenuCoordinates->setObjectName(QStringLiteral("MenuCoordinates"));
    AddChoices<6>(MenuCoordinates, MenuCoordinate, "MenuCoordinate",
                  {"As sent (degrees and minutes)", "Decimal degrees", "Degrees, minutes, seconds",
                   "UTM", "MGRS", "Maidenhead locator"});
    MenuUnits = MenuView->addMenu(QStringLiteral("Units"));
    MenuUnits->setObjectName(QStringLiteral("MenuUnits"));
    AddChoices<3>(MenuUnits, MenuUnit, "MenuUnit", {"Metric", "Imperial", "Nautical"});

    for (int i = 0; i < static_cast<int>(MenuCoordinate.size()); ++i)
        connect(MenuCoordinate[static_cast<std::size_t>(i)], &QAction::triggered, this,
                [this, i] { MenuCoordinate_Click(i); });
    for (int i = 0; i < static_cast<int>(MenuUnit.size()); ++i)
        connect(MenuUnit[static_cast<std::size_t>(i)], &QAction::triggered, this,
                [this, i] { MenuUnit_Click(i); });
}

void MainForm::MenuCoordinate_Click(int Index)
{
    if (Index < 0 || static_cast<std::size_t>(Index) >= MenuCoordinate.size())
        return;
    const auto format = static_cast<CoordinateFormat>(Index);
    MenuCoordinate[static_cast<std::size_t>(Index)]->setChecked(true);
    const PositionText captions = CoordinateCaptions(format);
    Lab_Posizione1[kLatitudeCaption]->setText(QString::fromLatin1(captions.first));
    Lab_Posizione1[kLongitudeCaption]->setText(QString::fromLatin1(captions.second));
    if (display)
        display->SetCoordinateFormat(format);
}

void MainForm::MenuUnit_Click(int Index)
{
    if (Index < 0 || static_cast<std::size_t>(Index) >= MenuUnit.size())
        return;
    MenuUnit[static_cast<std::size_t>(Index)]->setChecked(true);
    if (display)
        display->SetUnits(static_cast<UnitSystem>(Index));
    if (multiband_)
        multiband_->SetUnits(static_cast<UnitSystem>(Index));
}

} // namespace fixwatch
