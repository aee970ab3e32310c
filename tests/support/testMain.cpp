#include "overlay/overlayTexts.h"
#include "platform/programPath.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string_view>

using namespace marlo;

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Whatever the tests leave in the temporary folder lands in one folder of this
    // run, removed at its end: death tests' children end at once, without their
    // destructors, and so do tests that fail half-way. A child uses its parent's.
    const bool deathTestChild = std::any_of(argv, argv + argc, [](const char* arg) {
        return std::string_view(arg).starts_with("--gtest_internal_run_death_test");
    });
    std::unique_ptr<QTemporaryDir> scratch;
    if (!deathTestChild) {
        scratch = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/marlo-tests-XXXXXX");
        if (scratch->isValid())
            qputenv("TMPDIR", scratch->path().toLocal8Bit());
    }
    ::testing::InitGoogleTest(&argc, argv);
    // Qt starts threads; death tests must re-execute the binary instead of forking it.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QApplication app(argc, argv);

    OverlayTexts overlay;
    overlay.SetFile(programDir() + "Marlo.OVL");
    OverlayTexts::SetApp(&overlay);
    const int status = RUN_ALL_TESTS();
    OverlayTexts::SetApp(nullptr);
    return status;
}
