#pragma once

#include <QComboBox>

namespace fixwatch {

// A drop-down list that says when the user opens it, so that the list of ports can be
// taken again first.
class PortComboBox : public QComboBox {
    Q_OBJECT

public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        emit AboutToDropDown();
        QComboBox::showPopup();
    }

signals:
    void AboutToDropDown();
};

} // namespace fixwatch
