// Ending the program on a signal, and the recovery file it may leave behind.
#include "main/cuiMain.h"

#include "core/cmcEeprom.h"
#include "core/cmcEnviron.h"
#include "overlay/cmcGTex.h"
#include "sheets/cmcColorTable.h"
#include "sheets/cmcEvMan.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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

void cuiMain::EndWithoutQuestions() {
    endingQuietly_ = true;
    // A failure box now would wait for a user who is not there: it goes to stderr.
    cmcStderrPrompter quiet;
    cmcPrompter* previous = cmcPrompter::install(&quiet);
    if (UpdateModified()) {
        const std::string path = recoveryPath();
        if (!path.empty() && SavePreparedCopy(path)) {
            recoveryFile_ = path;
            cmcEnviron::App().RecoveryFile = path;
        }
    }
    cmcPrompter::install(previous);
    if (form_) {
        StorePlacement();
        form_->close();
    }
    QCoreApplication::quit();
}

void cuiMain::ReportRecoveryFile() {
    cmcEnviron& settings = cmcEnviron::App();
    const std::string path = settings.RecoveryFile;
    settings.RecoveryFile.clear();
    if (path.empty() || !QFileInfo::exists(QString::fromStdString(path)))
        return;
    std::string text = cmcGTex::App().GetLine(kRecoveryText);
    const auto at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, path);
    cmcEvMan::App().PostText(evStatusText, cmcEvColourObject(kClWindowText),
                             static_cast<std::int32_t>(kClBtnFace), text);
}
