#include "clone/cmcSettingsSnapshot.h"

#include "clone/cmcPortMap.h"
#include "core/indEnviron.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// The same screen the store assumes without a display; the window bounds it
// derives from it are never used here.
constexpr cmcScreenSize anyScreen{1024, 768};
constexpr int highestPort = 256;

} // namespace

std::string cmcSettingsSnapshot::UserSettingsFile() {
    // The store names its file after its key: "Software\Vexa\Marlo" is
    // <config>/Vexa/Marlo.conf.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("Vexa/Marlo.conf")).toStdString();
}

cmcSettingsSnapshot::cmcSettingsSnapshot(const std::string& userFile)
    : folder_(std::make_unique<QTemporaryDir>()) {
    cmcEnvironPlaces places;
    places.screen = anyScreen;
    if (folder_->isValid()) {
        const QString copy = folder_->filePath(QStringLiteral("Marlo.conf"));
        QFile::copy(QString::fromStdString(userFile), copy);
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        places.settingsFile = copy.toStdString();
        places.lockFolder = folder_->path().toStdString();
    } else {
        // No private folder: a store over a file that cannot exist reads the
        // defaults and its save fails harmlessly.
        places.settingsFile = "/nonexistent/marlo-clone/Marlo.conf";
        places.lockFolder = "/nonexistent/marlo-clone";
    }
    store_ = std::make_unique<indEnviron>(places);
    cmcEnviron::SetApp(store_.get());
    cmcPortMap::SetOverrides(cmcReadPortOverrides(places.settingsFile));
}

cmcSettingsSnapshot::~cmcSettingsSnapshot() {
    cmcEnviron::SetApp(nullptr);
    store_.reset();
    cmcPortMap::SetOverrides({});
}

std::map<int, std::string> cmcReadPortOverrides(const std::string& settingsFile) {
    QSettings settings(QString::fromStdString(settingsFile), QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Ports"));
    std::map<int, std::string> overrides;
    for (int port = 1; port <= highestPort; ++port) {
        const QVariant value =
            settings.value(QString::fromStdString(cmcPortMap::SettingName(port)));
        if (value.typeId() == QMetaType::QString && !value.toString().isEmpty())
            overrides.emplace(port, value.toString().toStdString());
    }
    return overrides;
}
