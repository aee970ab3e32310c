#include "platform/programPath.h"
#include "support/eventLoop.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

using namespace marlo;

namespace {

// A real bin/marlo ended by a signal, with folders of its own for settings,
// data and the lock.
class SignalEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("QT_QPA_PLATFORM", "offscreen");
        env_.insert("XDG_CONFIG_HOME", home_.filePath("config"));
        env_.insert("XDG_DATA_HOME", home_.filePath("data"));
        env_.insert("XDG_RUNTIME_DIR", home_.filePath("run"));
        QDir().mkpath(home_.filePath("run"));
        QFile::setPermissions(home_.filePath("run"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Starts marlo with `edit` as its test edit, waits until the window stands
    // and ends it with `signal`.
    void runAndSignal(const QString& edit, int signal) {
        QProcess p;
        QProcessEnvironment env = env_;
        env.insert("MARLO_TEST_EDIT", edit);
        p.setProcessEnvironment(env);
        p.start(QString::fromStdString(programDir() + "marlo"), {});
        ASSERT_TRUE(p.waitForStarted(10000));
        QByteArray err;
        ASSERT_TRUE(runEventLoopUntil(
            [&] {
                p.waitForReadyRead(50);
                err += p.readAllStandardError();
                return err.contains("test edit ") || p.state() == QProcess::NotRunning;
            },
            30000))
            << err.toStdString();
        ASSERT_TRUE(err.contains("test edit ")) << err.toStdString();
        ::kill(static_cast<pid_t>(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 0);
    }

    QVariant setting(const QString& name) const {
        QSettings settings(home_.filePath("config/Vexa/Marlo.conf"), QSettings::IniFormat);
        return settings.value(name);
    }

    QTemporaryDir home_;
    QProcessEnvironment env_;
};

TEST_F(SignalEnd, TermAfterAnEditSavesSettingsAndARecoveryFileTheNextStartReports) {
    runAndSignal("2BB=41", SIGTERM);
    EXPECT_EQ(setting("Global/BBT").toInt(), 753951);
    EXPECT_TRUE(setting("Window Position/Width").isValid());
    const QString recovery = setting("Setup/Recovery File").toString();
    ASSERT_TRUE(recovery.startsWith(home_.filePath("data/Vexa/Marlo/"))) << recovery.toStdString();
    QFile file(recovery);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("26200001\r\n#Comment=A")) << text.left(40).toStdString();

    // The next start names it once; ended without changes, it writes no other.
    runAndSignal("nothing", SIGHUP);
    EXPECT_EQ(setting("Setup/Recovery File").toString(), "");
    EXPECT_EQ(QDir(home_.filePath("data/Vexa/Marlo")).entryList(QDir::Files).size(), 1);
}

} // namespace
