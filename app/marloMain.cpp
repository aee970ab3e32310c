#include "core/cmcEeprom.h"
#include "core/cmcPortMap.h"
#include "core/indEnviron.h"
#include "main/frmMain.h"
#include "main/indMain.h"
#include "overlay/cmcGTex.h"
#include "platform/cmcFatal.h"
#include "platform/cuiSignalEnd.h"
#include "sheets/cmcEvMan.h"
#include "views/cuiImageList.h"
#include "views/cuiQtPrompter.h"

#include <QApplication>

#include <cstdio>
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

// Test hook: MARLO_TEST_EDIT="ADDRESS=VALUE" (hex) changes one byte of the
// document once the window stands, as an edit would, so that a test can end a
// real program with unsaved changes; any other text changes nothing. Either way
// a line on stderr tells the test that the window and the signal handling stand.
void applyTestEdit(cuiMain& controller) {
    const QByteArray edit = qgetenv("MARLO_TEST_EDIT");
    if (edit.isEmpty())
        return;
    const QList<QByteArray> parts = edit.split('=');
    bool addressOk = false;
    bool valueOk = false;
    const int address = parts.value(0).toInt(&addressOk, 16);
    const int value = parts.value(1).toInt(&valueOk, 16);
    cmcEeprom& image = controller.CurrentImage();
    if (parts.size() != 2 || !addressOk || !valueOk || value < 0 || value > 0xFF ||
        !image.IsValidAddress(address)) {
        std::fputs("marlo: test edit ignored\n", stderr);
        return;
    }
    image.SetByte(address, static_cast<std::uint8_t>(value));
    controller.UpdateModified();
    std::fputs("marlo: test edit applied\n", stderr);
}

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
        // kill, a closed terminal and Ctrl+C end the program as closing it does.
        const cuiSignalEnd signalEnd([&controller] { controller.EndWithoutQuestions(); });
        prompter.setParentWindow(&form);
        applyTestEdit(controller);
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
    // Names the user's data folder (the recovery files); the settings file is
    // named by the settings store itself.
    QCoreApplication::setOrganizationName(QStringLiteral("Vexa"));
    QCoreApplication::setApplicationName(QStringLiteral("Marlo"));

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
