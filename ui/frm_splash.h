#pragma once

#include <QDialog>

#include <array>

class QFrame;
class QLabel;
class QTimer;

namespace fixwatch {

class MainForm;
class frmAbout;

// The start-up window: logo, product name and version, on top of the other windows, for
// three seconds or until a key or a click on its free area; then it closes and shows the
// main window, which it loaded hidden together with the About window.
class frmSplash : public QDialog {
    Q_OBJECT

public:
    frmSplash(MainForm* mainForm, frmAbout* about);

    QFrame* Frame1 = nullptr;
    QTimer* Timer1 = nullptr;
    QLabel* Logo = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblVersion = nullptr;

    void Timer1_Timer() { CloseSplash(); }
    void Frame1_Click() { CloseSplash(); }
    void Form_KeyPress() { CloseSplash(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void CloseSplash();

    MainForm* mainForm_;
    frmAbout* about_;
    bool closed_ = false;
};

} // namespace fixwatch
