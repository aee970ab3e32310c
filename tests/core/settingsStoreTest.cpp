#include "core/settingsStore.h"
#include "core/marloSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace marlo;

namespace {

constexpr ScreenSize kScreen{1024, 768};

// Everything a load decides, in one comparable record.
struct Values {
    int comPort, font, toolbar, left, top, width, height, splitter, modelType;
    std::string currentDir;
    std::vector<std::string> recent;
    bool operator==(const Values&) const = default;
};

void PrintTo(const Values& v, std::ostream* os) {
    *os << "{port " << v.comPort << ", font " << v.font << ", toolbar " << v.toolbar << ", "
        << v.left << "," << v.top << " " << v.width << "x" << v.height << ", splitter "
        << v.splitter << ", model " << v.modelType << ", dir '" << v.currentDir << "', recent";
    for (const auto& r : v.recent)
        *os << " '" << r << "'";
    *os << "}";
}

Values valuesOf(const SettingsStore& e) {
    std::vector<std::string> recent;
    for (int i = 0; i < e.Recent.Count(); ++i)
        recent.push_back(e.Recent.Item(i));
    return {e.ComPort,   e.FontSizePercentage, e.ToolbarVisible,   e.Left, e.Top, e.Width, e.Height,
            e.SplitterV, e.ModelType,          e.CurrentDirectory, recent};
}

// The defaults on a 1024 x 768 screen, with the model variant a failed load leaves.
Values defaults(int modelType = 0) {
    return {1, 100, 1, 112, 50, 800, 600, 200, modelType, "", {}};
}

// A file as the program writes it: Qt escapes spaces in group and value names.
const std::string kValid = R"([Global]
BBT=753951
ComPort=3
Current%20Directory=/home/u/radio

[Recent%20File%20List]
Recent0=/home/u/radio/a.vcf
Recent1=/home/u/b.vcf
Recent2=

[View%20Option]
FontSize%20Percentage=150
Toolbar%20Visible=0

[Window%20Position]
Left=-20
Top=30
Width=900
Height=700
SplitterV=250

[Setup]
ModelType=1
)";

Values validValues() {
    return {3,
            150,
            0,
            -20,
            30,
            900,
            700,
            250,
            1,
            "/home/u/radio",
            {"/home/u/radio/a.vcf", "/home/u/b.vcf"}};
}

std::string replaced(const std::string& from, const std::string& to) {
    std::string text = kValid;
    const auto at = text.find(from);
    if (at == std::string::npos)
        throw std::logic_error("no '" + from + "' in the valid file");
    return text.replace(at, from.size(), to);
}

template <class F>
Values validWith(F change) {
    Values v = validValues();
    change(v);
    return v;
}

