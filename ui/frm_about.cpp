#include "frm_about.h"

#include "product_info.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace fixwatch {

frmAbout::frmAbout(QWidget* mainWindow)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("frmAbout"));
    openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };

    Img_Logo = new QLabel;
    Img_Logo->setObjectName(QStringLiteral("Img_Logo"));
    Img_Logo->setPixmap(QIcon(QStringLiteral(":/fixwatch/fixwatch.svg")).pixmap(64, 64));
    Img_Logo->setAlignment(Qt::AlignTop);

    lblTitle = new QLabel;
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setTextFormat(Qt::PlainText);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = new QLabel;
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setTextFormat(Qt::PlainText);
    lblDescription = new QLabel;
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setTextFormat(Qt::PlainText);

    Line1[1] = new QFrame;
    Line1[1]->setObjectName(QStringLiteral("Line1(1)"));
    Line1[1]->setFrameShape(QFrame::HLine);
    Line1[1]->setFrameShadow(QFrame::Sunken);

    lblDisclaimer = new QLabel;
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setTextFormat(Qt::PlainText);

    // The address sits in a slightly larger area; the mouse reaching that area means it
    // has left the link.
    Img_EMail = new QWidget;
    Img_EMail->setObjectName(QStringLiteral("Img_EMail"));
    Img_EMail->setMouseTracking(true);
    Lab_EMail = new QLabel(ProductInfo::ContactAddress());
    Lab_EMail->setObjectName(QStringLiteral("Lab_EMail"));
    Lab_EMail->setTextFormat(Qt::PlainText);
    Lab_EMail->setMouseTracking(true);
    Lab_EMail->setCursor(Qt::PointingHandCursor);
    Lab_EMail->setStyleSheet(QStringLiteral("color: palette(link);"));
    auto* linkArea = new QHBoxLayout(Img_EMail);
    linkArea->setContentsMargins(6, 4, 6, 4);
    linkArea->addWidget(Lab_EMail);
    linkArea->addStretch(1);
    Lab_EMail->installEventFilter(this);
    Img_EMail->installEventFilter(this);

    cmdOK = new QPushButton(QStringLiteral("OK"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addWidget(lblDescription);
    auto* top = new QHBoxLayout;
    top->addWidget(Img_Logo);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Img_EMail);
    bottom->addStretch(1);
    bottom->addWidget(cmdOK);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Line1[1]);
    layout->addWidget(lblDisclaimer);
    layout->addLayout(bottom);

    Form_Load();
    setFixedSize(sizeHint());
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("About program"));
    lblTitle->setText(ProductInfo::ProductName());
    lblVersion->setText(ProductInfo::FileDescription() + QLatin1Char(' ') + VersionText());
    lblDescription->setText(ProductInfo::LegalCopyright());
    // Four lines; a label breaks lines at LF (a lone CR would run them together).
    lblDisclaimer->setText(
        QStringLiteral("Notice: The author of this program is not responsible for the direct,\n"
                       "indirect and consequential damages derived by the use of the this \n"
                       "program and the connected peripheral. For more details read the\n"
                       "terms on the user licence."));
    update();
}

void frmAbout::cmdOK_Click()
{
    hide();
    if (mainWindow_ != nullptr) {
        mainWindow_->setEnabled(true);
        mainWindow_->repaint();
    }
}

void frmAbout::closeEvent(QCloseEvent* event)
{
    event->ignore();
    cmdOK_Click();
}

void frmAbout::reject()
{
    // Esc: the OK button is also the cancel button.
    cmdOK_Click();
}

void frmAbout::Lab_EMail_MouseMove()
{
    QFont font = Lab_EMail->font();
    font.setUnderline(true);
    Lab_EMail->setFont(font);
    Lab_EMail->repaint();
}

void frmAbout::Img_EMail_MouseMove()
{
    QFont font = Lab_EMail->font();
    font.setUnderline(false);
    Lab_EMail->setFont(font);
    Lab_EMail->repaint();
}

void frmAbout::Lab_EMail_Click()
{
    OpenMailLink();
}

void frmAbout::OpenMailLink()
{
    if (openUrl)
        openUrl(QUrl(QStringLiteral("mailto:") + ProductInfo::ContactAddress()));
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Lab_EMail) {
        if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
            Lab_EMail_MouseMove();
            // A label does not take mouse moves, so Qt would hand this one on to the
            // surrounding area, whose handler removes the underline at once.
            return event->type() == QEvent::MouseMove;
        }
        if (event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            Lab_EMail_Click();
        else if (event->type() == QEvent::Leave)
            Img_EMail_MouseMove();
    } else if (watched == Img_EMail && event->type() == QEvent::MouseMove) {
        Img_EMail_MouseMove();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace fixwatch
