#include "core/cmcPortMap.h"
#include "core/indEnviron.h"
#include "main/frmMain.h"
#include "main/indMain.h"
#include "overlay/cmcGTex.h"
#include "platform/cmcFatal.h"
#include "platform/cuiQtPrompter.h"
#include "sheets/cmcEvMan.h"
#include "views/cuiImageList.h"

#include <QApplication>

#include <exception>
#include <string>
#include <vector>

namespace {

// Installs a process-wide object for as long as it lives.
template <typename T>
struct Installed {
    explicit Installed(T& object) { T::SetApp(&object); }
    ~Installed() { T::SetApp(nullptr); }
    Installed(const Installed&) = delete;
    Installed& operator=(const Installed&) = delete;
};

int runProgram(QApplication& app, const std::vector<std::string>& args) {
    cuiQtPrompter prompter;
    cmcPrompter::install(&prompter);
    int status = 0;
    {
        // Constructed in this order and destroyed in reverse: the controller
        // uses the hub, the overlay and the settings up to its last moment.
        cmcGTex overlay;
        Installed<cmcGTex> overlayInstalled(overlay);
        cmcEvMan hub;
        Installed<cmcEvMan> hubInstalled(hub);
        indMain controller(args); // names the overlay file
        // A missing, empty or truncated overlay ends the program here, before any
        // window stands, not at the first entry it lacks in the middle of an edit.
        overlay.RequireEndMarker();

        TForm1 form(controller);
        prompter.setParentWindow(&form);
        status = app.exec();
        prompter.setParentWindow(nullptr);
    }
    cmcPrompter::install(nullptr);
    return status;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The radio on every window, and the desktop entry's name for the shells
    // that match windows to their launchers by it.
    app.setWindowIcon(cuiAppIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("marlo"));

    // The settings store comes first: it is also the single-instance guard, and a
    // second copy ends here silently, without a window and without saving anything.
    indEnviron settings;
    if (!settings.IsFirstInstance())
        return 0;
    Installed<cmcEnviron> settingsInstalled(settings);
    cmcPortMap::SetOverrides(settings.PortDevices);
    try {
        return runProgram(app, std::vector<std::string>(argv, argv + argc));
    } catch (const std::exception& e) {
        cmcFatal(e.what());
    }
}
