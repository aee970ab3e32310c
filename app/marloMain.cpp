#include "core/indEnviron.h"
#include "overlay/cmcGTex.h"
#include "platform/cuiQtPrompter.h"
#include "platform/programPath.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    // The settings store comes first: it is also the single-instance guard, and a
    // second copy ends here silently, without a window and without saving anything.
    indEnviron settings;
    if (!settings.IsFirstInstance())
        return 0;
    cmcEnviron::SetApp(&settings);

    cuiQtPrompter prompter;
    cmcPrompter::install(&prompter);

    cmcGTex overlay;
    overlay.SetFile(programDir() + "Marlo" + ".OVL");
    cmcGTex::SetApp(&overlay);

    QMainWindow window;
    window.setWindowTitle(QString::fromStdString(overlay.GetLine("GI_Sys_AppTitle", 0)));
    window.resize(800, 600);
    window.show();
    const int status = app.exec();

    cmcGTex::SetApp(nullptr);
    cmcPrompter::install(nullptr);
    cmcEnviron::SetApp(nullptr);
    return status;
}
