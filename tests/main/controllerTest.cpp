#include "controllerFixture.h"

#include "clone/cloneManager.h"
#include "clone/cloneResult.h"
#include "core/cloneFile.h"
#include "radio/entryTestImage.h"
#include "radio/listRecord.h"
#include "support/eventLoop.h"
#include "tools/radiosim/radioSim.h"

#include <cstdio>
#include <fstream>
#include <functional>

using namespace marlo;

namespace {

std::string textAt(const MemoryImage& image, int address, int n) {
    return {reinterpret_cast<const char*>(image.Data()) + address, static_cast<std::size_t>(n)};
}

constexpr int callKindMirror = 32768;

// A used channel of the given call kind in slot `slot`.
void storeChannel(MemoryImage& image, int slot, std::uint8_t callKind) {
    ListRecord e(&image);
    e.MakeBlank(listUserChannel, slot);
    e.state = 0;
    e.channelNumber = static_cast<std::uint32_t>(100 + slot);
    e.rxFrequency = e.txFrequency = 7'000'000;
    e.callKind = callKind;
    e.Store(listUserChannel, slot);
}

// Reads a clone file into the document as opening a file does, then lets the
// controller adapt it.
void openAsDocument(RadioAppController& c, const std::string& path) {
    CloneFile file;
    file.BindImage(c.CurrentImage());
    file.SetModelCode(marloModel::modelCodeFirst, marloModel::modelCodeSecond);
    file.SetMapRevisionCheck([&c](int revision) { return c.MapRevisionAccepted(revision); });
    ASSERT_EQ(file.Load(path, marloModel::cloneRange), CloneFile::Ok);
    c.AfterLoad(c.CurrentImage());
}

// ---- image checks ----

TEST_F(ControllerTest, ImageRejectedChecksMapRevisionVariantAndInStrictModeTheSignature) {
    RadioAppController& c = makeController();
    struct Case {
        int address;
        std::uint8_t value;
        int normal, strict;
    };
    const Case cases[] = {
        {-1, 0, 0, 0}, // the initial image itself
        {0x2B0, 5, 1, 1},    {0x2B0, 7, 1, 1},        {0x2B1, 1, 0, 0},
        {0x2B1, 2, 1, 1},    {0x6C2C + 7, 'k', 0, 1}, // "VEXA Ink"
        {0x6C2C, 'v', 0, 1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << k.address << " = " << int(k.value));
        MemoryImage image;
        makeInitialImage(image, 0);
        if (k.address >= 0)
            image.SetByte(k.address, k.value);
        EXPECT_EQ(c.ImageRejected(image, false), k.normal);
        EXPECT_EQ(c.ImageRejected(image, true), k.strict);
    }
    MemoryImage tooSmall;
    tooSmall.Resize(0x2B0);
    EXPECT_EQ(c.ImageRejected(tooSmall, false), 1);
}

// ---- model variant ----

TEST_F(ControllerTest, ChangingToTheSameVariantAsksAndChangesNothing) {
    settings_->ModelType = 0;
    RadioAppController& c = makeController();
    c.CurrentImage().SetByte(0x300, 0x42);
    c.ChangeModel(0, true); // the prompter fails the test on any question
    c.ChangeModel(0, false);
    EXPECT_TRUE(prompter_.shown().empty());
    EXPECT_EQ(c.CurrentImage().GetByte(0x300), 0x42);
    EXPECT_EQ(c.ReferenceImage().GetByte(0x2B0), 0); // never loaded
}

TEST_F(ControllerTest, ConfirmedChangeCancelledChangesNothing) {
    RadioAppController& c = makeControllerWithReference();
    c.CurrentImage().SetByte(0x300, 0x42);
    c.SetDocumentName("/tmp/mine.vcf");
    ASSERT_TRUE(c.UpdateModified());

    prompter_.answerNext(PromptAnswer::Cancel);
    c.ChangeModel(1, true);

    ASSERT_EQ(prompter_.shown().size(), 1u);
    const auto& box = prompter_.shown()[0];
    EXPECT_EQ(box.caption, overlayLine("GI_Sys_AppTitle"));
    EXPECT_EQ(box.text, overlayText("GI_AppMess_ChangeModel"));
    EXPECT_EQ(box.icon, PromptIcon::Warning);
    EXPECT_EQ(box.buttons, PromptButtons::OkCancel);
    EXPECT_EQ(settings_->ModelType, 0);
    EXPECT_EQ(textAt(c.ReferenceImage(), 0x2BB, 6), "INIT 0");
    EXPECT_EQ(c.CurrentImage().GetByte(0x300), 0x42);
    EXPECT_EQ(c.DocumentName(), "/tmp/mine.vcf");
    EXPECT_TRUE(c.IsModified());
}

TEST_F(ControllerTest, ConfirmedChangeStartsAnUntitledDocumentFromTheNewVariant) {
    settings_->ModelType = 0;
    RadioAppController& c = makeController();
    c.SetDocumentName("/tmp/mine.vcf");
    c.SetModified();

    prompter_.answerNext(PromptAnswer::Ok);
    c.ChangeModel(1, true);

    EXPECT_EQ(settings_->ModelType, 1);
    EXPECT_EQ(textAt(c.ReferenceImage(), 0x2BB, 6), "INIT 1");
    EXPECT_EQ(c.ReferenceImage().GetByte(0x2B1), 1);
    EXPECT_TRUE(c.CurrentImage().Equals(c.ReferenceImage()));
    EXPECT_FALSE(c.IsModified());
    EXPECT_FALSE(c.UpdateModified());
    EXPECT_EQ(c.DocumentName(), "");
    EXPECT_EQ(c.DocumentTitle(), "Untitled");
}

TEST_F(ControllerTest, AfterLoadAdoptsTheImagesVariantQuietlyAndAnnouncesTheReload) {
    RadioAppController& c = makeControllerWithReference();
    MemoryImage& doc = c.CurrentImage();
    makeInitialImage(doc, 1);
    doc.SetByte(0x2B4, 0x99); // a radio byte: the reference's wins
    ListRecord e(&doc);
    e.MakeBlank(listUserChannel, 5);
    e.channelNumber = 77; // a used channel: the user's
    e.state = 0;
    e.rxFrequency = e.txFrequency = 7'000'000;
    e.Store(listUserChannel, 5);

    c.AfterLoad(doc);

    EXPECT_TRUE(prompter_.shown().empty());
    EXPECT_EQ(settings_->ModelType, 1);
    EXPECT_EQ(textAt(c.ReferenceImage(), 0x2BB, 6), "INIT 1");
    EXPECT_EQ(doc.GetByte(0x2B4), 0);
    e.Load(listUserChannel, 5);
    EXPECT_EQ(e.channelNumber, 77u);
    EXPECT_EQ(e.rxFrequency, 7'000'000);
    EXPECT_TRUE(waitForMessage(evDocumentReloaded));
}

// ---- documents from files ----

// Files and the radio do not carry the call-kind copy that counts ALE channels:
// a loaded document must not keep the previous document's copy.
TEST_F(ControllerTest, AnOpenedFileGetsTheCallKindCopyOfItsChannels) {
    RadioAppController& c = makeControllerWithReference();
    MemoryImage image;
    makeInitialImage(image, 0);
    for (int slot : {0, 17, 499})
        storeChannel(image, slot, ListRecord::aleCallKind);
    storeChannel(image, 18, 1);
    image.SetByte(715 + 26 * 30 + 8, ListRecord::aleCallKind); // an unused slot's stale kind
    const std::string path = install_->filePath("calls.vcf").toStdString();
    writeCloneFile(path, image);

    for (int slot = 0; slot < 500; ++slot) // what the previous document left
        c.CurrentImage().SetByte(callKindMirror + slot, ListRecord::aleCallKind);
    openAsDocument(c, path);

    const MemoryImage& doc = c.CurrentImage();
    for (int slot = 0; slot < 500; ++slot)
        ASSERT_EQ(doc.GetByte(callKindMirror + slot), doc.GetByte(715 + 26 * slot + 8)) << slot;
    EXPECT_EQ(doc.GetByte(callKindMirror + 18), 1);
    EXPECT_EQ(doc.GetByte(callKindMirror + 30), 0);
    EXPECT_EQ(ListRecord(&c.CurrentImage()).AleChannelCount(), 3);
}

// Bytes that no editor would write: kept as they are (the scan group apart,
// which the list limits to 3), and never a reason to look outside the tables.
TEST_F(ControllerTest, OutOfRangeListBytesLoadAndStoreInPlace) {
    RadioAppController& c = makeControllerWithReference();
    MemoryImage image;
    makeInitialImage(image, 0);
    storeChannel(image, 7, 1);
    const int record = 715 + 26 * 7;
    image.SetByte(record + 6, 200);  // mode index
    image.SetByte(record + 25, 250); // ALE index
    image.SetByte(14715 + 7, 9);     // scan group
    image.SetByte(13715 + 2 * 7, 0); // channel number 0
    image.SetByte(13715 + 2 * 7 + 1, 0);
    const int ale = 15454 + 51 * 4; // an ALE entry whose ranges name channels 0 and 10000
    putText(image, ale, "SHIP");
    putBytes(image, ale + 30, {0, 0, 0x10, 0x27});
    const std::string path = install_->filePath("odd.vcf").toStdString();
    writeCloneFile(path, image);

    openAsDocument(c, path);

    MemoryImage& doc = c.CurrentImage();
    ASSERT_EQ(doc.Size(), marloModel::imageSize);
    for (int a = 0x2B0; a <= 0x6C3F; ++a) {
        const std::uint8_t expected = a == 14715 + 7 ? 3 : image.GetByte(a);
        ASSERT_EQ(doc.GetByte(a), expected) << std::hex << a;
    }
    ListRecord e(&doc);
    e.Load(listUserChannel, 7);
    EXPECT_TRUE(e.isUsed());
    EXPECT_EQ(e.channelNumber, 0u);
    EXPECT_EQ(e.ModeNameOf(e.mode), "");
    EXPECT_FALSE(e.ModeIsUsable(e.mode));
    EXPECT_EQ(e.AleAddressOf(e.aleIndex), "");
    EXPECT_EQ(e.AleAddressOf(300), "");
    e.Load(listAleId, 4);
    EXPECT_EQ(e.RangeFrom(0), ListRecord::noChannel);
    EXPECT_EQ(e.RangeTo(0), ListRecord::noChannel);

    // Saved and opened again, the document is the same.
    const std::string again = install_->filePath("again.vcf").toStdString();
    writeCloneFile(again, doc);
    MemoryImage saved;
    saved.Assign(doc);
    openAsDocument(c, again);
    EXPECT_TRUE(c.CurrentImage().Equals(saved));
}

// ---- clone write ----

class FakeWriter : public CloneWriter {
public:
    bool IsBusy() const override { return busy; }
    void SetImageSize(std::int32_t n) override { size = n; }
    bool StartWrite(const MemoryImage& image, RangeList list, Completion completion) override {
        ++starts;
        sent.Assign(image);
        ranges.clear();
        forEachRange(list, image.Size(),
                     [&](int first, int last) { ranges.emplace_back(first, last); });
        done = std::move(completion);
        return true;
    }

