// Ending the program on a signal, and the recovery file it may leave behind.
#include "main/appController.h"

#include "core/memoryImage.h"
#include "core/notificationHub.h"
#include "core/settingsStore.h"
#include "overlay/overlayTexts.h"
#include "sheets/colourTable.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace marlo {

namespace {

constexpr char kRecoveryText[] = "GI_Bottom_RecoveryFile"; // "%s": the file's path

std::string recoveryPath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return {};
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    return QDir(folder).filePath(QStringLiteral("Recovered-%1.vcf").arg(stamp)).toStdString();
}

} // namespace

void AppController::EndWithoutQuestions() {
    endingQuietly_ = true;
    // A failure box now would wait for a user who is not there: it goes to stderr.
    StderrPrompter quiet;
    Prompter* previous = Prompter::Install(&quiet);
    if (UpdateModified()) {
        const std::string path = recoveryPath();
        if (!path.empty() && SavePreparedCopy(path)) {
            recoveryFile_ = path;
            SettingsStore::App().RecoveryFile = path;
        }
    }
    Prompter::Install(previous);
    if (form_) {
        StorePlacement();
        form_->close();
    }
    QCoreApplication::quit();
}

void AppController::ReportRecoveryFile() {
    SettingsStore& settings = SettingsStore::App();
    const std::string path = settings.RecoveryFile;
    settings.RecoveryFile.clear();
    if (path.empty() || !QFileInfo::exists(QString::fromStdString(path)))
        return;
    std::string text = OverlayTexts::App().GetLine(kRecoveryText);
    const auto at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, path);
    NotificationHub::App().PostText(evStatusText, colourAsHubObject(kClWindowText),
                                    static_cast<std::int32_t>(kClBtnFace), text);
}

} // namespace marlo
