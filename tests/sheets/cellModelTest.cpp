#include "sheets/cellModel.h"

#include <gtest/gtest.h>

using namespace marlo;

namespace {

CellModel richParent() {
    CellModel p;
    p.category = 2;
    p.label = 145;
    p.index = 9;
    p.parameter = "param";
    p.imageIndex = 3;
    p.layout = 0xFF;
    p.behaviour = 0xFF;
    p.colour = 0x00123456;
    p.font = std::make_unique<CellFont>();
    p.font->face = "Serif";
    p.popupMenu = "GI_PMenu_Ch";
    p.text = "shown";
    return p;
}

TEST(CellObj, ResetWithoutParentClearsAllButCategoryIndexAndHighBehaviourBits) {
    CellModel m = richParent();
    m.Reset();
    EXPECT_EQ(m.category, 2);
    EXPECT_EQ(m.index, 9);
    EXPECT_EQ(m.label, CellModel::kNoLabel);
    EXPECT_FALSE(m.parameter);
    EXPECT_EQ(m.imageIndex, -1);
    EXPECT_EQ(m.layout, 0);
    EXPECT_EQ(m.behaviour, 0xC0);
    EXPECT_EQ(m.colour, kClWindow);
    EXPECT_FALSE(m.font);
    EXPECT_FALSE(m.popupMenu);
    EXPECT_FALSE(m.text);
}

TEST(CellObj, ResetTakesTheParentMinusItsFontAndPopupMenu) {
    const CellModel parent = richParent();
    CellModel m;
    m.parent = &parent;
    m.font = std::make_unique<CellFont>();
    m.Reset();
    EXPECT_EQ(m.parent, &parent);
    EXPECT_EQ(m.category, 2);
    EXPECT_EQ(m.label, 145);
    EXPECT_EQ(m.index, 9);
    EXPECT_EQ(m.parameter, "param");
    EXPECT_EQ(m.imageIndex, 3);
    EXPECT_EQ(m.layout, 0xFF);
    EXPECT_EQ(m.behaviour, 0xFF);
    EXPECT_EQ(m.colour, 0x00123456u);
    EXPECT_EQ(m.Text(), "shown");
    EXPECT_FALSE(m.font);
    EXPECT_FALSE(m.popupMenu);
    EXPECT_EQ(*m.FindPopupMenu(), "GI_PMenu_Ch");
}

TEST(CellObj, CopyIsDeep) {
    const CellModel parent;
    CellModel source = richParent();
    source.parent = &parent;
    CellModel copy;
    copy = source;
    ASSERT_TRUE(copy.font);
    EXPECT_NE(copy.font.get(), source.font.get());
    EXPECT_EQ(*copy.font, *source.font);
    source.font->face = "changed";
    source.text = "changed";
    EXPECT_EQ(copy.font->face, "Serif");
    EXPECT_EQ(copy.Text(), "shown");
    EXPECT_EQ(copy.parent, &parent);
    EXPECT_EQ(copy.popupMenu, "GI_PMenu_Ch");

    CellModel& self = copy;
    copy = self;
    EXPECT_EQ(copy.font->face, "Serif");
    CellModel plain;
    copy = plain;
    EXPECT_FALSE(copy.font) << "a source without font leaves none";
}

TEST(CellObj, PopupMenuIsFoundThroughTheAncestors) {
    CellModel root;
    CellModel middle;
    CellModel leaf;
    middle.parent = &root;
    leaf.parent = &middle;
    EXPECT_EQ(leaf.FindPopupMenu(), nullptr);
    root.popupMenu = "GI_Root";
    middle.popupMenu = ""; // empty names do not count
    EXPECT_EQ(*leaf.FindPopupMenu(), "GI_Root");
    middle.popupMenu = "GI_Middle";
    EXPECT_EQ(*leaf.FindPopupMenu(), "GI_Middle");
}

} // namespace
