// The Compare tab: receiver B chosen by port number, started and stopped with A, polled at
// A's tick after A, recorded beside A's recording, and paired with A for the comparison.
#include "main_form.h"

#include "compare_view.h"
#include "comparison_feed.h"
#include "link_status.h"
#include "live_comparison.h"
#include "network_address.h"
#include "port_combo_box.h"
#include "port_device.h"
#include "recorder_feed.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace fixwatch {
namespace {

// What a port stands for as one receiver: the file or device itself (links followed), or the
// host and port of a network source (and gpsd's device), so that two names of one receiver
// are known as one.
QString ResolvedAddress(const CommControl& comm, int port)
{
    QString address;
    if (!comm.Recording().isEmpty() && comm.RecordingPort() == port) {
        address = comm.Recording();
    } else if (const auto entry = comm.Ports().Entry(port)) {
        address = entry->address;
    }
    if (address.isEmpty())
        return {};
    if (const auto file = RecordingPath(address))
        address = *file;
    if (NamesNetworkSource(address)) {
        const NetworkAddressParse parsed = ParseNetworkAddress(address);
        if (!parsed.address)
            return address;
        QString key = parsed.address->host.toLower() + QLatin1Char(':') + QString::number(parsed.address->port);
        if (!parsed.address->device.isEmpty())
            key += QLatin1Char(' ') + parsed.address->device;
        return key;
    }
    const QString canonical = QFileInfo(address).canonicalFilePath();
    return canonical.isEmpty() ? address : canonical;
}

// The port's address as the user named it, for the reason of a refusal.
QString PortAddress(const CommControl& comm, int port)
{
    if (!comm.Recording().isEmpty() && comm.RecordingPort() == port)
        return comm.Recording();
    const auto entry = comm.Ports().Entry(port);
    return entry ? entry->address : QString();
}

} // namespace

void MainForm::BuildCompare()
{
    compareLink_ = std::make_unique<LinkStatus>([this] { return Status && Status->clock ? Status->clock() : 0; });
    compareSession_ = std::make_unique<ReceiverSession>();
    compareSession_->Comm().setObjectName(QStringLiteral("MSCommCompare"));
    compareSession_->Comm().setParent(this);
    comparison_ = std::make_unique<LiveComparison>();
    comparisonFeed_ = std::make_unique<ComparisonFeed>(*comparison_, [this] {
        const qint64 now = Status && Status->clock ? Status->clock() : 0;
        return static_cast<double>(now - compareStartMs_) / 1000.0;
    });
    compareRecorderFeed_ = std::make_unique<RecorderFeed>(compareRecorder_);
    compareSession_->AddConsumer(&comparisonFeed_->Consumer(EpochPairing::B));
    compareSession_->AddConsumer(compareRecorderFeed_.get());

    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("Tab_Compare"));
    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    auto* caption = new QLabel(QStringLiteral("Receiver B:"));
    caption->setObjectName(QStringLiteral("Lab_CompareCOM"));
    caption->setTextFormat(Qt::PlainText);
    auto* ports = new PortComboBox;
    Cmb_CompareCOM = ports;
    Cmb_CompareCOM->setObjectName(QStringLiteral("Cmb_CompareCOM"));
    Cmb_CompareCOM->addItem(QStringLiteral("None"));
    for (int port = 1; port <= kPortCount; ++port)
        Cmb_CompareCOM->addItem(QString::number(port));
    Cmb_CompareCOM->setCurrentIndex(0);
    caption->setBuddy(Cmb_CompareCOM);
    Lab_CompareStatus = new StatusLabel;
    Lab_CompareStatus->setObjectName(QStringLiteral("Lab_CompareStatus"));
    row->addWidget(caption);
    row->addWidget(Cmb_CompareCOM);
    row->addWidget(Lab_CompareStatus, 1);
    layout->addLayout(row);
    Frm_Compare = new CompareView;
    Frm_Compare->setObjectName(QStringLiteral("Frm_Compare"));
    Frm_Compare->SetComparison(comparison_.get());
    layout->addWidget(Frm_Compare, 1);
    SSTab->insertTab(kCompareTab, page, QStringLiteral("Compare"));

    comparisonFeed_->changed = [this] { Frm_Compare->MarkChanged(); };
    connect(Cmb_CompareCOM, &QComboBox::currentIndexChanged, this, &MainForm::Cmb_CompareCOM_Click);
    connect(ports, &PortComboBox::AboutToDropDown, this, &MainForm::Cmb_CompareCOM_DropDown);
    connect(&compareSession_->Comm(), &CommControl::SourceLost, this, [this] {
        compareLink_->SourceLost(compareSession_->Comm().SourceName());
        ShowCompareStatus();
    });
    followers_.push_back([this] { CompareFollowAcquisition(); });
    tickers_.push_back([this](const ReceiverSession::Poll&) { CompareTick(); });
    Cmb_CompareCOM_Click();
}

void MainForm::CompareWith(int port)
{
    if (port >= 0 && port <= kPortCount)
        Cmb_CompareCOM->setCurrentIndex(port);
}

void MainForm::Cmb_CompareCOM_Click()
{
    // The port's entry and what it is, as the list of A's ports says it.
    const int port = Cmb_CompareCOM->currentIndex();
    QString tip = QStringLiteral("Receiver B, read with the serial settings of the Communication tab "
                                 "(speed, parity, data bits, stop bits, handshaking) and every satellite "
                                 "system; it starts and stops with Start and Stop.");
    if (port > 0) {
        if (const auto entry = MSComm.Ports().Entry(port))
            tip = PortSummary(*entry) + QStringLiteral("\n") + tip;
    }
    Cmb_CompareCOM->setToolTip(tip);
    ShowCompareStatus();
}

