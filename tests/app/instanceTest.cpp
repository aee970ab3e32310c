#include "platform/programPath.h"
#include "support/eventLoop.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace marlo;

namespace {

// Starts real copies of bin/marlo on the offscreen platform, with configuration and
// runtime folders of their own so that the user's settings are never touched.
class TwoPrograms : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(config_.isValid() && runtime_.isValid());
        ASSERT_TRUE(QFile::exists(program()));
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("QT_QPA_PLATFORM", "offscreen");
        env_.insert("XDG_CONFIG_HOME", config_.path());
        env_.insert("XDG_RUNTIME_DIR", runtime_.path());
    }

    void TearDown() override {
        for (auto& p : started_) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(10000);
            }
        }
    }

    static QString program() { return QString::fromStdString(programDir() + "marlo"); }
    QProcessEnvironment environment() const { return env_; }
    QString settingsPath() const { return config_.filePath("Vexa/Marlo.conf"); }
    QString lockPath() const { return runtime_.filePath("Vexa Marlo APP Exclusive Mutex.lock"); }

    QProcess& start() {
        auto& p = *started_.emplace_back(std::make_unique<QProcess>());
        p.setProcessEnvironment(env_);
        p.start(program(), {});
        EXPECT_TRUE(p.waitForStarted(10000));
        return p;
    }

    // The process id written into the lock file, or 0 when there is none.
    qint64 lockHolder() const {
        QLockFile lock(lockPath());
        qint64 pid = 0;
        QString host, app;
        return lock.getLockInfo(&pid, &host, &app) ? pid : 0;
    }

    bool waitUntilHolding(const QProcess& p) const {
        return runEventLoopUntil(
                   [&] {
                       return lockHolder() == p.processId() || p.state() == QProcess::NotRunning;
                   },
                   20000) &&
               lockHolder() == p.processId();
    }

    void expectQuietExit(QProcess& p) {
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0);
        EXPECT_EQ(p.readAllStandardError(), QByteArray());
        EXPECT_EQ(p.readAllStandardOutput(), QByteArray());
    }

    void writeSettings(const QByteArray& text) const {
        ASSERT_TRUE(QDir().mkpath(config_.filePath("Vexa")));
        QFile file(settingsPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray settingsBytes() const {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
    }

private:
    QTemporaryDir config_;
    QTemporaryDir runtime_;
    QProcessEnvironment env_;
    std::vector<std::unique_ptr<QProcess>> started_;
};

const QByteArray kSettings = "[Global]\nBBT=753951\nComPort=4\n";

TEST_F(TwoPrograms, ASecondCopyEndsAtOnceWithoutWritingWhileTheFirstRuns) {
    writeSettings(kSettings);
    QProcess& first = start();
    ASSERT_TRUE(waitUntilHolding(first)) << first.readAllStandardError().toStdString();

    QProcess& second = start();
    expectQuietExit(second);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_EQ(lockHolder(), first.processId());
    EXPECT_EQ(settingsBytes(), kSettings);
}

TEST_F(TwoPrograms, ALockLeftByAKilledCopyDoesNotBlockTheNextStart) {
    QProcess& first = start();
    ASSERT_TRUE(waitUntilHolding(first));
    first.kill(); // SIGKILL: no clean-up, the lock file stays behind
    ASSERT_TRUE(first.waitForFinished(10000));
    ASSERT_TRUE(QFile::exists(lockPath()));
    EXPECT_FALSE(QFile::exists(settingsPath())); // a killed copy saves nothing

    QProcess& next = start();
    ASSERT_TRUE(waitUntilHolding(next)) << next.readAllStandardError().toStdString();
    EXPECT_EQ(next.state(), QProcess::Running);

    // ...and it is a proper first copy: it turns the following one away.
    expectQuietExit(start());
    EXPECT_EQ(next.state(), QProcess::Running);
}

// A copy of the program in a folder of its own, with the overlay beside it and
// an initial file of variant 0 whose image the program must refuse.
class BrokenInstallation : public TwoPrograms {
protected:
    void SetUp() override {
        TwoPrograms::SetUp();
        ASSERT_TRUE(install_.isValid());
        for (const char* name : {"marlo", "Marlo.OVL"})
            ASSERT_TRUE(
                QFile::copy(QString::fromStdString(programDir() + name), install_.filePath(name)))
                << name;
    }

    QString initialFile() const { return install_.filePath("Marlo_Variant0.vcf"); }

    QTemporaryDir install_;
};

// A file that reads well but holds map revision 5 in its image. (Files that do
// not read at all first show the clone file's own box, which nobody can dismiss
// on the offscreen platform; the controller suite covers them.)
TEST_F(BrokenInstallation, ARejectedInitialFileEndsTheProgramWithStatusThree) {
    QFile good(QString::fromStdString(programDir() + "Marlo_Variant0.vcf"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    QByteArray text = good.readAll();
    ASSERT_TRUE(text.contains("\n02B01006"));
    text.replace("\n02B01006", "\n02B01005");
    QFile damaged(initialFile());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(text);
    damaged.close();

    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(install_.filePath("marlo"), {});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 3);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError())
                    .contains("Cannot open '" + initialFile() + "'."));
    EXPECT_EQ(settingsBytes(), QByteArray("<none>")); // nothing was saved
}

} // namespace
