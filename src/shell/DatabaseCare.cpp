#include "shell/DatabaseCare.h"

#include "context/AppContext.h"
#include "context/ShopDatabase.h"
#include "data/DataMove.h"
#include "data/DatabaseBackup.h"
#include "data/DatabaseRestore.h"
#include "data/SchemaUpgrade.h"
#include "platform/Clock.h"
#include "platform/MessageSeam.h"
#include "platform/ProgramDir.h"
#include "platform/ProgramLog.h"
#include "shell/DatabaseSettingsWindow.h"
#include "shell/MainPages.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>

namespace shell {

namespace {

// The wait cursor while a long step runs on the window's thread.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

// Lets the window paint its progress now and then, without taking the user's clicks and keys.
constexpr int progressPaintMs = 100;

} // namespace

void backupSqlServerDatabase(AppContext &context)
{
    WaitCursor wait;
    const data::BackupResult result =
        data::backupDatabase(context.sqlServerSettings, ProgramDir::path(), Clock::now().date());
    if (!result.ok)
        programlog::write(QStringLiteral("数据自动备份失败：") + result.file + QStringLiteral(" -- ") + result.error);
}

void closeMainConnections(AppContext &context)
{
    context.connection().close();
}

RestoreOutcome restoreSqlServerDatabase(AppContext &context, bool networkTicked, const QString &backupFile,
                                        QWidget *parent)
{
    if (!networkTicked) {
        MessageSeam::message(parent, QString(), RestoreSingleMachineText);
        return RestoreOutcome::NotNetwork;
    }
    if (backupFile.isEmpty()) {
        MessageSeam::message(parent, QString(), RestoreNothingChosenText);
        return RestoreOutcome::NothingChosen;
    }
    if (!MessageSeam::question(parent, RestoreTitle, RestoreQuestionText.arg(backupFile), MessageIcon::Warning,
                               DefaultAnswer::No))
        return RestoreOutcome::Cancelled;
    closeMainConnections(context);
    data::RestoreResult result;
    {
        WaitCursor wait;
        result = data::restoreDatabase(context.sqlServerSettings,
                                       QDir(data::backupFolder(ProgramDir::path())).filePath(backupFile));
    }
    if (!result.ok) {
        programlog::write(QStringLiteral("数据库还原失败：") + backupFile + QStringLiteral(" -- ") + result.error);
        openShopDatabase(context); // the program works on with the database as it was
        MessageSeam::message(parent, QString(), RestoreFailedText);
        return RestoreOutcome::Failed;
    }
    MessageSeam::message(parent, QString(), RestoredText);
    return RestoreOutcome::Restored;
}

QString moveQuestionText()
{
    return QStringLiteral("单机版一键搬迁：此操作将数据搬迁至网络版SQL数据库\r\n"
                          "请确认已将程序目录下的SQL模版导入SQL数据\r\n"
                          "搬迁以下数据表的全部数据（每一列，含商品和店铺的库存报警设置）：")
           + data::shopTables().join(QStringLiteral("、"));
}

QString moveProgressText(const QString &caption, data::DataMoveStep step, const QString &table, qint64 moved,
                         qint64 total)
{
    const qint64 percent = total > 0 ? moved * 100 / total : 100;
    const QString doing = step == data::DataMoveStep::Indexes ? QStringLiteral("正在建立索引（%1）…").arg(table)
                                                               : QStringLiteral("正在搬迁 %1").arg(table);
    return QStringLiteral("%1（已完成 %2%，%3/%4 行，%5）").arg(caption).arg(percent).arg(moved).arg(total).arg(doing);
}

QString moveNulCellsList(const QList<std::pair<QString, qint64>> &nulCells)
{
    QStringList parts;
    for (const auto &[table, cells] : nulCells)
        parts << QStringLiteral("%1 %2 个单元格").arg(table).arg(cells);
    return parts.join(QStringLiteral("、"));
}

MoveOutcome migrateToNetworkDatabase(AppContext &context, QLabel *movingLabel, QWidget *parent)
{
    if (!MessageSeam::question(parent, MoveTitle, moveQuestionText(), MessageIcon::Warning, DefaultAnswer::No))
        return MoveOutcome::Cancelled;
    data::Connection target;
    if (!target.openPostgres(context.sqlServerSettings)) {
        MessageSeam::message(parent, QString(), MoveNoServerText);
        return MoveOutcome::NoServer;
    }
    data::Connection source;
    if (!source.openSqlite(ProgramDir::file(QStringLiteral("qi.db")), data::shopTables())) {
        MessageSeam::message(parent, QString(), MoveNoSourceText + QStringLiteral("\r\n") + source.lastError());
        return MoveOutcome::NoSource;
    }

    const QString caption = movingLabel ? movingLabel->text() : QString();
    QElapsedTimer sincePaint;
    sincePaint.start();
    const auto progress = [&](data::DataMoveStep step, const QString &table, qint64 moved, qint64 total) {
        if (!movingLabel
            || (step == data::DataMoveStep::Rows && moved > 0 && moved < total && sincePaint.elapsed() < progressPaintMs))
            return;
        movingLabel->setText(moveProgressText(caption, step, table, moved, total));
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        sincePaint.restart();
    };
    if (movingLabel) {
        movingLabel->show();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    data::DataMoveResult result;
    {
        WaitCursor wait;
        result = data::moveShopData(source, target, progress);
    }
    if (movingLabel) {
        movingLabel->hide();
        movingLabel->setText(caption);
    }

    switch (result.outcome) {
    case data::DataMoveResult::Moved:
        if (result.nulCells.isEmpty()) {
            MessageSeam::message(parent, QString(), MovedText);
        } else {
            const QString list = moveNulCellsList(result.nulCells);
            programlog::write(QStringLiteral("数据搬迁：以下单元格含空字符（NUL），已去掉空字符后搬迁：") + list);
            MessageSeam::message(parent, QString(), MovedText + QStringLiteral("\r\n") + MovedNulCellsText.arg(list));
        }
        return MoveOutcome::Moved;
    case data::DataMoveResult::NotShopDatabase:
        MessageSeam::message(parent, QString(), MoveNoTemplateText);
        return MoveOutcome::NoTemplate;
    case data::DataMoveResult::TargetHoldsData:
        MessageSeam::message(parent, QString(), MoveRefusedText.arg(result.table));
        return MoveOutcome::Refused;
    case data::DataMoveResult::Failed:
        break;
    }
    programlog::write(QStringLiteral("数据搬迁失败，已全部撤销：") + result.table + QStringLiteral(" -- ") + result.error);
    QString text = MoveFailedText;
    if (!result.table.isEmpty() || !result.error.isEmpty())
        text += QStringLiteral("\r\n") + result.table + QStringLiteral("：") + result.error;
    MessageSeam::message(parent, QString(), text);
    return MoveOutcome::Failed;
}

void installDatabaseCare(MainPages &pages)
{
    pages.backupNetworkDatabase = [](AppContext &context) { backupSqlServerDatabase(context); };
    DatabaseSettingsWindow::Hooks hooks;
    hooks.restoreDatabase = [](DatabaseSettingsWindow &window) {
        if (restoreSqlServerDatabase(window.context(), window.networkModeTicked(), window.selectedBackupFile(), &window)
            == RestoreOutcome::Restored)
            QCoreApplication::exit(0); // the database under the program's windows is another now
    };
    hooks.migrateToNetworkDatabase = [](DatabaseSettingsWindow &window) {
        migrateToNetworkDatabase(window.context(), window.movingLabel(), &window);
    };
    DatabaseSettingsWindow::setHooks(std::move(hooks));
}

} // namespace shell