void MainForm::Cmb_CompareCOM_DropDown()
{
    MSComm.Ports().Refresh();
    Cmb_CompareCOM_Click();
}

QString MainForm::ComparePortRefusal(int port) const
{
    const int portA = settings.portIndex + 1;
    const QString a = ResolvedAddress(MSComm, portA);
    const QString b = ResolvedAddress(MSComm, port);
    if (port == portA || (!a.isEmpty() && a == b)) {
        const QString named = PortAddress(MSComm, port);
        return QStringLiteral("%1 is already receiver A's port").arg(named.isEmpty() ? QString::number(port) : named);
    }
    return {};
}

void MainForm::CompareFollowAcquisition()
{
    if (acquisitionRunning && !compareRunning_)
        StartCompare();
    else if (!acquisitionRunning)
        StopCompare();
    CompareRecorderFollow();
    ShowCompareStatus();
}

void MainForm::StartCompare()
{
    // Every Start begins the comparison afresh, with or without B.
    compareStartMs_ = Status && Status->clock ? Status->clock() : 0;
    comparisonFeed_->Clear();
    compareFailure_.clear();
    const int port = Cmb_CompareCOM->currentIndex();
    if (port <= 0) {
        compareLink_->Stopped();
        return;
    }
    // B's ports are numbered as A's are: the same list, the same seams.
    CommControl& comm = compareSession_->Comm();
    comm.Ports() = MSComm.Ports();
    compareFailure_ = ComparePortRefusal(port);
    if (compareFailure_.isEmpty()) {
        const bool opened = comm.CommPort(port) && comm.Settings(SettingsText(settings))
                            && (comm.DTREnable(settings.dtrEnable), true) && (comm.RTSEnable(settings.rtsEnable), true)
                            && (comm.NullDiscard(settings.nullDiscard), true)
                            && comm.Handshaking(settings.handshakingIndex) && comm.PortOpen(true);
        if (!opened) {
            compareFailure_ = comm.Reason();
            if (compareFailure_.isEmpty())
                compareFailure_ = QStringLiteral("port %1 cannot be opened").arg(port);
        }
    }
    if (!compareFailure_.isEmpty()) {
        if (comm.LinkState() != CommControl::State::Closed)
            comm.PortOpen(false);
        compareLink_->StartFailed(compareFailure_);
        return;
    }
    compareSession_->Begin(Talkers::AllSystems);
    session_.AddConsumer(&comparisonFeed_->Consumer(EpochPairing::A));
    compareRunning_ = true;
    compareLink_->Started();
    CompareReplayBegin();
}

void MainForm::StopCompare()
{
    if (!compareRunning_)
        return;
    compareRunning_ = false;
    compareReplayOffset_.reset();
    compareReplayWaiting_ = false;
    session_.RemoveConsumer(&comparisonFeed_->Consumer(EpochPairing::A));
    CommControl& comm = compareSession_->Comm();
    if (comm.LinkState() != CommControl::State::Closed)
        comm.PortOpen(false);
    comparisonFeed_->Finish();
    CompareRecorderFollow();
    compareLink_->Stopped();
}

void MainForm::CompareTick()
{
    if (!compareRunning_)
        return;
    CompareRecorderFollow();
    CompareReplayFollow();
    const ReceiverSession::Poll poll = compareSession_->PollOnce();
    if (poll.cameBack)
        compareLink_->SourceBack(compareSession_->Comm().SourceName());
    compareLink_->BytesDropped(poll.droppedBytes);
    compareLink_->Polled(poll.textArrived, poll.lines, poll.badChecksums);
    if (compareRecorder_.Recording() && !compareRecorder_.Flush())
        compareRecorder_.Stop();
    ShowCompareStatus();
}

// B is recorded while A is and B runs, to A's file name with "-b" before ".nmea".
void MainForm::CompareRecorderFollow()
{
    const bool wanted = compareRunning_ && recorder_.Recording();
    if (wanted && !compareRecorder_.Recording()) {
        QString path = recorder_.Path();
        if (path.endsWith(QLatin1String(".nmea")))
            path.chop(5);
        compareRecorder_.StartFile(path + QStringLiteral("-b.nmea"));
    } else if (!wanted && compareRecorder_.Recording()) {
        compareRecorder_.Stop();
    }
}

void MainForm::ShowCompareStatus()
{
    if (Lab_CompareStatus == nullptr)
        return;
    const int port = Cmb_CompareCOM->currentIndex();
    QString text;
    if (!compareFailure_.isEmpty()) {
        text = QStringLiteral("B: not started: ") + compareFailure_;
    } else if (compareRunning_) {
        // A recording that ended is no receiver waited for.
        const ReplayControl* replay = compareSession_->Comm().Replay();
        const QString state = replay != nullptr && replay->AtEnd() ? compareSession_->Comm().Reason() : compareLink_->Text();
        text = QStringLiteral("B: %1 \u00B7 %2").arg(compareSession_->Comm().SourceName(), state);
    } else if (port <= 0) {
        text = QStringLiteral("B: no receiver chosen");
    } else {
        const QString address = PortAddress(MSComm, port);
        text = QStringLiteral("B: %1 \u00B7 %2")
                   .arg(address.isEmpty() ? QStringLiteral("port %1").arg(port) : address, compareLink_->Text());
    }
    if (!compareRecorder_.Error().isEmpty())
        text += QStringLiteral(" \u00B7 not recorded: ") + compareRecorder_.Error();
    Lab_CompareStatus->SetText(text);
}

} // namespace fixwatch
