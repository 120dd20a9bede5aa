// The report list at 100,000 rows of 20 columns: filling it, sorting it by a text column and by a
// number column, and exporting it to a workbook. The widget cases need a QApplication; under a
// QCoreApplication they are skipped and the same work is measured on the rows alone.
#include "lists/ExcelExport.h"
#include "lists/ListSort.h"
#include "lists/ReportList.h"
#include "lists/ReportListModel.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int benchRows = 100000;
constexpr int benchColumns = 20;
constexpr int textColumn = 2;   // a product name: Chinese and ASCII, many duplicates
constexpr int numberColumn = 7; // a quantity with decimals

const QList<QStringList> &benchData()
{
    static const QList<QStringList> rows = [] {
        const QStringList names = {QStringLiteral("衬衫"), QStringLiteral("长裤"), QStringLiteral("外套"),
                                   QStringLiteral("T恤"),  QStringLiteral("连衣裙"), QStringLiteral("牛仔裤"),
                                   QStringLiteral("polo衫"), QStringLiteral("阿迪运动裤")};
        QRandomGenerator rng(20150311);
        QList<QStringList> out;
        out.reserve(benchRows);
        for (int r = 0; r < benchRows; ++r) {
            QStringList cells;
            cells.reserve(benchColumns);
            for (int c = 0; c < benchColumns; ++c) {
                switch (c) {
                case 0: cells.append(QString::number(r + 1)); break;
                case textColumn:
                    cells.append(names[int(rng.bounded(names.size()))] + QString::number(rng.bounded(5000)));
                    break;
                case numberColumn: cells.append(QString::number(rng.bounded(100000) / 100.0)); break;
                default: cells.append(QStringLiteral("K%1-%2").arg(r).arg(c)); break;
                }
            }
            out.append(cells);
        }
        return out;
    }();
    return rows;
}

bool haveWidgets()
{
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
}

void addColumns(ReportList &list)
{
    list.addColumn(QString(), 0);
    for (int c = 1; c < benchColumns; ++c)
        list.addColumn(QStringLiteral("列%1").arg(c), 80);
}

void addColumns(ReportListModel &model)
{
    for (int c = 0; c < benchColumns; ++c)
        model.addColumn(QStringLiteral("列%1").arg(c));
}

void fillModel(ReportListModel &model)
{
    for (const QStringList &row : benchData())
        model.appendRow(row);
}

// Filling a list that is not on screen, as the pages fill them (hidden while filling).
void BM_ListFillWidget(benchmark::State &state)
{
    if (!haveWidgets()) {
        state.SkipWithError("needs a QApplication");
        return;
    }
    benchData();
    for (auto _ : state) {
        ReportList list;
        addColumns(list);
        for (const QStringList &row : benchData())
            list.addRow(row);
        benchmark::DoNotOptimize(list.rowCount());
        state.PauseTiming();
        list.clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * benchRows);
}
BENCHMARK(BM_ListFillWidget)->Unit(benchmark::kMillisecond);

// Filling a list on screen that scrolls every new row into view.
void BM_ListFillWidgetShownScrolling(benchmark::State &state)
{
    if (!haveWidgets()) {
        state.SkipWithError("needs a QApplication");
        return;
    }
    benchData();
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<ReportList>();
        list->resize(900, 500);
        addColumns(*list);
        list->show();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        for (const QStringList &row : benchData())
            list->ensureRowVisible(list->addRow(row));
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(list->rowCount());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * benchRows);
}
BENCHMARK(BM_ListFillWidgetShownScrolling)->Unit(benchmark::kMillisecond);

void BM_ListFillRows(benchmark::State &state)
{
    benchData();
    for (auto _ : state) {
        ReportListModel model;
        addColumns(model);
        fillModel(model);
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * benchRows);
}
BENCHMARK(BM_ListFillRows)->Unit(benchmark::kMillisecond);

// Sorting alternates the direction, so every round really reorders the rows. On a shown list when
// there is a QApplication, else on the rows alone.
void sortBench(benchmark::State &state, int column, int type)
{
    std::unique_ptr<ReportList> list;
    std::unique_ptr<ReportListModel> own;
    ReportListModel *model = nullptr;
    if (haveWidgets()) {
        list = std::make_unique<ReportList>();
        list->resize(900, 500);
        addColumns(*list);
        for (const QStringList &row : benchData())
            list->addRow(row);
        list->show();
        QCoreApplication::processEvents();
        model = list->listModel();
    } else {
        own = std::make_unique<ReportListModel>();
        addColumns(*own);
        fillModel(*own);
        model = own.get();
    }
    bool ascending = true;
    for (auto _ : state) {
        const QString result = list ? sortListViewByColumn(list.get(), column, ascending, false, type)
                                    : sortReportListModel(model, column, ascending, false, type);
        if (list)
            QCoreApplication::processEvents(); // the repaint that follows
        benchmark::DoNotOptimize(result);
        ascending = !ascending;
    }
    state.SetLabel(list ? "shown list" : "rows only");
    state.SetItemsProcessed(state.iterations() * benchRows);
}

void BM_ListSortText(benchmark::State &state) { sortBench(state, textColumn, ListSortType::Text); }
BENCHMARK(BM_ListSortText)->Unit(benchmark::kMillisecond);

void BM_ListSortNumber(benchmark::State &state) { sortBench(state, numberColumn, ListSortType::Double); }
BENCHMARK(BM_ListSortNumber)->Unit(benchmark::kMillisecond);

void BM_ListExportExcel(benchmark::State &state)
{
    ReportListModel model;
    addColumns(model);
    fillModel(model);
    QTemporaryDir dir;
    for (auto _ : state) {
        const bool ok = exportListModelToExcel(&model, dir.path(), QStringLiteral("销售明细2015年03月11号14点5"));
        if (!ok)
            state.SkipWithError("export failed");
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations() * benchRows);
}
BENCHMARK(BM_ListExportExcel)->Unit(benchmark::kMillisecond);

} // namespace
