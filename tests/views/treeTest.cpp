#include "views/tree.h"
#include "core/notificationHub.h"
#include "sheets/overlayLineStore.h"
#include "support/eventLoop.h"
#include "views/imageList.h"

#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <optional>

using namespace marlo;

namespace {

// A tree in a window of its own; `body` is the tree's body, one node per line.
class TreeTest : public ::testing::Test {
protected:
    TreeTest() { NotificationHub::SetApp(&hub_); }
    ~TreeTest() override {
        tree_.reset();
        NotificationHub::SetApp(nullptr);
        hub_.Shutdown();
    }

    void build(std::vector<std::string> body, std::string base = "") {
        tree_.reset();
        std::vector<std::string> lines = {"#T_BasicCell", std::move(base), "#T_Body"};
        lines.insert(lines.end(), body.begin(), body.end());
        lines.emplace_back("#");
        store_.emplace(std::move(lines));
        tree_.emplace(&host_, store_->Store(), "T", images_, hub_);
        tree_->Build();
        tree_->View()->resize(300, 300);
        host_.resize(300, 300);
        host_.show();
    }
    // The nodes as text: "A(B C) D".
    std::string shape(QTreeWidgetItem* node = nullptr) const {
        std::string out;
        const int count = node ? node->childCount() : tree_->View()->topLevelItemCount();
        for (int i = 0; i < count; ++i) {
            QTreeWidgetItem* child = node ? node->child(i) : tree_->View()->topLevelItem(i);
            if (i > 0)
                out += ' ';
            out += child->text(0).isEmpty() ? "_" : child->text(0).toStdString();
            if (child->childCount() > 0)
                out += "(" + shape(child) + ")";
        }
        return out;
    }
    QTreeWidgetItem* node(const char* text) const {
        const auto found = tree_->View()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }

    NotificationHub hub_;
    QWidget host_;
    ImageList images_ = ImageList::ForTree();
    std::optional<OverlayLineStore> store_;
    std::optional<Tree> tree_;
};

TEST_F(TreeTest, DepthIsTheNumberOfCharactersBeforeThePlus) {
    struct Row {
        std::vector<std::string> body;
        std::string shape;
    };
    const Row rows[] = {
        {{"+A", " +B", " +C", "+D"}, "A(B C) D"},
        {{"  +A", "+B", "+C"}, "A"}, // a shallower line ends the whole tree
        {{"+A", "   +B", "  +C", " +D", "+E"}, "A(B C D) E"},
        {{"+A", "..+B", "xy+C", "\t+D"}, "A(B C D)"},
        {{"+A", "text without plus", "+B"}, "A(_) B"},
        {{}, ""},
    };
    for (const Row& row : rows) {
        build(row.body);
        EXPECT_EQ(shape(), row.shape) << row.body.size() << " lines";
    }
}

TEST_F(TreeTest, NodesShowTheirCellsOverTheBaseCell) {
    build({"+{(%CallSheet:S_Root)(ImageIndex=0)}Root", " +{(%CallSheet:S_One)}One",
           "  +{(%CallSheet:S_Deep)}Deep"},
          "{(Color=clYellow)(ImageIndex=2)(%CT_Null.CallSheet)}");
    EXPECT_TRUE(node("Root")->isExpanded());
    EXPECT_FALSE(node("One")->isExpanded());
    const CellModel* one = tree_->ModelOf(node("One"));
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->parameter, "S_One");
    EXPECT_EQ(one->imageIndex, 2);
    EXPECT_EQ(tree_->ModelOf(node("Root"))->imageIndex, 0);
    EXPECT_EQ(tree_->View()->palette().color(QPalette::Base), QColor(Qt::yellow));
    EXPECT_EQ(tree_->SelectedModel(), nullptr);
}

