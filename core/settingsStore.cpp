#include "core/settingsStore.h"

#include "core/portMap.h"
#include "platform/fatalError.h"
#include "platform/instanceLock.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <limits>

namespace marlo {

namespace {

SettingsStore* appStore = nullptr;

// Used when there is no screen to ask (no GUI application, no display).
constexpr ScreenSize kFallbackScreen{1024, 768};

ScreenSize primaryScreenSize() {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return kFallbackScreen;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return kFallbackScreen;
    return {screen->size().width(), screen->size().height()};
}

// "Software\Maker\Program" -> <config>/Maker/Program.conf
QString settingsPathForKey(const std::string& key) {
    QStringList parts = QString::fromStdString(key).split(u'\\', Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.front().compare(u"Software", Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    if (parts.isEmpty())
        parts << QStringLiteral("settings");
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(parts.join(u'/') + QStringLiteral(".conf"));
}

// An integer in the file is decimal text (or a Qt-encoded number); anything else,
// and anything beyond 32 bits, is of the wrong type and counts as missing.
std::optional<std::int32_t> toInt32(const QVariant& value) {
    qint64 n = 0;
    bool ok = false;
    switch (value.typeId()) {
    case QMetaType::QString:
        n = value.toString().trimmed().toLongLong(&ok, 10);
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        n = value.toLongLong(&ok);
        break;
    default:
        break;
    }
    if (!ok || n < std::numeric_limits<std::int32_t>::min() ||
        n > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(n);
}

// Reads the values of one INI group at a time; the first missing integer spoils the
// whole load.
class SettingsReader {
public:
    explicit SettingsReader(QSettings& settings) : settings_(settings) {}

    ~SettingsReader() { closeGroup(); }

    void group(const char* name) {
        closeGroup();
        settings_.beginGroup(QString::fromLatin1(name));
        inGroup_ = true;
    }
    bool integer(const char* name, int& out) {
        const auto n = toInt32(settings_.value(QString::fromLatin1(name)));
        if (n)
            out = *n;
        return n.has_value();
    }
    std::string text(const QString& name) {
        const QVariant value = settings_.value(name);
        if (value.typeId() != QMetaType::QString)
            return {};
        return value.toString().toStdString();
    }

private:
    void closeGroup() {
        if (inGroup_)
            settings_.endGroup();
        inGroup_ = false;
    }

    QSettings& settings_;
    bool inGroup_ = false;
};

QString recentName(int index) {
    return QStringLiteral("Recent%1").arg(index);
}

// A settings path that names something other than a regular file (a FIFO, a
// device, a folder) would block or mislead the reader: it is not read, and not
// written over either. No file at all is a first run.
bool usableSettingsFile(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status) || std::filesystem::is_regular_file(status))
        return true;
    std::fprintf(stderr,
                 "The settings file %s is not a regular file; the default settings are "
                 "used and nothing is saved there.\n",
                 path.c_str());
    return false;
}

} // namespace

SettingsStore::SettingsStore(const std::string& mutexName, const std::string& key,
                             const SettingsPlaces& places, Access access)
    : settingsFile_(places.settingsFile.empty() ? settingsPathForKey(key).toStdString()
                                                : places.settingsFile),
      screen_(places.screen.value_or(primaryScreenSize())) {
    const bool usable = usableSettingsFile(settingsFile_);
    if (access == Access::ReadOnly) {
        firstInstance_ = true;
        if (!usable || !Load() || Signature != kSignature)
            ApplyDefaults();
        if (usable)
            LoadPortDevices();
        return;
    }
    lock_ = std::make_unique<InstanceLock>(mutexName, places.lockFolder);
    switch (lock_->state()) {
    case InstanceLock::State::HeldElsewhere:
        return;
    case InstanceLock::State::Unavailable:
        // Refusing to start would leave the user with a program that silently does
        // nothing; running unguarded only risks a second copy's settings.
        std::fprintf(stderr, "Cannot create the single-instance lock '%s'; running without it.\n",
                     lock_->filePath().empty() ? mutexName.c_str() : lock_->filePath().c_str());
        break;
    case InstanceLock::State::Held:
        break;
    }
    firstInstance_ = true;
    saves_ = usable;
    if (!usable || !Load() || Signature != kSignature)
        ApplyDefaults();
    if (usable)
        LoadPortDevices();
}

SettingsStore::~SettingsStore() {
    if (saves_ && Signature == kSignature)
        Save();
    // The lock goes with lock_, after the save, so the next copy to start reads a complete file.
}

WindowBounds SettingsStore::DefaultBounds(ScreenSize screen) {
    // Integer arithmetic truncates exactly where a floating 0.9 or 0.3 might not.
    const int width = std::min(800, screen.width * 9 / 10);
    const int height = std::min(600, screen.height * 9 / 10);
    return {(screen.width - width) / 2, (screen.height - height) * 3 / 10, width, height};
}

SettingsStore& SettingsStore::App() {
    if (!appStore)
        fatalError("No settings store is installed.");
    return *appStore;
}

void SettingsStore::SetApp(SettingsStore* store) {
    appStore = store;
}

bool SettingsStore::Load() {
    QSettings settings(QString::fromStdString(settingsFile_), QSettings::IniFormat);
    SettingsReader read(settings);

    read.group("Global");
    if (!read.integer("BBT", Signature) || !read.integer("ComPort", ComPort))
        return false;
    ComPort = std::clamp(ComPort, 1, kHighestPort);
    CurrentDirectory = read.text(QStringLiteral("Current Directory"));

    read.group("Recent File List");
    for (int i = 0; i < kRecentCapacity; ++i)
        Recent.AddLast(read.text(recentName(i)));

    read.group("View Option");
    if (!read.integer("FontSize Percentage", FontSizePercentage) ||
        !read.integer("Toolbar Visible", ToolbarVisible))
        return false;
    FontSizePercentage = std::clamp(FontSizePercentage, 25, 1000);
    ToolbarVisible = ToolbarVisible != 0 ? 1 : 0;

    read.group("Window Position");
    if (!read.integer("Left", Left) || !read.integer("Top", Top) || !read.integer("Width", Width) ||
        !read.integer("Height", Height) || !read.integer("SplitterV", SplitterV))
        return false;

    read.group("Setup");
    int modelType = 0;
    if (!read.integer("ModelType", modelType))
        return false;
    ModelType = static_cast<std::uint8_t>(modelType & 0xFF);
    RecoveryFile = read.text(QStringLiteral("Recovery File"));
    return true;
}

void SettingsStore::LoadPortDevices() {
    QSettings settings(QString::fromStdString(settingsFile_), QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Ports"));
    PortDevices.clear();
    for (int port = 1; port <= kHighestPort; ++port) {
        const QVariant value = settings.value(QString::fromStdString(PortMap::SettingName(port)));
        if (value.typeId() == QMetaType::QString && !value.toString().isEmpty())
            PortDevices.emplace(port, value.toString().toStdString());
    }
}

void SettingsStore::ApplyDefaults() {
    // The model variant is left alone: it keeps whatever was read before the failure.
    Signature = kSignature;
    ComPort = 1;
    CurrentDirectory.clear();
    Recent.Clear();
    FontSizePercentage = 100;
    ToolbarVisible = 1;
    const WindowBounds bounds = DefaultBounds(screen_);
    Left = bounds.left;
    Top = bounds.top;
    Width = bounds.width;
    Height = bounds.height;
    SplitterV = kDefaultSplitterV;
}

void SettingsStore::Save() const {
    // A failed write is not reported: the settings are a convenience, and the program
    // is already on its way out.
    QSettings settings(QString::fromStdString(settingsFile_), QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Global"));
    settings.setValue(QStringLiteral("BBT"), Signature);
    settings.setValue(QStringLiteral("ComPort"), ComPort);
    settings.setValue(QStringLiteral("Current Directory"),
                      QString::fromStdString(CurrentDirectory));
    settings.endGroup();

    settings.beginGroup(QStringLiteral("Recent File List"));
    for (int i = 0; i < kRecentCapacity; ++i)
        settings.setValue(recentName(i), QString::fromStdString(Recent.Item(i)));
    settings.endGroup();

    settings.beginGroup(QStringLiteral("View Option"));
    settings.setValue(QStringLiteral("FontSize Percentage"), FontSizePercentage);
    settings.setValue(QStringLiteral("Toolbar Visible"), ToolbarVisible);
    settings.endGroup();

    settings.beginGroup(QStringLiteral("Window Position"));
    settings.setValue(QStringLiteral("Left"), Left);
    settings.setValue(QStringLiteral("Top"), Top);
    settings.setValue(QStringLiteral("Width"), Width);
    settings.setValue(QStringLiteral("Height"), Height);
    settings.setValue(QStringLiteral("SplitterV"), SplitterV);
    settings.endGroup();

    settings.beginGroup(QStringLiteral("Setup"));
    settings.setValue(QStringLiteral("ModelType"), static_cast<int>(ModelType));
    settings.setValue(QStringLiteral("Recovery File"), QString::fromStdString(RecoveryFile));
    settings.endGroup();

    // The devices the port dialog gave to port numbers, with those the user wrote.
    settings.beginGroup(QStringLiteral("Ports"));
    for (const auto& [port, device] : PortDevices)
        settings.setValue(QString::fromStdString(PortMap::SettingName(port)),
                          QString::fromStdString(device));
    settings.endGroup();
    settings.sync();
}

} // namespace marlo
