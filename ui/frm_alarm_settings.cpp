#include "frm_alarm_settings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace fixwatch {
namespace {

// The limits --alarm accepts.
constexpr double kMinNoDataSeconds = 1;
constexpr double kMaxNoDataSeconds = 86400;
constexpr double kMinHdop = 0.1;
constexpr double kMaxHdop = 99.9;
constexpr int kMaxSatellites = 99;
constexpr double kMinRadius = 1;
constexpr double kMaxRadius = 100000;
// Decimals of a typed or taken anchor point: a millionth of a degree is about 0.1 m.
constexpr int kPointDecimals = 6;

template <typename Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QDoubleSpinBox* Number(const char* name, double low, double high, int decimals, double value, const QString& suffix)
{
    auto* box = Named(new QDoubleSpinBox, name);
    box->setRange(low, high);
    box->setDecimals(decimals);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

QString PointText(const WgsPoint& point)
{
    return QStringLiteral("%1, %2")
        .arg(QString::fromStdString(ShortNumber(point.latitude, kPointDecimals)),
             QString::fromStdString(ShortNumber(point.longitude, kPointDecimals)));
}

} // namespace

frmAlarmSettings::frmAlarmSettings(QWidget* parent, const AlarmSettings& settings, bool sound,
                                   std::optional<WgsPoint> current)
    : QDialog(parent), current_(current)
{
    setObjectName(QStringLiteral("frmAlarmSettings"));
    setWindowTitle(QStringLiteral("Alarm settings"));

    Txt_NoDataSeconds = Number("Txt_NoDataSeconds", kMinNoDataSeconds, kMaxNoDataSeconds, 0,
                               settings.noDataSeconds, QStringLiteral(" s"));
    Txt_Hdop = Number("Txt_Hdop", kMinHdop, kMaxHdop, 1, settings.hdopLimit, QString());
    Txt_Satellites = Named(new QSpinBox, "Txt_Satellites");
    Txt_Satellites->setRange(1, kMaxSatellites);
    Txt_Satellites->setValue(settings.satellitesMinimum);
    Txt_AnchorRadius =
        Number("Txt_AnchorRadius", kMinRadius, kMaxRadius, 0, settings.anchorRadius, QStringLiteral(" m"));
    Txt_AnchorPoint = Named(new QLineEdit, "Txt_AnchorPoint");
    Txt_AnchorPoint->setPlaceholderText(QStringLiteral("where the receiver is when armed"));
    Txt_AnchorPoint->setToolTip(
        QStringLiteral("Latitude, longitude in decimal degrees (45.1, 7.6); empty for the position when armed"));
    if (settings.anchorPoint)
        Txt_AnchorPoint->setText(PointText(*settings.anchorPoint));
    Cmd_UseCurrentPosition = Named(new QPushButton(QStringLiteral("Use current position")), "Cmd_UseCurrentPosition");
    Cmd_UseCurrentPosition->setEnabled(current_.has_value());
    Lab_AnchorError = Named(new QLabel, "Lab_AnchorError");
    Lab_AnchorError->setTextFormat(Qt::PlainText);
    Lab_AnchorError->setVisible(false);
    Chk_Sound = Named(new QCheckBox(QStringLiteral("Sound")), "Chk_Sound");
    Chk_Sound->setToolTip(QStringLiteral("Play a short sound when an alarm is raised"));
    Chk_Sound->setChecked(sound);

    auto* point = new QHBoxLayout;
    point->addWidget(Txt_AnchorPoint, 1);
    point->addWidget(Cmd_UseCurrentPosition);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("No data for"), Txt_NoDataSeconds);
    form->addRow(QStringLiteral("HDOP above"), Txt_Hdop);
    form->addRow(QStringLiteral("Satellites used fewer than"), Txt_Satellites);
    form->addRow(QStringLiteral("Anchor radius"), Txt_AnchorRadius);
    form->addRow(QStringLiteral("Anchor point"), point);
    form->addRow(QString(), Lab_AnchorError);
    form->addRow(QString(), Chk_Sound);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName(QStringLiteral("Buttons"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &frmAlarmSettings::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmAlarmSettings::reject);
    connect(Cmd_UseCurrentPosition, &QPushButton::clicked, this, &frmAlarmSettings::Cmd_UseCurrentPosition_Click);
}

void frmAlarmSettings::Cmd_UseCurrentPosition_Click()
{
    if (current_)
        Txt_AnchorPoint->setText(PointText(*current_));
}

AlarmSettings frmAlarmSettings::Settings() const
{
    AlarmSettings settings;
    settings.noDataSeconds = Txt_NoDataSeconds->value();
    settings.hdopLimit = Txt_Hdop->value();
    settings.satellitesMinimum = Txt_Satellites->value();
    settings.anchorRadius = Txt_AnchorRadius->value();
    const QString point = Txt_AnchorPoint->text().trimmed();
    if (!point.isEmpty())
        settings.anchorPoint = ReadWgsPoint(point.toStdString());
    return settings;
}

bool frmAlarmSettings::Sound() const
{
    return Chk_Sound->isChecked();
}

void frmAlarmSettings::accept()
{
    const QString point = Txt_AnchorPoint->text().trimmed();
    if (!point.isEmpty() && !ReadWgsPoint(point.toStdString())) {
        Lab_AnchorError->setText(
            QStringLiteral("Type the anchor point as latitude, longitude in decimal degrees, e.g. 45.1, 7.6"));
        Lab_AnchorError->setVisible(true);
        Txt_AnchorPoint->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace fixwatch
