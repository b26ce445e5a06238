// The Signals tab: each satellite's C/N0 per band, from the session's sky.
#include "main_form.h"

#include "signals_view.h"

#include <QTabWidget>

namespace fixwatch {

void MainForm::BuildSignals()
{
    Frm_Signals = new SignalsView;
    Frm_Signals->setObjectName(QStringLiteral("Frm_Signals"));
    SSTab->insertTab(kSignalsTab, Frm_Signals, QStringLiteral("Signals"));
}

} // namespace fixwatch