class SettingsFolder : public ::testing::Test {
protected:
    std::string path(const char* name) const {
        return QDir(dir_.path()).filePath(QString::fromLatin1(name)).toStdString();
    }
    std::string folder() const { return dir_.path().toStdString(); }
    SettingsPlaces places() const { return {path("Marlo.conf"), folder(), kScreen}; }
    void writeSettings(const std::string& text) const {
        QFile file(QString::fromStdString(path("Marlo.conf")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.data(), static_cast<qint64>(text.size()));
    }
    QByteArray settingsBytes() const {
        QFile file(QString::fromStdString(path("Marlo.conf")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QVariant stored(const char* key) const {
        return QSettings(QString::fromStdString(path("Marlo.conf")), QSettings::IniFormat)
            .value(QString::fromLatin1(key));
    }

private:
    QTemporaryDir dir_;
};

struct LoadCase {
    std::string label;
    std::string file;
    Values expected;
};

void PrintTo(const LoadCase& c, std::ostream* os) {
    *os << c.label;
}

std::string withLiteralSpaces(std::string text) {
    for (auto at = text.find("%20"); at != std::string::npos; at = text.find("%20"))
        text.replace(at, 3, " ");
    return text;
}

std::vector<LoadCase> loadCases() {
    return {
        {"Valid", kValid, validValues()},
        {"HandWrittenSpaces", withLiteralSpaces(kValid), validValues()},
        {"PortZeroIsOne", replaced("ComPort=3", "ComPort=0"),
         validWith([](Values& v) { v.comPort = 1; })},
        {"Port300Is256", replaced("ComPort=3", "ComPort=300"),
         validWith([](Values& v) { v.comPort = 256; })},
        {"Font10Is25", replaced("Percentage=150", "Percentage=10"),
         validWith([](Values& v) { v.font = 25; })},
        {"Font5000Is1000", replaced("Percentage=150", "Percentage=5000"),
         validWith([](Values& v) { v.font = 1000; })},
        {"ToolbarNonZeroIsOne", replaced("Visible=0", "Visible=-7"),
         validWith([](Values& v) { v.toolbar = 1; })},
        {"ModelTypeLowByte", replaced("ModelType=1", "ModelType=257"),
         validWith([](Values& v) { v.modelType = 1; })},
        {"ModelTypeNegative", replaced("ModelType=1", "ModelType=-1"),
         validWith([](Values& v) { v.modelType = 255; })},
        {"SpacesAroundNumber", replaced("ComPort=3", "ComPort =  4 "),
         validWith([](Values& v) { v.comPort = 4; })},
        {"NoCurrentDirectory", replaced("Current%20Directory=/home/u/radio\n", ""),
         validWith([](Values& v) { v.currentDir.clear(); })},
        {"DirectoryOfWrongType", replaced("=/home/u/radio\n", "=/a,/b\n"),
         validWith([](Values& v) { v.currentDir.clear(); })},
        {"RecentDifferingInCase", replaced("Recent1=/home/u/b.vcf", "Recent1=/HOME/u/radio/A.vcf"),
         validWith([](Values& v) {
             v.recent = {"/home/u/radio/a.vcf", "/HOME/u/radio/A.vcf"};
         })},
        {"DuplicateRecent", replaced("Recent1=/home/u/b.vcf", "Recent1=/home/u/radio/a.vcf"),
         validWith([](Values& v) { v.recent = {"/home/u/radio/a.vcf"}; })},
        {"NoRecentGroup",
         replaced("Recent0=/home/u/radio/a.vcf\nRecent1=/home/u/b.vcf\nRecent2=\n", ""),
         validWith([](Values& v) { v.recent.clear(); })},
        // A foreign signature discards the load; the model variant read is kept.
        {"OtherSignature", replaced("BBT=753951", "BBT=753950"), defaults(1)},
        {"NoSignature", replaced("BBT=753951\n", ""), defaults()},
        {"PortNotANumber", replaced("ComPort=3", "ComPort=three"), defaults()},
        {"PortWithTrailingText", replaced("ComPort=3", "ComPort=-3x"), defaults()},
        {"PortAsBytes", replaced("ComPort=3", "ComPort=@ByteArray(3)"), defaults()},
        {"WidthAsList", replaced("Width=900", "Width=900,1"), defaults()},
        {"LeftBeyond32Bits", replaced("Left=-20", "Left=99999999999"), defaults()},
        {"EmptySplitter", replaced("SplitterV=250", "SplitterV="), defaults()},
        {"NoModelType", replaced("ModelType=1\n", ""), defaults()},
        {"EmptyFile", "", defaults()},
        {"Garbage", "\x01\x02\xff garbage ===\n[[[\nno equals here\n=\n[Global\nBBT", defaults()},
    };
}

class EnvironLoad : public SettingsFolder, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(EnvironLoad, LimitsOrFallsBackToDefaults) {
    writeSettings(GetParam().file);
    SettingsStore store("test lock", "Software\\Test\\Load", places());
    ASSERT_TRUE(store.IsFirstInstance());
    EXPECT_EQ(valuesOf(store), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Files, EnvironLoad, ::testing::ValuesIn(loadCases()),
                         [](const auto& row) { return row.param.label; });

TEST(EnvironDefaults, WindowFitsTheScreen) {
    struct Case {
        ScreenSize screen;
        WindowBounds bounds;
    };
    const Case cases[] = {
        {{1024, 768}, {112, 50, 800, 600}}, {{1920, 1080}, {560, 144, 800, 600}},
        {{800, 600}, {40, 18, 720, 540}},   // 90 % of the screen
        {{640, 480}, {32, 14, 576, 432}},   // 14.4 truncated
        {{1366, 768}, {283, 50, 800, 600}}, // odd spare width
    };
    for (const Case& c : cases) {
        const WindowBounds b = SettingsStore::DefaultBounds(c.screen);
        EXPECT_EQ(std::tie(b.left, b.top, b.width, b.height),
                  std::tie(c.bounds.left, c.bounds.top, c.bounds.width, c.bounds.height))
            << c.screen.width << " x " << c.screen.height;
    }
}

TEST_F(SettingsFolder, FirstRunLoadsTheDefaultsAndWritesThemAtExit) {
    {
        SettingsStore store("test lock", "Software\\Test\\First", places());
        ASSERT_TRUE(store.IsFirstInstance());
        EXPECT_EQ(valuesOf(store), defaults());
        EXPECT_TRUE(settingsBytes().isEmpty()); // nothing is written before the end
    }
    EXPECT_EQ(stored("Global/BBT").toInt(), 753951);
    EXPECT_EQ(stored("Global/ComPort").toInt(), 1);
    EXPECT_EQ(stored("View Option/FontSize Percentage").toInt(), 100);
    EXPECT_EQ(stored("Window Position/Left").toInt(), 112);
    EXPECT_EQ(stored("Window Position/Top").toInt(), 50);
    EXPECT_EQ(stored("Window Position/Width").toInt(), 800);
    EXPECT_EQ(stored("Window Position/Height").toInt(), 600);
    EXPECT_EQ(stored("Window Position/SplitterV").toInt(), 200);
    EXPECT_EQ(stored("Setup/ModelType").toInt(), 0);
}

TEST_F(SettingsFolder, WhatIsSavedLoadsBackUnchanged) {
    {
        SettingsStore store("test lock", "Software\\Test\\Trip", places());
        store.ComPort = 7;
        store.CurrentDirectory = "/home/u/a, b \"quoted\" @dir";
        store.Recent.AddFirst("/home/u/first.vcf");
        store.Recent.AddFirst("/home/u/\xC3\xA4 second;=.vcf");
        store.FontSizePercentage = 250;
        store.ToolbarVisible = 0;
        store.Left = -300;
        store.Top = 20;
        store.Width = 1000;
        store.Height = 650;
        store.SplitterV = 310;
        store.ModelType = 1;
    }
    SettingsStore again("test lock", "Software\\Test\\Trip", places());
    EXPECT_EQ(valuesOf(again), (Values{7,
                                       250,
                                       0,
                                       -300,
                                       20,
                                       1000,
                                       650,
                                       310,
                                       1,
                                       "/home/u/a, b \"quoted\" @dir",
                                       {"/home/u/\xC3\xA4 second;=.vcf", "/home/u/first.vcf"}}));
}

TEST_F(SettingsFolder, ThreeRecentFilesSaveAsThreePathsAndSevenEmptyTexts) {
    writeSettings(replaced("Recent2=", "Recent2=/c.vcf"));
    {
        SettingsStore store("test lock", "Software\\Test\\Recent", places());
        ASSERT_EQ(store.Recent.Count(), 3); // the empty values are no entries
        EXPECT_EQ(store.Recent.Item(2), "/c.vcf");
        EXPECT_EQ(store.Recent.Item(3), "");
    }
    EXPECT_EQ(stored("Recent File List/Recent0").toString(), "/home/u/radio/a.vcf");
    EXPECT_EQ(stored("Recent File List/Recent1").toString(), "/home/u/b.vcf");
    EXPECT_EQ(stored("Recent File List/Recent2").toString(), "/c.vcf");
    for (int i = 3; i < 10; ++i) {
        const QVariant value = stored(("Recent File List/Recent" + std::to_string(i)).c_str());
        EXPECT_TRUE(value.isValid() && value.toString().isEmpty()) << i;
    }
}

TEST_F(SettingsFolder, AForeignSignatureIsReplacedAtExit) {
    writeSettings(replaced("BBT=753951", "BBT=12"));
    { SettingsStore store("test lock", "Software\\Test\\Sig", places()); }
    EXPECT_EQ(stored("Global/BBT").toInt(), 753951);
    EXPECT_EQ(stored("Global/ComPort").toInt(), 1);
    EXPECT_EQ(stored("Setup/ModelType").toInt(), 1);
}

TEST_F(SettingsFolder, SavingKeepsGroupsOfOthers) {
    writeSettings(kValid + "\n[Ports]\nDevice5=/dev/ttyACM0\n");
    { SettingsStore store("test lock", "Software\\Test\\Keep", places()); }
    EXPECT_EQ(stored("Ports/Device5").toString(), "/dev/ttyACM0");
}

TEST_F(SettingsFolder, ASecondInstanceLoadsNothingAndSavesNothing) {
    writeSettings(kValid);
    auto first = std::make_unique<SettingsStore>("test lock", "Software\\Test\\Two", places());
    ASSERT_TRUE(first->IsFirstInstance());
    {
        SettingsStore second("test lock", "Software\\Test\\Two", places());
        EXPECT_FALSE(second.IsFirstInstance());
        EXPECT_EQ(second.ComPort, 1); // the file says 3
        EXPECT_EQ(second.Recent.Count(), 0);
        second.Signature = SettingsStore::kSignature;
        second.ComPort = 42;
    }
    EXPECT_EQ(settingsBytes(), QByteArray::fromStdString(kValid));

    first->ComPort = 9;
    first.reset();
    EXPECT_EQ(stored("Global/ComPort").toInt(), 9);

    // The lock went with the first store.
    SettingsStore next("test lock", "Software\\Test\\Two", places());
    EXPECT_TRUE(next.IsFirstInstance());
    EXPECT_EQ(next.ComPort, 9);
}

TEST_F(SettingsFolder, AReadOnlyStoreReadsBesideTheProgramAndWritesNothing) {
    writeSettings(kValid + "\n[Ports]\nPort5=/dev/serial/by-id/usb-cable\nPort7=\nPort2=3\n");
    SettingsStore owner("test lock", "Software\\Test\\Ro", places());
    ASSERT_TRUE(owner.IsFirstInstance());
    {
        SettingsStore reader("test lock", "Software\\Test\\Ro", places(),
                             SettingsStore::Access::ReadOnly);
        EXPECT_EQ(valuesOf(reader), validValues());
        // Empty paths are no override; a number written by hand is taken as its text.
        EXPECT_EQ(reader.PortDevices,
                  (std::map<int, std::string>{{2, "3"}, {5, "/dev/serial/by-id/usb-cable"}}));
        reader.ComPort = 42;
    }
    EXPECT_EQ(owner.PortDevices.at(5), "/dev/serial/by-id/usb-cable");
    EXPECT_EQ(stored("Global/ComPort").toInt(), 3);
}

TEST_F(SettingsFolder, WithoutALockFolderTheProgramStillRunsAndSaves) {
    writeSettings(kValid);
    const std::string notAFolder = path("Marlo.conf"); // a file: no lock can go inside
    ::testing::internal::CaptureStderr();
    {
        SettingsStore store("test lock", "Software\\Test\\NoLock",
                            {path("Marlo.conf"), notAFolder, kScreen});
        EXPECT_TRUE(store.IsFirstInstance());
        EXPECT_EQ(store.ComPort, 3);
        store.ComPort = 5;
    }
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("Cannot create the single-instance lock"), std::string::npos) << err;
    EXPECT_EQ(stored("Global/ComPort").toInt(), 5);
}

TEST_F(SettingsFolder, AnUnwritableSettingsFileIsIgnoredSilently) {
    writeSettings(kValid);
    const std::string inside = path("Marlo.conf") + "/sub/Marlo.conf"; // below a plain file
    {
        SettingsStore store("test lock", "Software\\Test\\Bad", {inside, folder(), kScreen});
        EXPECT_EQ(valuesOf(store), defaults());
    }
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(inside)));
    EXPECT_EQ(settingsBytes(), QByteArray::fromStdString(kValid));
}

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name)) {
        qputenv(name, QByteArray::fromStdString(value));
    }
    ~ScopedEnv() {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

TEST_F(SettingsFolder, TheProgramStoreLivesInTheUserConfigAndRuntimeFolders) {
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(path("config"))));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(path("run"))));
    QFile::setPermissions(QString::fromStdString(path("run")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ScopedEnv config("XDG_CONFIG_HOME", path("config"));
    ScopedEnv runtime("XDG_RUNTIME_DIR", path("run"));
    const QString lock = QString::fromStdString(path("run/Vexa Marlo APP Exclusive Mutex.lock"));
    const QString file = QString::fromStdString(path("config/Vexa/Marlo.conf"));
    SettingsPlaces userPlaces;
    userPlaces.screen = kScreen;
    {
        MarloSettings store(userPlaces);
        EXPECT_EQ(store.SettingsFile(), file.toStdString());
        EXPECT_TRUE(QFileInfo::exists(lock));
        EXPECT_FALSE(MarloSettings(userPlaces).IsFirstInstance());
    }
    EXPECT_FALSE(QFileInfo::exists(lock));
    EXPECT_TRUE(QFileInfo::exists(file));
}

TEST(EnvironDeathTest, UsingTheStoreBeforeItIsInstalledEndsTheProgram) {
    SettingsStore::SetApp(nullptr);
    EXPECT_EXIT(SettingsStore::App(), ::testing::ExitedWithCode(3),
                "No settings store is installed");
}

} // namespace

