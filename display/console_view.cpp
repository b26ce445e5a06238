#include "console_view.h"

#include "console_delegate.h"
#include "sentence_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScrollBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace fixwatch {
namespace {

QPushButton* Button(const char* name, const char* caption)
{
    auto* button = new QPushButton(QString::fromLatin1(caption));
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QLineEdit* Edit(const char* name, const char* hint, int width)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    edit->setPlaceholderText(QString::fromLatin1(hint));
    if (width > 0)
        edit->setMaximumWidth(width);
    return edit;
}

} // namespace

ConsoleView::ConsoleView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Frm_Console"));
    clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
    askSaveFile = [this] { return QFileDialog::getSaveFileName(this, QStringLiteral("Save shown lines")); };

    Lst_Console = new QListView;
    Lst_Console->setObjectName(QStringLiteral("Lst_Console"));
    Lst_Console->setFont(QFont(QStringLiteral("Monospace"), 8));
    Lst_Console->setUniformItemSizes(true); // one row's size is every row's: nothing is measured per line
    Lst_Console->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Lst_Console->setSelectionMode(QAbstractItemView::NoSelection);
    Lst_Console->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Lst_Console->setItemDelegate(new ConsoleDelegate(Lst_Console));
    Lst_Console->setModel(&model_);

    Txt_Talker = Edit("Txt_Talker", "Talker", 60);
    Txt_Type = Edit("Txt_Type", "Type", 60);
    Txt_Filter = Edit("Txt_Filter", "Regular expression", 0);
    Lab_FilterError = new QLabel;
    Lab_FilterError->setTextFormat(Qt::PlainText);
    Lab_FilterError->setObjectName(QStringLiteral("Lab_FilterError"));
    Lab_FilterError->setTextFormat(Qt::PlainText);
    Lab_FilterError->setStyleSheet(QStringLiteral("color: #B00020"));
    Chk_BadOnly = new QCheckBox(QStringLiteral("Only bad checksums"));
    Chk_BadOnly->setObjectName(QStringLiteral("Chk_BadOnly"));
    Cmd_Pause = Button("Cmd_Pause", "Pause");
    Cmd_Clear = Button("Cmd_Clear", "Clear");
    Cmd_Copy = Button("Cmd_Copy", "Copy");
    Cmd_Save = Button("Cmd_Save", "Save...");
    Lab_SaveResult = new QLabel;
    Lab_SaveResult->setTextFormat(Qt::PlainText);
    Lab_SaveResult->setObjectName(QStringLiteral("Lab_SaveResult"));
    Lab_SaveResult->setTextFormat(Qt::PlainText);

    Grd_Inventory = new QTableWidget(0, 6);
    Grd_Inventory->setObjectName(QStringLiteral("Grd_Inventory"));
    Grd_Inventory->setHorizontalHeaderLabels({QStringLiteral("Sentence"), QStringLiteral("Count"),
                                              QStringLiteral("Rate /s"), QStringLiteral("Bad"),
                                              QStringLiteral("Last seen"), QStringLiteral("Used for")});
    Grd_Inventory->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grd_Inventory->verticalHeader()->hide();
    Grd_Inventory->verticalHeader()->setDefaultSectionSize(18);
    Grd_Inventory->horizontalHeader()->setStretchLastSection(true);
    Grd_Inventory->setMaximumHeight(170);

    auto* filters = new QHBoxLayout;
    filters->addWidget(Txt_Talker);
    filters->addWidget(Txt_Type);
    filters->addWidget(Txt_Filter, 1);
    filters->addWidget(Chk_BadOnly);
    auto* buttons = new QHBoxLayout;
    for (QWidget* widget : {static_cast<QWidget*>(Cmd_Pause), static_cast<QWidget*>(Cmd_Clear),
                            static_cast<QWidget*>(Cmd_Copy), static_cast<QWidget*>(Cmd_Save)})
        buttons->addWidget(widget);
    buttons->addWidget(Lab_FilterError, 1);
    buttons->addWidget(Lab_SaveResult);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addLayout(buttons);
    layout->addWidget(Lst_Console, 1);
    layout->addWidget(Grd_Inventory);

    connect(Cmd_Pause, &QPushButton::clicked, this, &ConsoleView::Cmd_Pause_Click);
    connect(Cmd_Clear, &QPushButton::clicked, this, &ConsoleView::Cmd_Clear_Click);
    connect(Cmd_Copy, &QPushButton::clicked, this, &ConsoleView::Cmd_Copy_Click);
    connect(Cmd_Save, &QPushButton::clicked, this, &ConsoleView::Cmd_Save_Click);
    for (QLineEdit* edit : {Txt_Talker, Txt_Type, Txt_Filter})
        connect(edit, &QLineEdit::textChanged, this, &ConsoleView::FilterChanged);
    connect(Chk_BadOnly, &QCheckBox::toggled, this, &ConsoleView::FilterChanged);
    Tmr_Inventory = new QTimer(this);
    Tmr_Inventory->setInterval(1000);
    connect(Tmr_Inventory, &QTimer::timeout, this, &ConsoleView::Tmr_Inventory_Timer);
}

