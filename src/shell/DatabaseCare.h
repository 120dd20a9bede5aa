#pragma once
// Care of the network database: the daily backup when the main window closes, the restore of a
// backup (按钮5 of the database settings window) and the one-time move of the single-machine data
// into a new network database (按钮7). The handlers show their messages through MessageSeam.
#include "data/DataMove.h"

#include <QList>
#include <QString>
#include <utility>

class AppContext;
class QLabel;
class QWidget;

namespace shell {

struct MainPages;

inline const QString RestoreSingleMachineText = QStringLiteral("单机版无需还原数据库！");
inline const QString RestoreNothingChosenText = QStringLiteral("还未选择要还原的日期！");
inline const QString RestoredText = QStringLiteral("还原成功!，请重启软件！");
inline const QString RestoreFailedText = QStringLiteral("还原失败!");
inline const QString RestoreTitle = QStringLiteral("恢复数据库");
// %1: the chosen day's backup.
inline const QString RestoreQuestionText =
    QStringLiteral("确定要用 %1 的备份还原数据库吗？\r\n所有店铺的数据都将回到 %1 备份时的状态，此后录入的数据将全部丢失；"
                   "所有工作站与数据库的连接都将断开，还原后每台工作站都须重启软件。");

inline const QString MoveTitle = QStringLiteral("数据搬迁");
// The question before the move: what it does, the template it needs, and what it copies (every
// shop table named, with every column).
QString moveQuestionText();
inline const QString MoveNoServerText = QStringLiteral("数据库连接失败！");
inline const QString MoveNoSourceText = QStringLiteral("单机版数据库打开失败，未搬迁任何数据！");
inline const QString MoveNoTemplateText =
    QStringLiteral("网络版数据库中没有本程序的数据表，请先将程序目录下的SQL模版 postgres.sql 导入该数据库！");
inline const QString MoveRefusedText =
    QStringLiteral("网络版数据库中已有搬迁过的数据（表 %1），同一个数据库名请勿重复搬迁，本次未搬迁任何数据！");
inline const QString MoveFailedText = QStringLiteral("数据搬迁失败，网络版数据库未作任何改动！");
inline const QString MovedText = QStringLiteral("数据库已搬迁完成！同一个数据库名请勿重复使用该功能！");
// After MovedText when cells lost their NUL characters; %1: moveNulCellsList.
inline const QString MovedNulCellsText =
    QStringLiteral("网络版数据库不能保存空字符（NUL），以下单元格已去掉其中的空字符，其余内容不变：%1");

// The backup step of the main window's closing in network mode: today's file (by the program's
// clock) in backup/ of the program directory. Shows nothing; a failure goes to the program log
// and the closing goes on.
void backupSqlServerDatabase(AppContext &context);

// Closes the program's one shop connection (every window's record sets lose their rows with it).
void closeMainConnections(AppContext &context);

enum class RestoreOutcome { NotNetwork, NothingChosen, Cancelled, Restored, Failed };

// The restore of 按钮5: refused unless the window's 网络版 box is ticked and a backup file is
// chosen, and asked first (Yes/No, naming the day and that every workstation is disconnected;
// Enter answers No), all before any connection is touched; on Yes the shop connection is closed and the database
// replaced by the file's content. After a failure the database is as it was and the
// shop connection is opened again; after a success it stays closed, for the program ends.
RestoreOutcome restoreSqlServerDatabase(AppContext &context, bool networkTicked, const QString &backupFile,
                                        QWidget *parent);

// The moving label while the data moves: its caption, the share of the rows moved in whole
// per cent, the rows moved and all rows, and what it is doing: moving a table's rows, or building
// a table's indexes again once every row is written.
QString moveProgressText(const QString &caption, data::DataMoveStep step, const QString &table, qint64 moved,
                         qint64 total);

// The tables whose cells lost NUL characters in the move, with how many cells: "销售明细 2 个单元格、...".
QString moveNulCellsList(const QList<std::pair<QString, qint64>> &nulCells);

enum class MoveOutcome { Cancelled, NoServer, NoSource, NoTemplate, Refused, Failed, Moved };

// The data move of 按钮7: asks first (Enter answers No), then copies qi.db of the program directory into the
// database of the context's server settings in one transaction, showing movingLabel while it
// runs. The completion message follows the commit only.
MoveOutcome migrateToNetworkDatabase(AppContext &context, QLabel *movingLabel, QWidget *parent);

// Gives the main window its backup step and the database settings window its 按钮5 and 按钮7.
// After a successful restore the program ends once its message is closed.
void installDatabaseCare(MainPages &pages);

} // namespace shell
