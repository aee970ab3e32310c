#include "cellEngineFixture.h"

#include "platform/programPath.h"
#include "sheets/cellNames.h"
#include "sheets/overlayLineStore.h"
#include "views/imageList.h"
#include "views/toolBar.h"
#include "views/tree.h"

#include <QMainWindow>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using namespace marlo;

namespace {

// The toolbar on a main window of its own, evaluated in the engine fixture's
// document; `body` is the toolbar's body, one line per button.
class ToolBarTest : public CellEngineTest {
protected:
    void build(std::vector<std::string> body, ToolBar::ClickHandler handler = {}) {
        bar_.reset();
        std::vector<std::string> lines = {"#TB_BasicCell", "{(%CT_Null.)}", "#TB_Body"};
        lines.insert(lines.end(), body.begin(), body.end());
        lines.emplace_back("#");
        store_.emplace(std::move(lines));
        bar_.emplace(&window_, store_->Store(), "TB", images_, hub_, &context_);
        bar_->Build(std::move(handler));
        window_.resize(400, 200);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }
    QRect place(int line) const {
        QToolButton* button = bar_->Button(line);
        return QRect(button->mapTo(&window_, QPoint(0, 0)), button->size());
    }

    QMainWindow window_;
    ImageList images_ = ImageList::ForTree();
    std::optional<OverlayLineStore> store_;
    std::optional<ToolBar> bar_;
};

TEST_F(ToolBarTest, GapsAndRowBreaksPlaceTheButtons) {
    build({"{(ImageIndex=1)}a", "-", "{(ImageIndex=2)}b", "/", "{(ImageIndex=5)}c"});
    ASSERT_EQ(bar_->LineCount(), 5);
    EXPECT_EQ(bar_->Button(1), nullptr);
    EXPECT_EQ(bar_->Button(3), nullptr);
    const QRect a = place(0), b = place(2), c = place(4);
    EXPECT_EQ(b.left() - (a.right() + 1), 8);
    EXPECT_EQ(b.top(), a.top());
    EXPECT_EQ(c.left(), a.left());
    EXPECT_GE(c.top(), a.bottom() + 1);
    EXPECT_EQ(bar_->Button(0)->toolTip(), "a");
    EXPECT_EQ(bar_->Button(4)->toolTip(), "c");

    // c shows its image (the red error mark, here above the white cross) on its
    // button in the second row of the window's picture.
    const QImage shot = window_.grab().toImage();
    const QColor red = shot.pixelColor((c.center() + QPoint(0, -4)) * shot.devicePixelRatio());
    EXPECT_GT(red.red(), 180) << red.name().toStdString();
    EXPECT_LT(red.green(), 90) << red.name().toStdString();
    EXPECT_LE(bar_->Widget()->geometry().top(), a.top());
    EXPECT_GE(bar_->Widget()->geometry().bottom(), c.bottom());
}

TEST_F(ToolBarTest, ButtonsFollowTheEngineFlagsOnEveryRefresh) {
    build({"{(%CL_Menu_View_ToolBar)}Toolbar", "{(%CL_Menu_File_Print_Current)}Print",
           "{(%CL_Menu_Port_Com[2])}Port 2", "{(%CL_Menu_File_New)}New"});
    ON_CALL(commands_, CanPrintCurrent()).WillByDefault(::testing::Return(false));
    context_.toolBar = true;
    context_.comPort = 1;
    hub_.Send(evRefreshToolBar);
    QToolButton* toolbar = bar_->Button(0);
    QToolButton* print = bar_->Button(1);
    QToolButton* port = bar_->Button(2);
    QToolButton* plain = bar_->Button(3);
    EXPECT_TRUE(toolbar->isCheckable() && toolbar->isChecked());
    EXPECT_FALSE(print->isEnabled());
    EXPECT_FALSE(port->isChecked());
    EXPECT_FALSE(plain->isCheckable());
    EXPECT_TRUE(plain->isEnabled());

    ON_CALL(commands_, CanPrintCurrent()).WillByDefault(::testing::Return(true));
    context_.toolBar = false;
    context_.comPort = 2;
    EXPECT_TRUE(toolbar->isChecked()); // nothing changes until the hub asks
    hub_.Send(evRefreshToolBar);
    EXPECT_FALSE(toolbar->isCheckable() || toolbar->isChecked());
    EXPECT_TRUE(print->isEnabled());
    EXPECT_TRUE(port->isCheckable() && port->isChecked());
}

TEST_F(ToolBarTest, AClickRunsTheButtonsCommandOrTheOwnHandler) {
    build({"{(%CL_Menu_File_New)}New", "-", "{(%CL_Menu_Clone_Read)}Read"});
    EXPECT_CALL(commands_, FileNew()).Times(1);
    EXPECT_CALL(commands_, CloneRead()).Times(1);
    QTest::mouseClick(bar_->Button(0), Qt::LeftButton);
    QTest::mouseClick(bar_->Button(2), Qt::LeftButton);
    ::testing::Mock::VerifyAndClearExpectations(&commands_);

    std::vector<int> clicked;
    build({"{(%CL_Menu_File_New)}New", "{(%CL_Menu_Clone_Read)}Read"},
          [&](CellModel& model) { clicked.push_back(model.label); });
    EXPECT_CALL(commands_, FileNew()).Times(0);
    QTest::mouseClick(bar_->Button(1), Qt::LeftButton);
    EXPECT_EQ(clicked, std::vector<int>{labelNumber("CL_Menu_Clone_Read")});
}

TEST_F(ToolBarTest, ACommandThatDeletesTheToolbarEndsTheClickQuietly) {
    build({"{(%CL_Menu_View_ToolBar)}Toolbar"});
    context_.toolBar = true;
    hub_.Send(evRefreshToolBar);
    ON_CALL(commands_, ToggleToolBar()).WillByDefault([this] { bar_.reset(); });
    QTest::mouseClick(bar_->Button(0), Qt::LeftButton);
    EXPECT_FALSE(bar_.has_value());
    hub_.Send(evRefreshToolBar); // no longer subscribed
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window_.findChildren<QToolBar*>().isEmpty());
}

} // namespace

namespace {

// The installed overlay's toolbar and tree, built with the program's images.
TEST_F(ToolBarTest, TheInstalledToolbarAndTreeFindAnImageForEveryIndexTheyName) {
    OverlayTexts installed;
    installed.SetFile(programDir() + "Marlo.OVL");
    const ImageList toolImages = ImageList::ForToolBar();
    ToolBar bar(&window_, installed, "GI_ToolBar_Main", toolImages, hub_, &context_);
    bar.Build();
    int buttons = 0;
    for (int line = 0; line < bar.LineCount(); ++line) {
        if (QToolButton* button = bar.Button(line)) {
            ++buttons;
            EXPECT_TRUE(toolImages.Has(bar.Model(line).imageIndex)) << "toolbar line " << line;
            EXPECT_FALSE(button->toolTip().isEmpty()) << "toolbar line " << line;
        }
    }
    EXPECT_GT(buttons, 0);

    QWidget host;
    Tree tree(&host, installed, "GI_Tree_Main", images_, hub_);
    tree.Build();
    int nodes = 0;
    for (QTreeWidgetItemIterator it(tree.View()); *it; ++it, ++nodes) {
        const CellModel* model = tree.ModelOf(*it);
        EXPECT_TRUE(images_.Has(model->imageIndex)) << (*it)->text(0).toStdString();
        EXPECT_TRUE(model->parameter.has_value()) << (*it)->text(0).toStdString();
    }
    EXPECT_GT(nodes, 0);
}

} // namespace