    bool busy = false;
    std::int32_t size = 0;
    int starts = 0;
    MemoryImage sent;
    std::vector<std::pair<int, int>> ranges;
    Completion done;
};

class CloneWriteTest : public ControllerTest {
protected:
    RadioAppController& start(std::vector<std::string> args = {"marlo"}) {
        settings_->ModelType = 0;
        RadioAppController& c = makeController(std::move(args));
        prompter_.answerNext(PromptAnswer::Ok);
        c.ChangeModel(1, true);
        prompter_.answerNext(PromptAnswer::Ok);
        c.ChangeModel(0, true);
        prompter_.clear();
        c.SetCloneWriter(&writer);
        return c;
    }
    void setFirmware(RadioAppController& c, const char* version) {
        for (int i = 0; i < 4; ++i)
            c.LastRadioInfo.block[24 + static_cast<std::size_t>(i)] =
                static_cast<std::uint8_t>(version[i]);
    }
    FakeWriter writer;
};

TEST_F(CloneWriteTest, OldFirmwareGetsTheScanGroupFixInTheSentCopyOnly) {
    RadioAppController& c = start();
    for (const char* firmware : {"3399", "3400"}) {
        SCOPED_TRACE(firmware);
        setFirmware(c, firmware);
        c.StartCloneWrite(0);
        EXPECT_EQ(writer.size, 33268);
        EXPECT_EQ(writer.ranges,
                  (std::vector<std::pair<int, int>>{{0x2B0, 0x6C19}, {0x6C25, 0x6C3F}}));
        const int sentGroup = firmware[1] == '3' ? 1 : 0;
        for (int ch : {0, 250, 499}) {
            EXPECT_EQ(writer.sent.GetByte(14715 + ch), sentGroup) << ch;
            EXPECT_EQ(c.CurrentImage().GetByte(14715 + ch), 0) << ch;
        }
    }
    EXPECT_EQ(writer.starts, 2);
}

TEST_F(CloneWriteTest, PreparationAloneDoesNotMarkTheDocumentModified) {
    RadioAppController& c = start();
    c.CurrentImage().SetByte(0x2B4, 0x99); // the preparation puts the radio's byte back
    c.TakeSaved();
    c.StartCloneWrite(0);
    EXPECT_EQ(c.CurrentImage().GetByte(0x2B4), 0);
    EXPECT_EQ(writer.sent.GetByte(0x2B4), 0);
    EXPECT_FALSE(c.IsModified());
    EXPECT_FALSE(c.UpdateModified());

    c.CurrentImage().SetByte(0x300, 1);
    c.StartCloneWrite(0);
    EXPECT_TRUE(c.IsModified()); // a real change stays a change
}

TEST_F(CloneWriteTest, FailedIdentificationOrABusyManagerSendsNothing) {
    RadioAppController& c = start();
    c.CurrentImage().SetByte(0x2B4, 0x99);
    c.StartCloneWrite(5);
    writer.busy = true;
    c.StartCloneWrite(0);
    EXPECT_EQ(writer.starts, 0);
    EXPECT_EQ(c.CurrentImage().GetByte(0x2B4), 0x99);
}

TEST_F(CloneWriteTest, FactoryModeSendsTheIdentityAndDrawsANewOneAfterwards) {
    RadioAppController& c = start({"marlo", "/factory"});
    const IdentityDigits digits = c.Identity();
    ASSERT_NE(digits, kNoIdentityDigits);
    c.StartCloneWrite(0);
    ASSERT_EQ(writer.starts, 1);
    EXPECT_EQ(writer.ranges, (std::vector<std::pair<int, int>>{{0x2B0, 0x6C3F}}));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(writer.sent.GetByte(0x6C1A + i), digits[static_cast<std::size_t>(i)]);

    const auto done = writer.done;
    done(7); // a failed write shows nothing
    EXPECT_TRUE(prompter_.shown().empty());
    done(0);
    EXPECT_NE(c.Identity(), digits);
    ASSERT_EQ(prompter_.shown().size(), 1u);
    EXPECT_EQ(prompter_.lastText(), overlayText("GI_Mess_CloneWrite_Succeeded"));
    EXPECT_EQ(prompter_.shown()[0].icon, PromptIcon::Information);
}

// The controller's own clone manager carries its checks: the identification
// fills the radio information, a radio of the other variant is refused, and a
// clone write goes out through it.
TEST_F(CloneWriteTest, ItsOwnCloneManagerChecksTheRadioAndSendsTheDocument) {
    RadioAppController& c = start();
    c.SetCloneWriter(nullptr);            // gives the controller's own manager back
    c.CurrentImage().SetByte(0x2BB, 'X'); // the user's change to send

    RadioSim radio;
    ASSERT_TRUE(radio.Start()) << radio.ErrorText();
    MemoryImage memory;
    makeInitialImage(memory, 0);
    radio.SetImage(memory);
    radio.SetFirmware("3399");
    CloneManager& manager = c.CloneManager();
    manager.SetPort({0, radio.DevicePath()});
    manager.SetIdentification(static_cast<std::uint32_t>(c.ModelCodeFirst()), 0);
    const auto identify = [&] {
        int code = -1;
        EXPECT_TRUE(manager.StartInformation([&](CloneResult& r) { code = r.code; }));
        EXPECT_TRUE(runEventLoopUntil([&] { return code != -1; }));
        return code;
    };

    radio.SetVariant(1);
    EXPECT_EQ(identify(), CloneResult::codeModelMismatch);
    EXPECT_EQ(prompter_.shown().size(), 1u);
    radio.SetVariant(0);
    ASSERT_EQ(identify(), CloneResult::codeSuccess);
    EXPECT_EQ(std::string(c.LastRadioInfo.block.begin() + 24, c.LastRadioInfo.block.begin() + 28),
              "3399");

    c.StartCloneWrite(0);
    ASSERT_TRUE(manager.IsBusy());
    ASSERT_TRUE(runEventLoopUntil([&] { return !manager.IsBusy(); }, 30000));
    EXPECT_EQ(radio.Stats().lastWriteResult, 0);
    EXPECT_EQ(prompter_.lastText(), overlayText("GI_Mess_CloneWrite_Succeeded"));
    EXPECT_EQ(radio.Image().GetByte(0x2BB), 'X');
    EXPECT_EQ(radio.Image().GetByte(14715 + 9), 1); // the older firmware's scan group
}

// ---- hub and tick ----

TEST_F(ControllerTest, PortChangeRefreshesMenusAndToolbarUntilTheControllerIsGone) {
    makeController();
    hub_.Send(evPortChanged);
    EXPECT_TRUE(waitForMessage(evRefreshMenus));
    EXPECT_TRUE(waitForMessage(evRefreshToolBar));

    controller_.reset();
    const auto before = delivered().size();
    hub_.Send(evPortChanged);
    runEventLoopFor(100);
    EXPECT_EQ(delivered().size(), before + 1); // only the message itself
}

// ---- a broken installation ----

using ControllerDeathTest = ControllerTest;

TEST_F(ControllerDeathTest, AMissingOrDamagedInitialFileEndsTheProgram) {
    struct Case {
        const char* name;
        std::function<void()> damage;
    };
    const Case cases[] = {
        {"missing", [this] { std::remove(initialFile(1).c_str()); }},
        {"not a clone file", [this] { std::ofstream(initialFile(1)) << "garbage\n"; }},
        {"wrong map revision in the image",
         [this] {
             MemoryImage image;
             makeInitialImage(image, 1);
             image.SetByte(0x2B0, 5);
             writeCloneFile(initialFile(1), image);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RadioAppController& controller = makeController();
        c.damage();
        EXPECT_EXIT(controller.ChangeModel(1, false), testing::ExitedWithCode(3),
                    "Cannot open '.*Init1\\.vcf'\\.");
    }
}

} // namespace