// A FIFO (or anything but a regular file) in place of the settings file is not
// opened: reading it would wait for a writer for ever. The defaults are used,
// and the owner saves nothing over it. A watcher opens the FIFO's other end
// whenever someone waits on it, so that a fault fails instead of hanging.
TEST_F(SettingsFolder, ASettingsPathThatIsNoRegularFileGivesTheDefaults) {
    const std::string fifo = path("Marlo.conf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::atomic<bool> done = false;
    std::atomic<int> readersSeen = 0;
    std::thread watcher([&] {
        while (!done) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                ++readersSeen;
                ::close(fd);
            }
            // A writer waiting for a reader goes on too.
            const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
            char sink[256];
            while (reader >= 0 && ::read(reader, sink, sizeof sink) > 0) {
            }
            if (reader >= 0)
                ::close(reader);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    ::testing::internal::CaptureStderr();
    for (const auto access : {SettingsStore::Access::ReadOnly, SettingsStore::Access::Owner}) {
        SettingsStore store("test lock", "Software\\Test\\Fifo", places(), access);
        EXPECT_EQ(valuesOf(store), defaults());
        store.ComPort = 7;
    }
    const std::string err = ::testing::internal::GetCapturedStderr();
    done = true;
    watcher.join();
    EXPECT_EQ(readersSeen, 0);
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
    EXPECT_NE(err.find(fifo + " is not a regular file"), std::string::npos) << err;
}
