#include "frm_splash.h"

#include "frm_about.h"
#include "main_form.h"
#include "product_info.h"

#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace fixwatch {

frmSplash::frmSplash(MainForm* mainForm, frmAbout* about)
    : QDialog(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      mainForm_(mainForm),
      about_(about)
{
    setObjectName(QStringLiteral("frmSplash"));

    Frame1 = new QFrame;
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Frame1->setLineWidth(2);
    Frame1->installEventFilter(this);

    Logo = new QLabel;
    Logo->setObjectName(QStringLiteral("Logo"));
    Logo->setPixmap(QIcon(QStringLiteral(":/fixwatch/fixwatch.svg")).pixmap(96, 96));
    Logo->setAlignment(Qt::AlignCenter);
    lblProductName = new QLabel;
    lblProductName->setTextFormat(Qt::PlainText);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont nameFont = lblProductName->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 2.2);
    nameFont.setBold(true);
    lblProductName->setFont(nameFont);
    lblVersion = new QLabel;
    lblVersion->setTextFormat(Qt::PlainText);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    auto* texts = new QVBoxLayout;
    texts->addStretch(1);
    texts->addWidget(lblProductName);
    texts->addWidget(lblVersion);
    texts->addStretch(1);
    auto* inside = new QHBoxLayout(Frame1);
    inside->setContentsMargins(28, 24, 36, 24);
    inside->addWidget(Logo);
    inside->addSpacing(20);
    inside->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Frame1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(3000);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);

    Form_Load();
    setFixedSize(sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    Timer1->start();
}

void frmSplash::Form_Load()
{
    // The main and About windows are built (and loaded) hidden by the caller; they stay
    // hidden until the splash closes.
    if (mainForm_ != nullptr)
        mainForm_->hide();
    if (about_ != nullptr)
        about_->hide();
    lblProductName->setText(ProductInfo::ProductName());
    lblVersion->setText(VersionText());
    update();
}

void frmSplash::CloseSplash()
{
    if (closed_)
        return;
    closed_ = true;
    Timer1->stop();
    hide();
    if (mainForm_ != nullptr) {
        mainForm_->show();
        mainForm_->repaint();
    }
}

void frmSplash::keyPressEvent(QKeyEvent* /*event*/)
{
    Form_KeyPress();
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    // Only a click on the frame's own free area closes the splash; clicks on the logo and
    // the labels go to them.
    if (watched == Frame1 && event->type() == QEvent::MouseButtonRelease) {
        const auto* click = static_cast<QMouseEvent*>(event);
        if (Frame1->childAt(click->position().toPoint()) == nullptr)
            Frame1_Click();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace fixwatch
