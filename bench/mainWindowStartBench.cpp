// Start-up of the main window to its first painted sheet, against an empty
// QMainWindow shown the same way, in one run: the times, their ratio and the
// resident memory each adds. Run under a real X server (or offscreen):
//   bench_mainwin_start [rounds]
#include "core/notificationHub.h"
#include "core/settingsStore.h"
#include "main/mainWindow.h"
#include "main/radioAppController.h"
#include "overlay/overlayTexts.h"
#include "platform/programPath.h"
#include "views/grid.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMainWindow>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

using namespace marlo;

namespace {

long residentKiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * 4;
}

// Waits, in the event loop, for the first paint of the widget `target` returns.
class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void runUntil(const std::function<bool()>& done) {
    QElapsedTimer limit;
    limit.start();
    while (!done() && limit.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Sample {
    double ms = 0;
    long kib = 0;
};

Sample emptyWindow() {
    const long before = residentKiB();
    QElapsedTimer timer;
    timer.start();
    QMainWindow form;
    form.resize(800, 600);
    form.setCentralWidget(new QWidget(&form));
    FirstPaint paint;
    form.centralWidget()->installEventFilter(&paint);
    form.show();
    runUntil([&] { return paint.painted; });
    return {static_cast<double>(timer.nsecsElapsed()) / 1e6, residentKiB() - before};
}

Sample mainWindow() {
    const long before = residentKiB();
    QElapsedTimer timer;
    timer.start();
    RadioAppController controller(std::vector<std::string>{"marlo"});
    MainWindow form(controller);
    FirstPaint paint;
    QWidget* watched = nullptr;
    runUntil([&] {
        if (watched == nullptr && controller.ShownSheet() != nullptr) {
            watched = controller.ShownSheet()->Grid()->viewport();
            watched->installEventFilter(&paint);
            watched->update();
        }
        return paint.painted;
    });
    const Sample s{static_cast<double>(timer.nsecsElapsed()) / 1e6, residentKiB() - before};
    if (watched != nullptr)
        watched->removeEventFilter(&paint);
    return s;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir folder;
    SettingsStore settings("start bench lock", "Software\\Bench\\Start",
                           SettingsPlaces{folder.filePath("Marlo.conf").toStdString(),
                                          folder.path().toStdString(), ScreenSize{1024, 768}});
    SettingsStore::SetApp(&settings);
    NotificationHub hub;
    NotificationHub::SetApp(&hub);
    OverlayTexts overlay;
    OverlayTexts::SetApp(&overlay);

    // The first of each warms the caches of Qt (fonts, styles) and is not counted.
    const Sample emptyFirst = emptyWindow();
    const Sample mainFirst = mainWindow();
    std::vector<double> empty;
    std::vector<double> main;
    for (int i = 0; i < rounds; ++i) {
        empty.push_back(emptyWindow().ms);
        main.push_back(mainWindow().ms);
    }
    const double e = median(empty);
    const double m = median(main);
    std::printf("empty QMainWindow to first paint: %.1f ms (first %.1f ms, +%ld KiB)\n", e,
                emptyFirst.ms, emptyFirst.kib);
    std::printf("main window to first painted sheet: %.1f ms (first %.1f ms, +%ld KiB)\n", m,
                mainFirst.ms, mainFirst.kib);
    std::printf("ratio: %.2f over %d rounds; resident now %ld KiB\n", m / e, rounds, residentKiB());

    hub.Shutdown();
    NotificationHub::SetApp(nullptr);
    OverlayTexts::SetApp(nullptr);
    SettingsStore::SetApp(nullptr);
    return 0;
}
