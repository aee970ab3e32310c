#include "controllerFixture.h"

#include "main/mainWindow.h"
#include "support/eventLoop.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QSplitter>
#include <QTimer>
#include <QWindow>

using namespace marlo;

namespace {

TEST(WindowPlacement, KeptAtLeastSixteenPixelsInsideTheWorkArea) {
    struct Case {
        WindowBounds window, area, expected;
    };
    const Case cases[] = {
        // inside: unchanged
        {{100, 50, 800, 600}, {0, 0, 1024, 768}, {100, 50, 800, 600}},
        // saved on a larger desktop: right and bottom edges
        {{2000, 1500, 800, 600}, {0, 0, 1024, 768}, {1008, 752, 800, 600}},
        {{1008, 752, 800, 600}, {0, 0, 1024, 768}, {1008, 752, 800, 600}},
        // off to the left and above
        {{-900, -50, 800, 600}, {0, 0, 1024, 768}, {-784, 0, 800, 600}},
        {{-784, 0, 800, 600}, {0, 0, 1024, 768}, {-784, 0, 800, 600}},
        // a work area that does not start at the origin (a panel on the left and top)
        {{0, 0, 300, 200}, {64, 32, 960, 736}, {0, 32, 300, 200}},
        {{-300, 10, 300, 200}, {64, 32, 960, 736}, {-220, 32, 300, 200}},
    };
    for (const Case& c : cases) {
        const WindowBounds got = keepInsideWorkArea(c.window, c.area);
        EXPECT_EQ(got.left, c.expected.left) << c.window.left << "," << c.window.top;
        EXPECT_EQ(got.top, c.expected.top) << c.window.left << "," << c.window.top;
        EXPECT_EQ(got.width, c.expected.width);
        EXPECT_EQ(got.height, c.expected.height);
    }
}

class MainWindowTest : public ControllerTest {
protected:
    MainWindow& open(std::vector<std::string> args = {"marlo"}) {
        form_ = std::make_unique<MainWindow>(makeController(std::move(args)));
        EXPECT_TRUE(runEventLoopUntil([&] { return form_->isVisible(); }));
        return *form_;
    }
    ~MainWindowTest() override {
        form_.reset();
        controller_.reset();
    }

    QColor pixel(int panel, int x) {
        StatusBar* bar = controller_->StatusBar();
        QImage shot(bar->size(), QImage::Format_RGB32);
        bar->render(&shot);
        const QRect r = bar->PanelRect(panel);
        return shot.pixelColor(r.left() + x, r.center().y());
    }

