#pragma once

#include "alarm_kind.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace fixwatch {

// "Alarm settings...": the limits of the alarms, the anchor (its radius, and a point typed in
// decimal degrees or taken from the current position) and whether a raised alarm plays a
// sound. OK takes them only when the point, if any, is one.
class frmAlarmSettings : public QDialog {
    Q_OBJECT

public:
    // `current` is the receiver's last position with a fix, if there is one.
    frmAlarmSettings(QWidget* parent, const AlarmSettings& settings, bool sound, std::optional<WgsPoint> current);

    QDoubleSpinBox* Txt_NoDataSeconds = nullptr;
    QDoubleSpinBox* Txt_Hdop = nullptr;
    QSpinBox* Txt_Satellites = nullptr;
    QDoubleSpinBox* Txt_AnchorRadius = nullptr;
    QLineEdit* Txt_AnchorPoint = nullptr;
    QPushButton* Cmd_UseCurrentPosition = nullptr;
    QLabel* Lab_AnchorError = nullptr;
    QCheckBox* Chk_Sound = nullptr;

    // What the dialog holds now.
    AlarmSettings Settings() const;
    bool Sound() const;

    void Cmd_UseCurrentPosition_Click();
    void accept() override;

private:
    std::optional<WgsPoint> current_;
};

} // namespace fixwatch
