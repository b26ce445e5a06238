// The window's static make-up: menu, tabs, frames, captions, tooltips and design texts.
#include "main_form.h"

#include "buffered_group_box.h"
#include "fix_fields.h"
#include "port_combo_box.h"
#include "sky_view.h"
#include "value_label.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <tuple>

namespace fixwatch {
namespace {

QString Indexed(const char* name, std::size_t index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

template <typename Widget>
Widget* Named(Widget* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

// Every label of the window is a plain-text label, made so once, here: the texts that
// value labels receive come from the receiver and must never be taken for markup.
template <typename Label = QLabel>
Label* PlainLabel(const QString& text, const QString& name)
{
    auto* label = Named(new Label, name);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    return label;
}

QLabel* Caption(const QString& text, const char* name, std::size_t index)
{
    return PlainLabel(text, Indexed(name, index));
}

// A value label: a sunken box in a fixed-pitch font, so that columns of figures line up and
// an empty value still shows where it will appear.
QLabel* Value(const QString& designText, const QString& tooltip, const char* name,
              std::size_t index, int minimumCharacters = 10)
{
    QLabel* label = PlainLabel<ValueLabel>(designText, Indexed(name, index));
    label->setToolTip(tooltip);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    label->setFont(font);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setMinimumWidth(QFontMetrics(font).horizontalAdvance(QLatin1Char('0'))
                               * minimumCharacters
                           + 10);
    label->setMinimumHeight(QFontMetrics(font).height() + 6);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

// The grey element of an etched pair: a sunken line, which Qt draws grey with its white
// highlight below.
QFrame* EtchedLine(std::size_t index)
{
    auto* line = Named(new QFrame, Indexed("Lin_Pos", index));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

// The white element of an etched pair: an empty line with no height of its own, since the
// grey element already draws the highlight.
QFrame* HighlightLine(std::size_t index)
{
    auto* line = Named(new QFrame, Indexed("Lin_Pos", index));
    line->setFrameShape(QFrame::NoFrame);
    line->setFixedHeight(0);
    return line;
}

QGroupBox* Frame(const QString& caption, const char* name)
{
    return Named(new BufferedGroupBox(caption), QLatin1String(name));
}

QString TwoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// One row of a status frame: caption index, caption, value index, design text, tooltip.
using InfoRow = std::tuple<std::size_t, const char*, FixInfoField, const char*, const char*>;

// Lays out caption and value label pairs in `frame`, one row each, storing the captions in
// `captions` (named `captionName`) and the values in `values`; `stretchBelow` keeps the rows
// at the top of a taller frame.
template <std::size_t N, std::size_t M>
void AddInfoRows(QGroupBox* frame, std::array<QLabel*, N>& captions, const char* captionName,
                 std::array<QLabel*, M>& values, std::initializer_list<InfoRow> rows,
                 bool stretchBelow)
{
    auto* layout = new QGridLayout(frame);
    int r = 0;
    for (const auto& [captionIndex, caption, valueIndex, designText, tooltip] : rows) {
        captions[captionIndex] = Caption(QString::fromLatin1(caption), captionName, captionIndex);
        values[valueIndex] = Value(QString::fromLatin1(designText), QString::fromLatin1(tooltip),
                                   "Lab_PosizioneInfo", valueIndex, 12);
        layout->addWidget(captions[captionIndex], r, 0);
        layout->addWidget(values[valueIndex], r, 1);
        ++r;
    }
    if (stretchBelow)
        layout->setRowStretch(r, 1);
    layout->setColumnStretch(1, 1);
}

} // namespace

void MainForm::BuildMenu()
{
    QMenuBar* bar = menuBar();

    MenuFile = Named(bar->addMenu(QStringLiteral("&File")), QStringLiteral("MenuFile"));
    MenuSalvaCP = MenuFile->addAction(QStringLiteral("Save current position"));
    MenuSalvaCP->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    MenuSalvaDL = MenuFile->addAction(QStringLiteral("Data logger"));
    MenuSalvaDL->setCheckable(true);
    MenuSalvaDL->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    MenuNull0 = MenuFile->addSeparator();
    MenuVuotaCampi = MenuFile->addAction(QStringLiteral("Clear"));
    MenuVuotaCampi->setShortcut(QKeySequence(Qt::Key_F4));
    MenuStart[0] = MenuFile->addAction(QStringLiteral("Start"));
    MenuStart[0]->setShortcut(QKeySequence(Qt::Key_F5));
    MenuStart[1] = MenuFile->addAction(QStringLiteral("Stop"));
    MenuStart[1]->setShortcut(QKeySequence(Qt::Key_F6));
    MenuNull1 = MenuFile->addSeparator();
    MenuFine = MenuFile->addAction(QStringLiteral("Exit"));
    MenuFine->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));

    BuildViewMenu();

    MenuAbout0 = Named(bar->addMenu(QStringLiteral("&?")), QStringLiteral("MenuAbout0"));
    MenuAbout = MenuAbout0->addAction(QStringLiteral("About program..."));
    MenuAbout->setShortcut(QKeySequence(Qt::Key_F1));

    MenuSalvaCP->setObjectName(QStringLiteral("MenuSalvaCP"));
    MenuSalvaDL->setObjectName(QStringLiteral("MenuSalvaDL"));
    MenuNull0->setObjectName(QStringLiteral("MenuNull0"));
    MenuVuotaCampi->setObjectName(QStringLiteral("MenuVuotaCampi"));
    MenuStart[0]->setObjectName(Indexed("MenuStart", 0));
    MenuStart[1]->setObjectName(Indexed("MenuStart", 1));
    MenuNull1->setObjectName(QStringLiteral("MenuNull1"));
    MenuFine->setObjectName(QStringLiteral("MenuFine"));
    MenuAbout->setObjectName(QStringLiteral("MenuAbout"));
}

QWidget* MainForm::BuildPositionTab()
{
    auto* page = new QWidget;

    // Current position: caption, value, unit, and for the speed a second value and unit.
    Frm_Position = Frame(QStringLiteral("Current Position:"), "Frm_Position");
    auto* grid = new QGridLayout(Frm_Position);
    grid->setHorizontalSpacing(6);
    int row = 0;
    // A caption is a Lab_Posizione1 (FixCaption) or, with `info`, a Lab_PosizioneInfo1
    // (FixInfoCaption).
    auto addRow = [&](std::size_t captionIndex, const QString& caption, FixField valueIndex,
                      const QString& designText, const QString& tooltip, bool info = false,
                      int characters = 10) {
        QLabel* captionLabel = info ? Caption(caption, "Lab_PosizioneInfo1", captionIndex)
                                    : Caption(caption, "Lab_Posizione1", captionIndex);
        if (info)
            Lab_PosizioneInfo1[captionIndex] = captionLabel;
        else
            Lab_Posizione1[captionIndex] = captionLabel;
        Lab_Posizione[valueIndex] = Value(designText, tooltip, "Lab_Posizione", valueIndex, characters);
        grid->addWidget(captionLabel, row, 0);
        // A coordinate is wider than a number: it spans the unit column too.
        grid->addWidget(Lab_Posizione[valueIndex], row, 1, 1, characters > 10 ? 3 : 1);
    };
    auto addUnit = [&](FixUnitField index, const QString& text, int column) {
        Lab_PosizioneUM[index] = PlainLabel(text, Indexed("Lab_PosizioneUM", index));
        grid->addWidget(Lab_PosizioneUM[index], row, column);
    };
    auto addLine = [&](FixRule grey, FixRule white) {
        Lin_Pos[grey] = EtchedLine(grey);
        Lin_Pos[white] = HighlightLine(white);
        grid->addWidget(Lin_Pos[grey], row++, 0, 1, 5);
        grid->addWidget(Lin_Pos[white], row++, 0, 1, 5);
    };

    addRow(kTimeCaption, QStringLiteral("Time (GMT):"), kTime, QStringLiteral("00:00:00"),
           QStringLiteral("Greenwich Mean Time"));
    ++row;
    addRow(kDateCaption, QStringLiteral("Date (GMT):"), kDate, QStringLiteral("00:00:00"),
           QStringLiteral("Greenwich Date"));
    ++row;
    addLine(kDateRule, kDateRuleHighlight);
    addRow(kLatitudeCaption, QStringLiteral("Latitude:"), kLatitude,
           QStringLiteral("000:00:00:00 N"), QStringLiteral("Current latitude"), false, 15);
    ++row;
    addRow(kLongitudeCaption, QStringLiteral("Longitude:"), kLongitude,
           QStringLiteral("000:00:00:00 E"), QStringLiteral("Current longitude"), false, 15);
    ++row;
    addRow(kAltitudeCaption, QStringLiteral("Altitude:"), kAltitude, QStringLiteral("0000.0"),
           QStringLiteral("Current altitude"));
    addUnit(kAltitudeUnit, QStringLiteral("[m]"), 2);
    ++row;
    addLine(kAltitudeRule, kAltitudeRuleHighlight);
    addRow(kSpeedCaption, QStringLiteral("Speed:"), kSpeedKmh, QStringLiteral("000.0"),
           QStringLiteral("Current speed [km/h]"));
    addUnit(kKmhUnit, QStringLiteral("[Km/h]  /"), 2);
    Lab_Posizione[kSpeedKnots] = Value(QStringLiteral("000.0"), QStringLiteral("Current speed [knots]"),
                                       "Lab_Posizione", kSpeedKnots);
    grid->addWidget(Lab_Posizione[kSpeedKnots], row, 3);
    addUnit(kKnotsUnit, QStringLiteral("[Knots]"), 4);
    ++row;
    addRow(kDirectionCaption, QStringLiteral("Direction:"), kBearing, QStringLiteral("000.0"),
           QStringLiteral("Current direction"));
    ++row;
    addLine(kDirectionRule, kDirectionRuleHighlight);
    addRow(kGeoidSeparationCaption, QStringLiteral("Geoid Separation:"), kGeoidSeparation,
           QStringLiteral("00"), QStringLiteral("Height of geoid above WGS84 ellipsoid"), true);
    addUnit(kGeoidSeparationUnit, QStringLiteral("[m]"), 2);
    ++row;
    // With All GNSS only (MultibandRows shows it): the height above the ellipsoid.
    Lab_EllipsoidHeight1 = PlainLabel(QStringLiteral("Ellipsoid Height:"), QStringLiteral("Lab_EllipsoidHeight1"));
    Lab_EllipsoidHeight = Value(QString(), QStringLiteral("Height above the WGS84 ellipsoid: altitude plus geoid separation"),
                                "Lab_EllipsoidHeight", 0);
    Lab_EllipsoidHeight->setObjectName(QStringLiteral("Lab_EllipsoidHeight"));
    Lab_EllipsoidHeightUM = PlainLabel(QStringLiteral("[m]"), QStringLiteral("Lab_EllipsoidHeightUM"));
    grid->addWidget(Lab_EllipsoidHeight1, row, 0);
    grid->addWidget(Lab_EllipsoidHeight, row, 1);
    grid->addWidget(Lab_EllipsoidHeightUM, row, 2);
    ++row;
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(5, 1);

    // Satellites and dilution of precision, on the right.
    auto infoRows = [this](QGroupBox* frame, std::initializer_list<InfoRow> rows) {
        AddInfoRows(frame, Lab_PosizioneInfo1, "Lab_PosizioneInfo1", Lab_PosizioneInfo, rows,
                    false);
    };
    Frm_Satelliti = Frame(QStringLiteral("Satellities:"), "Frm_Satelliti");
    infoRows(Frm_Satelliti,
             {{kInViewCaption, "In view:", kSatellitesInView, "00", "Number of satellites in view"},
              {kInUseCaption, "In use:", kSatellitesUsed, "00", "Number of satellites in use"},
              {kStatusCaption, "Status:", kFixStatus, "Fix Obtained", "Fix status"}});
    Frm_xDOP = Frame(QStringLiteral("Diluition of precision:"), "Frm_xDOP");
    infoRows(Frm_xDOP, {{kPdopCaption, "PDOP:", kPdop, "00", "PDOP: Position Dilution Of Precision"},
                        {kHdopCaption, "HDOP:", kHdop, "00", "PDOP: Horizontal Dilution Of Precision"},
                        {kVdopCaption, "VDOP:", kVdop, "00", "VDOP: Vertical Dilution Of Precision"}});

    Cmd_StartStop[0] = Named(new QPushButton(QStringLiteral("Start")), Indexed("Cmd_StartStop", 0));
    Cmd_StartStop[0]->setToolTip(QStringLiteral("Start the acquisition"));
    Cmd_StartStop[1] = Named(new QPushButton(QStringLiteral("Stop")), Indexed("Cmd_StartStop", 1));
    Cmd_StartStop[1]->setToolTip(QStringLiteral("Stop the acquisition"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Cmd_StartStop[0]);
    buttons->addWidget(Cmd_StartStop[1]);

    auto* right = new QVBoxLayout;
    right->addWidget(Frm_Satelliti);
    right->addWidget(Frm_xDOP);
    right->addStretch(1);
    right->addLayout(buttons);

    auto* layout = new QHBoxLayout(page);
    layout->addWidget(Frm_Position, 3);
    layout->addLayout(right, 2);
    return page;
}

QWidget* MainForm::BuildGeneralInfoTab()
{
    auto* page = new QWidget;

    auto infoFrame = [this](QGroupBox* frame, std::initializer_list<InfoRow> rows) {
        AddInfoRows(frame, Lab_PosizioneInfo2, "Lab_PosizioneInfo2", Lab_PosizioneInfo, rows,
                    true);
    };

    Frm_Mode = Frame(QStringLiteral("GPS Mode:"), "Frm_Mode");
    infoFrame(Frm_Mode,
              {{kPositionFixCaption, "Fix:", kPositionFix, "Valid", "Kind of fix (SPS, DGPS or PPS)"},
               {kModeCaption, "Mode:", kAutoManMode, "Forced 2D/3D", "Automatic or Forced 2D/3D mode"},
               {kQualityCaption, "Quality:", kMode3D, "Qualita", "Quality: 2D / 3D"}});
    Frm_DGPS = Frame(QStringLiteral("DGPS:"), "Frm_DGPS");
    infoFrame(Frm_DGPS,
              {{kDgpsAgeCaption, "Age:", kDgpsAge, "00", "Time since last DGPS update blank"},
               {kDgpsStationCaption, "Station ID:", kDgpsStation, "00", "DGPS reference station ID blank"}});
    Frm_Track = Frame(QStringLiteral("Tracks:"), "Frm_Track");
    infoFrame(Frm_Track, {{kTrueTrackCaption, "True Track:", kTrueTrack, "00", "True track made good"},
                          {kMagneticTrackCaption, "Mag. Track:", kMagneticTrack, "00",
                           "Magnetic track made good"}});
    // With All GNSS only: a dual-antenna receiver's heading, below the tracks.
    auto* tracks = static_cast<QGridLayout*>(Frm_Track->layout());
    Lab_TrueHeading1 = PlainLabel(QStringLiteral("True Heading:"), QStringLiteral("Lab_TrueHeading1"));
    Lab_TrueHeading = Value(QString(), QStringLiteral("True heading (HDT or THS)"), "Lab_TrueHeading", 0, 12);
    Lab_TrueHeading->setObjectName(QStringLiteral("Lab_TrueHeading"));
    tracks->addWidget(Lab_TrueHeading1, 2, 0);
    tracks->addWidget(Lab_TrueHeading, 2, 1);
    tracks->setRowStretch(2, 0);
    tracks->setRowStretch(3, 1);

    // With All GNSS only: what the receiver's integrity check (GBS) expects its errors to be,
    // and the satellite it suspects, in one row.
    Frm_GBS = Frame(QStringLiteral("Integrity (GBS):"), "Frm_GBS");
    auto* gbs = new QGridLayout(Frm_GBS);
    const std::array<const char*, 4> gbsCaptions = {"Lat. error:", "Lon. error:", "Alt. error:", "Suspect:"};
    const std::array<const char*, 4> gbsTooltips = {
        "Expected error in latitude", "Expected error in longitude", "Expected error in altitude",
        "Satellite most likely failed"};
    int gbsColumn = 0;
    for (std::size_t i = 0; i < Lab_GBS.size(); ++i) {
        Lab_GBS1[i] = Caption(QString::fromLatin1(gbsCaptions[i]), "Lab_GBS1", i);
        Lab_GBS[i] = Value(QString(), QString::fromLatin1(gbsTooltips[i]), "Lab_GBS", i, 6);
        gbs->addWidget(Lab_GBS1[i], 0, gbsColumn++);
        gbs->addWidget(Lab_GBS[i], 0, gbsColumn++);
        if (i < Lab_GBSUM.size()) {
            Lab_GBSUM[i] = Caption(QStringLiteral("[m]"), "Lab_GBSUM", i);
            gbs->addWidget(Lab_GBSUM[i], 0, gbsColumn++);
            gbs->setColumnMinimumWidth(gbsColumn++, 12);
        }
    }

    // Channel status: three columns of four channels.
    Frame1 = Frame(QStringLiteral("Channels:"), "Frame1");
    auto* channels = new QGridLayout(Frame1);
    channels->setHorizontalSpacing(8);
    for (std::size_t index = 0; index < kChannelCount; ++index) {
        const int i = static_cast<int>(index);
        const QString n = TwoDigits(i + 1);
        Lab_PosizioneInfo3[index] =
            Caption(QStringLiteral("Channel ") + n + QLatin1Char(':'), "Lab_PosizioneInfo3", index);
        Lab_PosizioneInfo3b[index] = Value(QStringLiteral("Not in Use"),
                                           QStringLiteral("Status of channel ") + n,
                                           "Lab_PosizioneInfo3b", index, 10);
        const int column = (i / 4) * 3;
        channels->addWidget(Lab_PosizioneInfo3[index], i % 4, column);
        channels->addWidget(Lab_PosizioneInfo3b[index], i % 4, column + 1);
    }
    channels->setColumnMinimumWidth(2, 16);
    channels->setColumnMinimumWidth(5, 16);
    channels->setColumnStretch(1, 1);
    channels->setColumnStretch(4, 1);
    channels->setColumnStretch(7, 1);

    auto* top = new QHBoxLayout;
    top->addWidget(Frm_Mode, 4);
    top->addWidget(Frm_DGPS, 3);
    top->addWidget(Frm_Track, 3);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addWidget(Frm_GBS);
    layout->addWidget(Frame1);
    layout->addStretch(1);
    return page;
}

QWidget* MainForm::BuildSatellitesTab()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setHorizontalSpacing(4);

    Lab_Sat1[kChannelRowCaption] = Caption(QStringLiteral("Channel:"), "Lab_Sat1", kChannelRowCaption);
    LabSat1[kSatelliteIdRowCaption] =
        Caption(QStringLiteral("ID Satellite:"), "LabSat1", kSatelliteIdRowCaption);
    LabSat1[kAzimuthRowCaption] = Caption(QStringLiteral("Azimuth:"), "LabSat1", kAzimuthRowCaption);
    Lab_Sat1[kElevationRowCaption] =
        Caption(QStringLiteral("Elevation:"), "Lab_Sat1", kElevationRowCaption);
    grid->addWidget(Lab_Sat1[kChannelRowCaption], 1, 0);
    grid->addWidget(LabSat1[kSatelliteIdRowCaption], 2, 0);
    grid->addWidget(LabSat1[kAzimuthRowCaption], 3, 0);
    grid->addWidget(Lab_Sat1[kElevationRowCaption], 4, 0);

    auto cell = [](const QString& text, const char* name, std::size_t index) {
        QLabel* label = Value(text, QString(), name, index, 3);
        label->setAlignment(Qt::AlignCenter);
        return label;
    };
    for (std::size_t index = 0; index < kChannelCount; ++index) {
        const int i = static_cast<int>(index);
        auto* bar = Named(new QProgressBar, Indexed("PSat", index));
        bar->setOrientation(Qt::Vertical);
        bar->setRange(0, 90);
        bar->setValue(0);
        bar->setTextVisible(false);
        bar->setFixedWidth(18);
        bar->setMinimumHeight(170);
        bar->setToolTip(QStringLiteral("0"));
        PSat[index] = bar;
        grid->addWidget(bar, 0, i + 1, Qt::AlignHCenter);

        Lab_SatCHN[index] = cell(TwoDigits(i + 1), "Lab_SatCHN", index);
        Lab_SatCHN[index]->setFrameStyle(QFrame::NoFrame);
        Lab_Sat[index] = cell(QStringLiteral("00"), "Lab_Sat", index);
        Lab_SatA[index] = cell(QStringLiteral("00"), "Lab_SatA", index);
        Lab_SatE[index] = cell(QStringLiteral("00"), "Lab_SatE", index);
        grid->addWidget(Lab_SatCHN[index], 1, i + 1);
        grid->addWidget(Lab_Sat[index], 2, i + 1);
        grid->addWidget(Lab_SatA[index], 3, i + 1);
        grid->addWidget(Lab_SatE[index], 4, i + 1);
        grid->setColumnStretch(i + 1, 1);
    }
    grid->setRowStretch(5, 1);
    return page;
}

QWidget* MainForm::BuildCommunicationTab()
{
    auto* page = new QWidget;

    Frm_232 = Frame(QStringLiteral("Serial Port"), "Frm_232");
    Lab_RS232[0] = Caption(QStringLiteral("COM:"), "Lab_RS232", 0);
    auto* comList = new PortComboBox;
    connect(comList, &PortComboBox::AboutToDropDown, this, &MainForm::Cmb_COM_DropDown);
    Cmb_COM = Named(static_cast<QComboBox*>(comList), QStringLiteral("Cmb_COM"));
    Cmb_COM->setEditable(false);
    auto* port = new QHBoxLayout(Frm_232);
    port->addWidget(Lab_RS232[0]);
    port->addWidget(Cmb_COM, 1);

    Frm_DataLogger = Frame(QStringLiteral("Data logger"), "Frm_DataLogger");
    Lab_RS232[1] = Caption(QStringLiteral("Interval [s]:"), "Lab_RS232", 1);
    Cmb_Interval = Named(new QComboBox, QStringLiteral("Cmb_Interval"));
    Cmb_Interval->setToolTip(QStringLiteral("Data logger interval"));
    auto* logger = new QHBoxLayout(Frm_DataLogger);
    logger->addWidget(Lab_RS232[1]);
    logger->addWidget(Cmb_Interval, 1);

    Frm_Option = Frame(QStringLiteral("Option:"), "Frm_Option");
    Chk_DTR = Named(new QCheckBox(QStringLiteral("DTR Enable")), QStringLiteral("Chk_DTR"));
    Chk_DTR->setToolTip(QStringLiteral("DTR selection"));
    Chk_RTS = Named(new QCheckBox(QStringLiteral("RTS Enable")), QStringLiteral("Chk_RTS"));
    Chk_RTS->setToolTip(QStringLiteral("RTS selection"));
    Chk_NullDiscard =
        Named(new QCheckBox(QStringLiteral("Null Discard")), QStringLiteral("Chk_NullDiscard"));
    Chk_NullDiscard->setToolTip(QStringLiteral("Null character selection"));
    Chk_GNSS = Named(new QCheckBox(QStringLiteral("All GNSS")), QStringLiteral("Chk_GNSS"));
    Chk_GNSS->setToolTip(QStringLiteral(
        "Read the sentences of every satellite system (GN, GL, GA, GB, BD, GQ, QZ and GI "
        "talkers), not only GPS"));
    auto* options = new QVBoxLayout(Frm_Option);
    options->addWidget(Chk_DTR);
    options->addWidget(Chk_RTS);
    options->addWidget(Chk_NullDiscard);
    options->addWidget(Chk_GNSS);

    Frm_HandS = Frame(QStringLiteral("Handshaking:"), "Frm_HandS");
    Cmb_HandShaking = Named(new QComboBox, QStringLiteral("Cmb_HandShaking"));
    Cmb_HandShaking->setToolTip(QStringLiteral("Handshaking mode"));
    auto* handshaking = new QVBoxLayout(Frm_HandS);
    handshaking->addWidget(Cmb_HandShaking);
    handshaking->addStretch(1);

    auto option = [](const QString& caption, const QString& tooltip, const char* name, int i) {
        auto* button = Named(new QRadioButton(caption), Indexed(name, i));
        button->setToolTip(tooltip);
        return button;
    };

    FrmBaudRate = Frame(QStringLiteral("Baud rate"), "FrmBaudRate");
    auto* baud = new QGridLayout(FrmBaudRate);
    for (int i = 0; i < static_cast<int>(OptBaud.size()); ++i) {
        const QString caption = QString::fromLatin1(kBaudCaptions[static_cast<std::size_t>(i)]);
        OptBaud[static_cast<std::size_t>(i)] = option(
            caption, QStringLiteral("Speed selection (") + caption + QStringLiteral(" Baud)"),
            "OptBaud", i);
        // Two columns: 150 to 2400 on the left, 4800 and faster on the right.
        baud->addWidget(OptBaud[static_cast<std::size_t>(i)], i < 5 ? i : i - 5, i < 5 ? 0 : 1);
    }
    OptBaud[5]->setChecked(true);

    FrmParita = Frame(QStringLiteral("Parity"), "FrmParita");
    auto* parity = new QVBoxLayout(FrmParita);
    const std::array<const char*, 3> parityTooltips = {"No parity", "Parity Even", "Parity Odd"};
    for (int i = 0; i < 3; ++i) {
        const auto index = static_cast<std::size_t>(i);
        OptParita[index] = option(QString::fromLatin1(kParityCaptions[index]),
                                  QString::fromLatin1(parityTooltips[index]), "OptParita", i);
        // The tag, not the caption, is the letter of the settings text.
        OptParita[index]->setProperty("Tag", QString::fromLatin1(kParityTags[index]));
        parity->addWidget(OptParita[index]);
    }
    parity->addStretch(1);
    OptParita[0]->setChecked(true);

    FrmDati = Frame(QStringLiteral("Data"), "FrmDati");
    auto* dataBits = new QVBoxLayout(FrmDati);
    for (int i = 0; i < 4; ++i) {
        const QString caption =
            QString::fromLatin1(kDataBitsCaptions[static_cast<std::size_t>(i)]);
        OptDati[static_cast<std::size_t>(i)] =
            option(caption, caption + QStringLiteral(" Data bits"), "OptDati", i);
        dataBits->addWidget(OptDati[static_cast<std::size_t>(i)]);
    }
    dataBits->addStretch(1);
    OptDati[3]->setChecked(true);

    FrmStop = Frame(QStringLiteral("Stop"), "FrmStop");
    auto* stop = new QVBoxLayout(FrmStop);
    const std::array<const char*, 3> stopTooltips = {"1 Stop bit", "1.5 Stop bit", "2 Stop bits"};
    for (int i = 0; i < 3; ++i) {
        const auto index = static_cast<std::size_t>(i);
        OptStop[index] = option(QString::fromLatin1(kStopBitsCaptions[index]),
                                QString::fromLatin1(stopTooltips[index]), "OptStop", i);
        stop->addWidget(OptStop[index]);
    }
    stop->addStretch(1);
    OptStop[0]->setChecked(true);

    Cmd_CalcolaCRC =
        Named(new QPushButton(QStringLiteral("CRC Calculus ")), QStringLiteral("Cmd_CalcolaCRC"));
    Cmd_CalcolaCRC->setToolTip(QStringLiteral("NMEA-0183 CRC calculus"));
    Cmd_CalcolaCRC->setVisible(false);

    auto* grid = new QGridLayout(page);
    grid->addWidget(Frm_232, 0, 0, 1, 2);
    grid->addWidget(Frm_DataLogger, 0, 2, 1, 2);
    grid->addWidget(Frm_Option, 0, 4);
    grid->addWidget(FrmBaudRate, 1, 0);
    grid->addWidget(FrmParita, 1, 1);
    grid->addWidget(FrmDati, 1, 2);
    grid->addWidget(FrmStop, 1, 3);
    grid->addWidget(Frm_HandS, 1, 4);
    grid->addWidget(Cmd_CalcolaCRC, 2, 0, Qt::AlignLeft);
    grid->setRowStretch(3, 1);
    return page;
}

QWidget* MainForm::BuildSkyTab()
{
    Frm_Sky = Named(new SkyView, QStringLiteral("Frm_Sky"));
    return Frm_Sky;
}

} // namespace fixwatch
