#include <QApplication>
#include <benchmark/benchmark.h>

#include "platform/FreedMemory.h"

// main() for benchmark programs that define none: widgets need a QApplication; no screen is needed.
// The heap is set up as the program's own main() sets it.
int main(int argc, char **argv)
{
    platform::keepFreedMemoryForReuse();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
