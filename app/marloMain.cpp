#include "app/marloVersion.h"
#include "core/marloSettings.h"
#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "core/portMap.h"
#include "main/mainWindow.h"
#include "main/radioAppController.h"
#include "overlay/overlayTexts.h"
#include "platform/fatalError.h"
#include "platform/signalEnd.h"
#include "views/imageList.h"
#include "views/qtPrompter.h"

#include <QApplication>

#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace marlo {

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
void applyTestEdit(AppController& controller) {
    const QByteArray edit = qgetenv("MARLO_TEST_EDIT");
    if (edit.isEmpty())
        return;
    const QList<QByteArray> parts = edit.split('=');
    bool addressOk = false;
    bool valueOk = false;
    const int address = parts.value(0).toInt(&addressOk, 16);
    const int value = parts.value(1).toInt(&valueOk, 16);
    MemoryImage& image = controller.CurrentImage();
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
    QtPrompter prompter;
    Prompter::Install(&prompter);
    int status = 0;
    {
        // Constructed in this order and destroyed in reverse: the controller
        // uses the hub, the overlay and the settings up to its last moment.
        OverlayTexts overlay;
        Installed<OverlayTexts> overlayInstalled(overlay);
        NotificationHub hub;
        Installed<NotificationHub> hubInstalled(hub);
        RadioAppController controller(args); // names the overlay file
        // A missing, empty or truncated overlay ends the program here, before any
        // window stands, not at the first entry it lacks in the middle of an edit.
        overlay.RequireEndMarker();

        MainWindow form(controller);
        // kill, a closed terminal and Ctrl+C end the program as closing it does.
        const SignalEnd signalEnd([&controller] { controller.EndWithoutQuestions(); });
        prompter.SetParentWindow(&form);
        applyTestEdit(controller);
        status = app.exec();
        prompter.SetParentWindow(nullptr);
    }
    Prompter::Install(nullptr);
    return status;
}

constexpr char helpText[] =
    "Usage: marlo [/expert] [/factory] [/gene] [FILE]\n"
    "Edits the memory of the radio: opens the clone file FILE, or starts an untitled\n"
    "document from the initial file of the model variant last chosen.\n"
    "\n"
    "Options:\n"
    "  /expert      expert mode: restricted values, band edges and expert settings\n"
    "               can be edited\n"
    "  /factory     factory mode: as expert mode, with the factory lines, the full\n"
    "               write range and new identity digits for each radio written\n"
    "  /gene        every transmit frequency from 1.6 to 30 MHz within the receive\n"
    "               band edge is admitted\n"
    "  -h, --help   show this help and exit\n"
    "  --version    show the version and exit\n"
    "The switches may be written in any letter case. Qt's own options, such as\n"
    "-platform NAME, are taken as well.\n"
    "\n"
    "Files:\n"
    "  ~/.config/Vexa/Marlo.conf        the settings\n"
    "  ~/.local/share/Vexa/Marlo/Recovered-*.vcf\n"
    "                                   unsaved changes kept when a signal ended marlo\n"
    "\n"
    "marlo exits with 0, or 3 when its installation files cannot be used.\n";

// GNU habits, before any display is needed: true when the arguments asked for
// the help or the version, which has then been printed.
bool answeredInformation(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(helpText, stdout);
            return true;
        }
        if (arg == "--version") {
            std::fputs("marlo " MARLO_VERSION "\n", stdout);
            return true;
        }
    }
    return false;
}

} // namespace

} // namespace marlo

using namespace marlo;

int main(int argc, char* argv[]) {
    if (answeredInformation(argc, argv))
        return 0;
    QApplication app(argc, argv);
    // The radio on every window, and the desktop entry's name for the shells
    // that match windows to their launchers by it.
    app.setWindowIcon(appIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("marlo"));
    // Names the user's data folder (the recovery files); the settings file is
    // named by the settings store itself.
    QCoreApplication::setOrganizationName(QStringLiteral("Vexa"));
    QCoreApplication::setApplicationName(QStringLiteral("Marlo"));

    // The settings store comes first: it is also the single-instance guard, and a
    // second copy ends here silently, without a window and without saving anything.
    MarloSettings settings;
    if (!settings.IsFirstInstance())
        return 0;
    Installed<SettingsStore> settingsInstalled(settings);
    PortMap::SetOverrides(settings.PortDevices);
    try {
        return runProgram(app, std::vector<std::string>(argv, argv + argc));
    } catch (const std::exception& e) {
        fatalError(e.what());
    }
}