    std::unique_ptr<MainWindow> form_;
};

TEST_F(MainWindowTest, StartsWithTheInitialFileOfTheStoredVariantAsAnUntitledDocument) {
    settings_->ModelType = 1;
    MainWindow& form = open();
    EXPECT_TRUE(prompter_.shown().empty());
    EXPECT_EQ(controller_->ReferenceImage().GetByte(0x2B1), 1);
    EXPECT_TRUE(controller_->CurrentImage().Equals(controller_->ReferenceImage()));
    EXPECT_TRUE(controller_->ComparisonImage().Equals(controller_->ReferenceImage()));
    EXPECT_FALSE(controller_->IsModified());
    const std::string caption = "Untitled - " + overlayLine("GI_Sys_AppTitle");
    EXPECT_EQ(form.windowHandle()->title().toStdString(), caption);
    EXPECT_EQ(form.minimumSize(), QSize(400, 200));
    EXPECT_TRUE(controller_->TickRunning());
}

TEST_F(MainWindowTest, AStoredVariantOutsideTheModelsStartsVariantZero) {
    settings_->ModelType = 7;
    open();
    EXPECT_EQ(settings_->ModelType, 0);
    EXPECT_EQ(controller_->ReferenceImage().GetByte(0x2B1), 0);
}

TEST_F(MainWindowTest, PlacedFromTheSettingsAndTheTreePaneNeverNarrowerThanEight) {
    settings_->Left = 30;
    settings_->Top = 40;
    settings_->Width = 640;
    settings_->Height = 480;
    settings_->SplitterV = 3;
    MainWindow& form = open();
    EXPECT_EQ(form.pos(), QPoint(30, 40));
    EXPECT_EQ(form.size(), QSize(640, 480));
    EXPECT_TRUE(runEventLoopUntil([&] { return controller_->LeftPane()->width() == 8; }))
        << controller_->LeftPane()->width();
}

// The whole way out: the close ends the message loop, the placement goes into
// the store, and the store writes it to the settings file when it goes last.
TEST_F(MainWindowTest, ClosingEndsTheLoopAndThePlacementReachesTheSettingsFile) {
    settings_->SplitterV = 200;
    MainWindow& form = open();
    form.move(70, 60);
    form.resize(700, 500);
    controller_->Splitter()->setSizes({150, 550});
    ASSERT_TRUE(runEventLoopUntil([&] { return controller_->LeftPane()->width() == 150; }));

    QTimer::singleShot(0, &form, [&form] { form.close(); });
    QTimer neverEnds; // gone with the test, so it cannot end a later test's loop
    neverEnds.setSingleShot(true);
    QObject::connect(&neverEnds, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    neverEnds.start(10000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(controller_->TickRunning());
    EXPECT_EQ(controller_->Form(), nullptr);

    form_.reset();
    controller_.reset();
    const QString file = QString::fromStdString(settings_->SettingsFile());
    settings_.reset();
    QSettings stored(file, QSettings::IniFormat);
    stored.beginGroup("Window Position");
    EXPECT_EQ(stored.value("Left").toInt(), 70);
    EXPECT_EQ(stored.value("Top").toInt(), 60);
    EXPECT_EQ(stored.value("Width").toInt(), 700);
    EXPECT_EQ(stored.value("Height").toInt(), 500);
    EXPECT_EQ(stored.value("SplitterV").toInt(), 150);
}

TEST_F(MainWindowTest, WithoutSwitchesTheMessagePanelFillsTheBarUpToTheLastPanel) {
    MainWindow& form = open();
    form.resize(600, 300);
    StatusBar* bar = controller_->StatusBar();
    ASSERT_TRUE(runEventLoopUntil([&] { return bar->width() > 0 && bar->width() < 600 + 1; }));
    EXPECT_EQ(controller_->ModePanel(), -1);
    ASSERT_EQ(bar->PanelCount(), 2);
    EXPECT_EQ(bar->PanelAt(0).width + bar->PanelAt(1).width, bar->width());
    EXPECT_EQ(bar->PanelAt(1).width, bar->sizeHint().height());
}

TEST_F(MainWindowTest, ExpertAndGeneShareOneModePanelBeforeTheLastPanel) {
    MainWindow& form = open({"marlo", "/expert", "/gene"});
    form.resize(600, 300);
    StatusBar* bar = controller_->StatusBar();
    ASSERT_TRUE(runEventLoopUntil([&] { return bar->width() > 0 && bar->width() <= 600; }));
    ASSERT_EQ(bar->PanelCount(), 3);
    EXPECT_EQ(controller_->ModePanel(), 1);
    const QFontMetrics m(bar->font());
    EXPECT_EQ(controller_->ModeText(), overlayLine("GI_StatusPanel_Expert") + "[ GENE ]");
    const QString text = QString::fromStdString(controller_->ModeText());
    EXPECT_EQ(bar->PanelAt(1).width, m.horizontalAdvance(text) + m.horizontalAdvance("XX"));
    EXPECT_TRUE(bar->PanelAt(1).ownerDrawn);
    EXPECT_EQ(bar->PanelAt(0).width + bar->PanelAt(1).width + bar->PanelAt(2).width, bar->width());
    EXPECT_EQ(pixel(1, 1), QColor(0x00, 0x80, 0x80)); // teal
}

TEST_F(MainWindowTest, StatusTextFromTheHubIsDrawnInItsColours) {
    open();
    hub_.SendText(evStatusText, colourAsHubObject(0x000000), 0x0000FF, "Reading");
    // Beyond the text, which starts at the panel's left edge.
    EXPECT_EQ(pixel(0, controller_->StatusBar()->PanelRect(0).width() - 2),
              QColor(0xFF, 0x00, 0x00)); // 0x00BBGGRR: red background
}

class CountingController : public RadioAppController {
public:
    using RadioAppController::RadioAppController;
    void CheckWarnings(int& errors, int& warnings) override {
        ++checks;
        RadioAppController::CheckWarnings(errors, warnings);
    }
    int checks = 0;
};

TEST_F(MainWindowTest, WarningsAreCheckedOnceAfterTheDelayAndAnnounced) {
    auto owned = std::make_unique<CountingController>(std::vector<std::string>{"marlo"});
    CountingController& c = *owned;
    controller_ = std::move(owned);
    form_ = std::make_unique<MainWindow>(c);
    runEventLoopFor(400); // the checks of building the tree
    c.checks = 0;

    c.StartWarningsDelay();
    c.StartWarningsDelay(); // re-armed, still one check
    EXPECT_TRUE(runEventLoopUntil([&] { return c.checks == 1; }));
    EXPECT_TRUE(waitForMessage(evWarningsChecked));
    runEventLoopFor(400);
    EXPECT_EQ(c.checks, 1);
}

using MainWindowDeathTest = MainWindowTest;

TEST_F(MainWindowDeathTest, AMissingInitialFileAtStartEndsTheProgram) {
    settings_->ModelType = 0;
    std::remove(initialFile(0).c_str());
    EXPECT_EXIT(open(), testing::ExitedWithCode(3), "Cannot open '.*Init0\\.vcf'\\.");
}

} // namespace