TEST_F(TreeTest, MarksNameSheetsAndShowOnCollapsedBranches) {
    build({"+{(%CallSheet:S_Root)}Root", " +{(%CallSheet:S_Lists)}Lists",
           "  +{(%CallSheet:S_Ch)}Channels", "  +{(%CallSheet:S_Ids)}Ids",
           " +{(%CallSheet:S_Common)}Common", "+{(%CallSheet:S_Other)}Other"},
          "{(ImageIndex=1)}");
    const auto marks = [this] {
        std::string out;
        for (const char* name : {"Root", "Lists", "Channels", "Ids", "Common", "Other"})
            out += std::to_string(Tree::MarkOf(node(name))) + " ";
        return out;
    };
    EXPECT_EQ(tree_->Mark({"S_Ch", "S_Nowhere"}, Tree::kWarningOverlay), 1);
    EXPECT_EQ(marks(), "-1 1 1 -1 -1 -1 "); // Lists is collapsed, Root is not
    EXPECT_EQ(tree_->Mark({"S_Ch", "S_Common"}, Tree::kErrorOverlay), 2);
    EXPECT_EQ(marks(), "-1 0 0 -1 0 -1 ");
    node("Lists")->setExpanded(true);
    node("Root")->setExpanded(false);
    tree_->ClearMarks();
    EXPECT_EQ(marks(), "-1 -1 -1 -1 -1 -1 ");
    EXPECT_EQ(tree_->Mark({"S_Ids"}, Tree::kErrorOverlay), 1);
    EXPECT_EQ(marks(), "0 -1 -1 0 -1 -1 ");
    EXPECT_EQ(tree_->Mark({"S_Ids"}, 7), 0);
}

TEST_F(TreeTest, AMarkedNodeShowsTheMarkOverItsImage) {
    build({"+{(%CallSheet:S_A)}A", "+{(%CallSheet:S_B)}B"}, "{(ImageIndex=1)}");
    const auto redAt = [this](const char* name) {
        const QRect row = tree_->View()->visualItemRect(node(name));
        const QImage shot = tree_->View()->viewport()->grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        int red = 0;
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = row.left(); x < row.left() + row.height() + 8; ++x) {
                const QRgb p = shot.pixel(QPoint(x, y) * ratio);
                red += qRed(p) > 180 && qGreen(p) < 90 && qBlue(p) < 90 ? 1 : 0;
            }
        return red;
    };
    EXPECT_EQ(redAt("A"), 0);
    tree_->Mark({"S_A"}, Tree::kErrorOverlay);
    EXPECT_GT(redAt("A"), 10);
    EXPECT_EQ(redAt("B"), 0);
    tree_->ClearMarks();
    EXPECT_EQ(redAt("A"), 0);
}

TEST_F(TreeTest, TheSelectionReachesTheWindowOnceItHasRested) {
    build({"+{(%CallSheet:S_A)}A", "+{(%CallSheet:S_B)}B", "+{(%CallSheet:S_C)}C"});
    std::vector<std::string> opened;
    int expandedOrCollapsed = 0;
    tree_->OnSelect([&](const CellModel& model) { opened.push_back(*model.parameter); });
    tree_->OnExpandOrCollapse([&] { ++expandedOrCollapsed; });
    tree_->SetChangeDelay(40);
    tree_->SelectFirst();
    tree_->View()->setCurrentItem(node("C"));
    EXPECT_TRUE(opened.empty());
    ASSERT_TRUE(runEventLoopUntil([&] { return !opened.empty(); }));
    runEventLoopFor(100);
    EXPECT_EQ(opened, std::vector<std::string>{"S_C"});
    EXPECT_EQ(tree_->SelectedModel()->parameter, "S_C");
    EXPECT_EQ(expandedOrCollapsed, 0); // building expanded the first node quietly

    tree_->View()->setFocus();
    QTest::keyClick(tree_->View(), Qt::Key_Up);
    ASSERT_TRUE(runEventLoopUntil([&] { return opened.size() == 2; }));
    EXPECT_EQ(opened.back(), "S_B");
}

TEST_F(TreeTest, TheTreeGivesUpWhenItsHostIsDestroyed) {
    build({"+{(%CallSheet:S_A)}A", " +{(%CallSheet:S_B)}B"});
    QWidget other;
    hub_.Send(evWindowDestroyed, &other);
    ASSERT_NE(tree_->View(), nullptr);
    hub_.Send(evWindowDestroyed, &host_);
    EXPECT_EQ(tree_->View(), nullptr);
    EXPECT_TRUE(host_.findChildren<QTreeWidget*>().isEmpty());
    EXPECT_EQ(tree_->Mark({"S_A"}, Tree::kErrorOverlay), 0);
    EXPECT_EQ(tree_->SelectedModel(), nullptr);
    tree_->Build();
    tree_->ClearMarks();
    hub_.Send(evWindowDestroyed, &host_);
}

} // namespace
