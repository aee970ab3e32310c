#include "cellEngineFixture.h"

#include "radio/cellLabels.h"
#include "sheets/overlayLineStore.h"
#include "views/bitEditor.h"
#include "views/sheet.h"

#include <QDialogButtonBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace marlo;

using namespace CellLabel;

namespace {

// Row 2 of the raw-byte table (bytes 0x20 and 0x21) on a sheet of the real
// engine, whose Enter on a byte opens the bit editor as the program does.
class BitEditorTest : public CellEngineTest {
protected:
    BitEditorTest() {
        host_.resize(300, 100);
        sheet_.emplace(&host_, nullptr, Sheet::StartCell{}, store_.Store(), "Raw", nullptr);
        sheet_->SetEngine(engine());
        sheet_->Build();
        host_.show();
        ON_CALL(commands_, OpenBitEditor)
            .WillByDefault([this](CellRequest& request, std::uint8_t value, std::string_view) {
                editor_ = BitEditor::Open(request, value, engine(), QRect(0, 0, 1280, 1024));
            });
        setByte(0x21, 0x5A);
        context_.saved.Assign(context_.current);
        sheet_->SetCursor(2, 0);
        sheet_->Grid()->setFocus();
    }
    ~BitEditorTest() override {
        delete editor_.data();
        sheet_.reset();
    }
    CellEngineCall engine() {
        return [this](CellRequest& r, bool notify) { return evaluateCell(engine_, r, notify); };
    }
    // The bits as the editor's sheet shows them, highest first.
    std::string shownBits() {
        std::string bits;
        for (int bit = 7; bit >= 0; --bit)
            bits += editor_->Sheet().ShownText(1 + 2 * (7 - bit), 3);
        return bits;
    }
    void keyToEditor(Qt::Key key) { QTest::keyClick(editor_->Sheet().Grid(), key); }
    void typeToEditor(char c) { QTest::keyClick(editor_->Sheet().Grid(), c); }

    OverlayLineStore store_{
        {"#CellModel_Basic", "~<", "#CellModel_b", "S^-WH", "#Raw_Style", "", "#Raw_BasicCell",
         "{($Basic)}", "#Raw_Cells",
         "|{($b)(%CT_Null.CL_EeDebugWin_0[2])}00|{($b)(%CL_EeDebugWin_1[2])}00|", "#"}};
    QWidget host_;
    std::optional<Sheet> sheet_;
    QPointer<BitEditor> editor_;
};

TEST_F(BitEditorTest, EnterOnAByteOpensItsBitsAndConfirmingWritesTheByte) {
    QTest::keyClick(sheet_->Grid(), Qt::Key_Return);
    ASSERT_TRUE(editor_);
    EXPECT_TRUE(editor_->isVisible());
    EXPECT_EQ(editor_->Value(), 0x5A);
    EXPECT_EQ(shownBits(), "01011010");
    EXPECT_EQ(editor_->windowTitle(), "5A = 90");
    const Grid& grid = *editor_->Sheet().Grid();
    EXPECT_GE(grid.viewport()->width(), grid.Layout().TotalWidth()); // every bit in sight
    EXPECT_GE(grid.viewport()->height(), grid.Layout().TotalHeight());

    keyToEditor(Qt::Key_Space); // bit 7, where the cursor starts
    keyToEditor(Qt::Key_Right);
    typeToEditor('1'); // bit 6, already set
    keyToEditor(Qt::Key_Right);
    typeToEditor('1'); // bit 5
    keyToEditor(Qt::Key_Right);
    typeToEditor('0'); // bit 4
    EXPECT_EQ(shownBits(), "11101010");
    EXPECT_EQ(byteAt(0x21), 0x5A); // nothing written before the choice is confirmed

    keyToEditor(Qt::Key_Return);
    EXPECT_EQ(byteAt(0x21), 0xEA);
    EXPECT_EQ(byteAt(0x20), 0x00);
    EXPECT_EQ(sheet_->ShownText(2, 0), "EA");
    EXPECT_TRUE(context_.modified);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(editor_);
}

TEST_F(BitEditorTest, AClickFlipsTheCurrentBitAndOkConfirms) {
    QTest::keyClick(sheet_->Grid(), Qt::Key_Return);
    ASSERT_TRUE(editor_);
    Sheet& bits = editor_->Sheet();
    const GridRect r = bits.Grid()->CellRect(15, 3);
    const QPoint bit0((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    QTest::mouseClick(bits.Grid()->viewport(), Qt::LeftButton, {}, bit0);
    EXPECT_EQ(shownBits(), "01011011");
    // A double click is two clicks: the second press comes as the double click.
    QWidget* view = bits.Grid()->viewport();
    QTest::mousePress(view, Qt::LeftButton, {}, bit0);
    QTest::mouseRelease(view, Qt::LeftButton, {}, bit0);
    EXPECT_EQ(shownBits(), "01011010");
    QTest::mouseDClick(view, Qt::LeftButton, {}, bit0);
    QTest::mouseRelease(view, Qt::LeftButton, {}, bit0);
    EXPECT_EQ(shownBits(), "01011011");
    QTest::mouseClick(editor_->Buttons()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(byteAt(0x21), 0x5B);
}

TEST_F(BitEditorTest, EscapeCancelAndTheOwnersGoingWriteNothing) {
    for (const char* how : {"Escape", "Cancel", "owner gone", "file command"}) {
        SCOPED_TRACE(how);
        QTest::keyClick(sheet_->Grid(), Qt::Key_Return);
        ASSERT_TRUE(editor_);
        bool confirmed = true;
        QObject::connect(editor_, &BitEditor::Closed, [&](bool c) { confirmed = c; });
        keyToEditor(Qt::Key_Space);
        const std::string which = how;
        if (which == "Escape")
            keyToEditor(Qt::Key_Escape);
        else if (which == "Cancel")
            QTest::mouseClick(editor_->Buttons()->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        else if (which == "owner gone")
            hub_.Send(evWindowDestroyed, sheet_->Grid());
        else
            hub_.Send(evCommitEditors);
        EXPECT_FALSE(confirmed);
        EXPECT_FALSE(editor_->isVisible());
        EXPECT_EQ(byteAt(0x21), 0x5A);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(editor_);
    }
    EXPECT_FALSE(context_.modified);
}

} // namespace
