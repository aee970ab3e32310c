// Both programs, run from a copy of the build's bin folder whose overlay file is
// missing, empty or cut short, stop at start-up with status 3: a missing file
// named with the system's reason, an empty or short one with the lookup error.
#include "platform/programPath.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace marlo;

namespace {

struct ProgramRun {
    int status;
    std::string err;
};

class BrokenOverlay : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(install_.isValid() && config_.isValid() && runtime_.isValid());
        for (const char* name :
             {"marlo", "marlo-clone", "Marlo_Variant0.vcf", "Marlo_Variant1.vcf"})
            ASSERT_TRUE(
                QFile::copy(QString::fromStdString(programDir() + name), install_.filePath(name)))
                << name;
        QFile installed(QString::fromStdString(programDir() + "Marlo.OVL"));
        ASSERT_TRUE(installed.open(QIODevice::ReadOnly));
        overlay_ = installed.readAll();
        ASSERT_TRUE(overlay_.contains("\n#End_Of_Ovl"));
    }

    void writeOverlay(const QByteArray& bytes) const {
        QFile file(install_.filePath("Marlo.OVL"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    void removeOverlay() const { QFile::remove(install_.filePath("Marlo.OVL")); }

    // Runs a program of the copy on the offscreen platform, with settings and lock
    // folders of its own; a program that does not end within the limit fails.
    ProgramRun run(const char* program, const QStringList& args) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", config_.path());
        env.insert("XDG_RUNTIME_DIR", runtime_.path());
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(install_.filePath(program), args);
        p.closeWriteChannel();
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            return {-1, "did not end"};
        }
        if (p.exitStatus() != QProcess::NormalExit)
            return {-2, "crashed"};
        return {p.exitCode(), p.readAllStandardError().toStdString()};
    }

    void expectLookupErrorFromBoth(const char* what) {
        expectErrorFromBoth(what, "GTEX Error !\nThe index 'End_Of_Ovl' was not found.");
    }
    void expectErrorFromBoth(const char* what, const std::string& error) {
        SCOPED_TRACE(what);
        const QString file = install_.filePath("Marlo_Variant0.vcf");
        for (const char* program : {"marlo-clone", "marlo"}) {
            const ProgramRun r =
                std::string(program) == "marlo" ? run(program, {}) : run(program, {"check", file});
            EXPECT_EQ(r.status, 3) << program << ": " << r.err;
            EXPECT_NE(r.err.find(std::string(program) + ": " + error), std::string::npos)
                << program << ": " << r.err;
        }
    }

    QByteArray overlay_; // the installed overlay file
    QTemporaryDir install_;

private:
    QTemporaryDir config_;
    QTemporaryDir runtime_;
};

// The copy is a working installation: what fails below fails for the overlay.
TEST_F(BrokenOverlay, IntactCopyRuns) {
    writeOverlay(overlay_);
    const ProgramRun r = run("marlo-clone", {"check", install_.filePath("Marlo_Variant0.vcf")});
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(BrokenOverlay, MissingFile) {
    removeOverlay();
    expectErrorFromBoth("missing", "GTEX Error !\nThe overlay file '" +
                                       install_.filePath("Marlo.OVL").toStdString() +
                                       "' cannot be read: " + std::strerror(ENOENT) + ".");
}

TEST_F(BrokenOverlay, EmptyFile) {
    writeOverlay({});
    expectLookupErrorFromBoth("empty");
}

TEST_F(BrokenOverlay, FileCutShort) {
    // Every entry the start-up needs may still be there: only the end marker is lost.
    writeOverlay(overlay_.left(overlay_.lastIndexOf("#End_Of_Ovl")));
    expectLookupErrorFromBoth("without its end marker");
    writeOverlay(overlay_.left(overlay_.size() / 2));
    expectLookupErrorFromBoth("cut in half");
}

} // namespace
