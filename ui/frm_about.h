#pragma once

#include <QDialog>
#include <QUrl>

#include <array>
#include <functional>

class QFrame;
class QLabel;
class QPushButton;

namespace fixwatch {

// The About window: product, version, legal and liability notices and the contact address
// as a mail link. Closing it in any way only hides it and gives the main window back its
// input; it lives as long as the program.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    // `mainWindow` is disabled while this window shows and enabled again when it closes.
    explicit frmAbout(QWidget* mainWindow);

    QLabel* Img_Logo = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    std::array<QFrame*, 2> Line1{}; // one etched line draws both; element 0 stays empty
    QLabel* lblDisclaimer = nullptr;
    QLabel* Lab_EMail = nullptr;
    QWidget* Img_EMail = nullptr;
    QPushButton* cmdOK = nullptr;

    // What opens "mailto:" + the address; replaceable for tests.
    std::function<void(const QUrl&)> openUrl;

    void cmdOK_Click();
    void Lab_EMail_Click();
    void Lab_EMail_MouseMove();
    void Img_EMail_MouseMove();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void OpenMailLink();

    QWidget* mainWindow_;
};

} // namespace fixwatch
