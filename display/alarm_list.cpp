#include "alarm_list.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace fixwatch {
namespace {

QTableWidgetItem* Cell(const QString& text)
{
    // A table item never reads its text as markup.
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

QString KindName(AlarmKind kind)
{
    const std::string_view name = AlarmKindName(kind);
    return QString::fromLatin1(name);
}

} // namespace

AlarmList::AlarmList(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Frm_Alarms"));
    table_ = new QTableWidget(0, 3, this);
    table_->setObjectName(QStringLiteral("Lst_Alarms"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Time (UTC)"), QStringLiteral("Kind"), QStringLiteral("Alarm")});
    table_->verticalHeader()->setVisible(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setSectionResizeMode(kTimeColumn, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setSectionResizeMode(kKindColumn, QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
}

void AlarmList::Raised(const QDateTime& at, AlarmKind kind, const QString& text)
{
    raised_[AlarmIndex(kind)] = text;
    AddRow(at, KindName(kind), text, true);
}

void AlarmList::Cleared(const QDateTime& at, AlarmKind kind, const QString& text)
{
    raised_[AlarmIndex(kind)].reset();
    AddRow(at, KindName(kind), text, false);
}

void AlarmList::Update(AlarmKind kind, const QString& text)
{
    if (raised_[AlarmIndex(kind)])
        raised_[AlarmIndex(kind)] = text;
}

void AlarmList::Note(const QDateTime& at, const QString& text)
{
    AddRow(at, QString(), text, false);
}

void AlarmList::AddRow(const QDateTime& at, const QString& kind, const QString& text, bool raised)
{
    // The oldest rows go first: a receiver that flaps all night must not fill the memory.
    while (table_->rowCount() >= kMaxRows)
        table_->removeRow(0);
    const int row = table_->rowCount();
    table_->insertRow(row);
    table_->setItem(row, kTimeColumn, Cell(at.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
    table_->setItem(row, kKindColumn, Cell(kind));
    auto* item = Cell(text);
    if (raised) {
        QFont bold = item->font();
        bold.setBold(true);
        item->setFont(bold);
    }
    table_->setItem(row, kTextColumn, item);
    table_->scrollToBottom();
}

QString AlarmList::StatusText() const
{
    std::vector<AlarmKind> raised;
    for (const AlarmKind kind : kAlarmKinds)
        if (raised_[AlarmIndex(kind)])
            raised.push_back(kind);
    std::sort(raised.begin(), raised.end(),
              [](AlarmKind a, AlarmKind b) { return AlarmSeriousness(a) < AlarmSeriousness(b); });
    QStringList texts;
    for (const AlarmKind kind : raised)
        texts << *raised_[AlarmIndex(kind)];
    return texts.join(QStringLiteral(" · "));
}

int AlarmList::Rows() const
{
    return table_->rowCount();
}

} // namespace fixwatch