void ConsoleView::Begin(Talkers talkers)
{
    stats_.Begin(talkers);
    if (isVisible())
        ShowInventory();
}

void ConsoleView::Add(std::string_view line, bool badChecksum)
{
    const std::int64_t now = clock();
    model_.Keep(line, badChecksum, stats_.ReadTalkers(), now);
    stats_.Count(SentenceView(line, stats_.ReadTalkers()), now);
}

bool ConsoleView::Shown(const ConsoleLine& line) const
{
    if (Chk_BadOnly->isChecked() && !line.badChecksum)
        return false;
    if (!talker_.isEmpty() && QLatin1String(line.talker.data(), static_cast<qsizetype>(line.talker.size())) != talker_)
        return false;
    if (!type_.isEmpty() && QLatin1String(line.type.data(), static_cast<qsizetype>(line.type.size())) != type_)
        return false;
    if (regexValid_ && !filter_.pattern().isEmpty()) {
        if (!filter_.match(VisibleText(line.text)).hasMatch())
            return false;
    }
    return true;
}

void ConsoleView::Flush()
{
    if (!isVisible())
        return;
    ShowInventory();
    // A paused view keeps its place; only the rows of lines that dropped off the ring go.
    if (paused_) {
        model_.DropGone();
        return;
    }
    // A view at its last line follows the new ones; one scrolled back stays where it is.
    QScrollBar* bar = Lst_Console->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    model_.CatchUp([this](const ConsoleLine& line) { return Shown(line); });
    if (following)
        Lst_Console->scrollToBottom();
}

void ConsoleView::Rebuild()
{
    model_.Refilter([this](const ConsoleLine& line) { return Shown(line); });
    Lst_Console->scrollToBottom();
}

void ConsoleView::ShowInventory()
{
    const std::int64_t now = clock();
    const auto& rows = stats_.Rows();
    const std::vector<std::string> missing = stats_.Missing();
    Grd_Inventory->setRowCount(static_cast<int>(rows.size() + missing.size()));
    auto set = [this](int row, int column, const QString& text) {
        QTableWidgetItem* item = Grd_Inventory->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            Grd_Inventory->setItem(row, column, item);
        }
        if (item->text() != text)
            item->setText(text);
    };
    int r = 0;
    for (const SentenceStats::Row& row : rows) {
        set(r, 0, VisibleText(row.key));
        set(r, 1, QString::number(row.count));
        set(r, 2, QString::number(stats_.Rate(row, now), 'f', 1));
        set(r, 3, QString::number(row.badChecksums));
        set(r, 4, QStringLiteral("%1 s ago").arg(static_cast<double>(now - row.lastSeenMs) / 1000.0, 0, 'f', 1));
        set(r, 5, QString::fromStdString(stats_.UseOf(row)));
        ++r;
    }
    for (const std::string& text : missing) {
        const std::string type = text.substr(3, 3);
        set(r, 0, QString::fromLatin1(type));
        for (int c = 1; c < 5; ++c)
            set(r, c, QStringLiteral("-"));
        set(r, 5, QString::fromStdString(text));
        ++r;
    }
}

QString ConsoleView::ShownText() const
{
    QStringList rows;
    rows.reserve(model_.rowCount());
    for (int row = 0; row < model_.rowCount(); ++row)
        rows.append(model_.RowText(row));
    return rows.join(QLatin1Char('\n'));
}

void ConsoleView::Cmd_Pause_Click()
{
    paused_ = !paused_;
    Cmd_Pause->setText(paused_ ? QStringLiteral("Resume") : QStringLiteral("Pause"));
    if (!paused_)
        Flush();
}

void ConsoleView::Cmd_Clear_Click()
{
    model_.Clear();
}

void ConsoleView::Cmd_Copy_Click() { QApplication::clipboard()->setText(ShownText()); }

void ConsoleView::Cmd_Save_Click()
{
    const QString name = askSaveFile();
    if (name.isEmpty())
        return;
    QSaveFile file(name);
    const QByteArray text = ShownText().toUtf8() + '\n';
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        Lab_SaveResult->setText(QStringLiteral("Could not save %1: %2").arg(name, file.errorString()));
    else
        Lab_SaveResult->setText(QStringLiteral("Saved %1 lines").arg(model_.rowCount()));
}

void ConsoleView::FilterChanged()
{
    talker_ = Txt_Talker->text().trimmed().toUpper();
    type_ = Txt_Type->text().trimmed().toUpper();
    filter_ = QRegularExpression(Txt_Filter->text());
    regexValid_ = filter_.isValid();
    const QRegularExpression& expression = filter_;
    Lab_FilterError->setText(regexValid_ ? QString()
                                         : QStringLiteral("Invalid expression (%1 at %2): not filtering")
                                               .arg(expression.errorString())
                                               .arg(expression.patternErrorOffset()));
    if (isVisible() && !paused_)
        Rebuild();
}

void ConsoleView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Flush();
    Tmr_Inventory->start();
}

void ConsoleView::hideEvent(QHideEvent* event)
{
    Tmr_Inventory->stop();
    QWidget::hideEvent(event);
}

void ConsoleView::Tmr_Inventory_Timer()
{
    if (isVisible())
        ShowInventory();
}

} // namespace fixwatch
