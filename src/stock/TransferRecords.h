#pragma once
// The transfer records window "调拨记录": the transfers this shop sent or received, of a month or
// a day, with a red total row, and their export.
#include <QDate>
#include <QDialog>
#include <QList>
#include <QStringList>

#include "data/Sql.h"

class AppContext;
class QDateEdit;
class ReportList;

namespace stock {

enum class TransferDirection { Sent, Received };
// The shop's transfers of the month (day false) or the day of `date`, by id.
data::Sql transferRecordsSql(AppContext &context, TransferDirection direction, const QDate &date, bool day);
// The list lines (13 cells) of the records, and the total row when there are any; cost only with
// 查看进价.
QList<QStringList> transferRecordLines(AppContext &context, const data::Sql &sql, bool *ok = nullptr);

class TransferRecordsWindow : public QDialog
{
    Q_OBJECT
public:
    explicit TransferRecordsWindow(AppContext &context, QWidget *parent = nullptr);

    void listTransfersOutOfMonth();      // 月调出
    void listTransfersOutOfDay();        // 天调出
    void listReceivedTransfersOfMonth(); // 月调入
    void listReceivedTransfersOfDay();   // 天调入
    void exportTransferRecords();        // 超级按钮2

    ReportList *list() const { return m_list; }
    QDateEdit *dateBox() const { return m_date; }

private:
    void fill(const data::Sql &sql);

    AppContext &m_context;
    ReportList *m_list;
    QDateEdit *m_date;
};

void openTransferRecordsWindow(AppContext &context, QWidget *parent);

} // namespace stock
