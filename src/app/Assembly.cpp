#include "app/Assembly.h"

#include "lists/ReportList.h"

namespace app {

shell::MainPages assembleMainPages()
{
    shell::MainPages pages;
    pages.listRowCount = [](QWidget *list) {
        auto *reportList = qobject_cast<ReportList *>(list);
        return reportList ? reportList->rowCount() : 0;
    };
    pages.clearList = [](QWidget *list) {
        if (auto *reportList = qobject_cast<ReportList *>(list))
            reportList->clear();
    };
    return pages;
}

} // namespace app
