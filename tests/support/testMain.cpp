#include "overlay/cmcGTex.h"
#include "platform/programPath.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    // Qt starts threads; death tests must re-execute the binary instead of forking it.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QApplication app(argc, argv);

    cmcGTex overlay;
    overlay.SetFile(programDir() + "Marlo.OVL");
    cmcGTex::SetApp(&overlay);
    const int status = RUN_ALL_TESTS();
    cmcGTex::SetApp(nullptr);
    return status;
}
