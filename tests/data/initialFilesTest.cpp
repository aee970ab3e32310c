#include "cli/headlessDocument.h"
#include "core/cloneFileCheck.h"
#include "core/memoryImage.h"
#include "core/modelIdentity.h"
#include "core/notificationHub.h"
#include "core/settingsStore.h"
#include "document/appCellContext.h"
#include "main/radioAppController.h"
#include "overlay/overlayTexts.h"
#include "platform/programPath.h"
#include "programAround.h"
#include "radio/cellEngine.h"
#include "radio/cellLabels.h"
#include "radio/cellRequest.h"
#include "radio/listRecord.h"
#include "sheets/cellModel.h"
#include "sheets/cellNames.h"
#include "support/scriptedPrompter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace marlo;

namespace {

constexpr int variants = marloModel::variantCount;

std::string fileName(int variant) {
    return OverlayTexts::App().GetLine("GI_App_InitialFile", variant);
}

std::string installedPath(int variant) {
    return programDir() + fileName(variant);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ToolRun {
    int status;
    std::string err;
};

// A program of the bin folder, run as a user would.
ToolRun runTool(const char* name, const QStringList& args) {
    QProcess tool;
    tool.start(QString::fromStdString(programDir() + name), args);
    tool.closeWriteChannel();
    if (!tool.waitForFinished(30000) || tool.exitStatus() != QProcess::NormalExit)
        return {-1, "did not finish"};
    return {tool.exitCode(), tool.readAllStandardError().toStdString()};
}

TEST(InitialFiles, GeneratorWritesExactlyTheCommittedFiles) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const ToolRun run = runTool("marlo-mkinitial", {folder.path()});
    ASSERT_EQ(run.status, 0) << run.err;
    for (int v = 0; v < variants; ++v) {
        SCOPED_TRACE(fileName(v));
        const std::string generated =
            readBytes(folder.filePath(QString::fromStdString(fileName(v))).toStdString());
        ASSERT_FALSE(generated.empty());
        EXPECT_EQ(generated, readBytes(MARLO_DATA_SOURCE_DIR + fileName(v))) << "regenerate data/";
        EXPECT_EQ(generated, readBytes(installedPath(v))) << "the build's copy is stale";
    }
}

TEST(InitialFiles, CommandLineCheckAcceptsBoth) {
    for (int v = 0; v < variants; ++v) {
        SCOPED_TRACE(fileName(v));
        const ToolRun run =
            runTool("marlo-clone", {"check", QString::fromStdString(installedPath(v))});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
    }
}

// Both files, read as the program reads an opened document.
class InitialImage : public ::testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite() {
        ScriptedPrompter prompter;
        for (int v = 0; v < variants; ++v)
            codes[v] = checkCloneFile(installedPath(v), images[v]);
        boxes = prompter.shown().size();
    }
    static void TearDownTestSuite() {
        for (MemoryImage& image : images)
            image.Resize(0);
    }

    void SetUp() override {
        ASSERT_EQ(codes[GetParam()], CloneFile::Ok);
        ASSERT_EQ(boxes, 0u);
    }
    int variant() const { return GetParam(); }
    MemoryImage& image() const { return images[GetParam()]; }

    static std::array<MemoryImage, variants> images;
    static std::array<CloneFile::Code, variants> codes;
    static std::size_t boxes;
};

std::array<MemoryImage, variants> InitialImage::images;
std::array<CloneFile::Code, variants> InitialImage::codes;
std::size_t InitialImage::boxes = 0;

TEST_P(InitialImage, CarriesRevisionVariantAndSignature) {
    EXPECT_EQ(image().GetByte(0x2B0), 6);
    EXPECT_EQ(image().GetByte(0x2B1), variant());
    EXPECT_EQ(std::memcmp(image().Data() + 0x6C2C, "VEXA Inc", 8), 0);
}

// Blank entries are written in exactly the bytes clearing a row leaves, so
// that an unused entry of a document and of the reference never differ.
TEST_P(InitialImage, EveryListEntryIsBlank) {
    MemoryImage cleared;
    cleared.Resize(image().Size());
    cleared.Assign(image());
    for (const std::uint8_t type : {listUserChannel, listSelCallId, listAleId, listTelNumber}) {
        ListRecord entry(&cleared);
        std::vector<std::int32_t> used;
        for (std::int32_t i = 0; i <= ListRecord::LastIndex(type); ++i) {
            entry.Load(type, i);
            if (entry.isUsed())
                used.push_back(i);
            entry.MakeBlank(type, i);
            entry.Store(type, i);
        }
        EXPECT_EQ(used, std::vector<std::int32_t>{}) << "list type " << int(type);
    }
    EXPECT_TRUE(cleared.Equals(image()));
}

TEST_P(InitialImage, ReceiveEdgeCoversTheWholeReceiver) {
    ListRecord edge(&image());
    edge.Load(listRxEdge, 0);
    EXPECT_EQ(edge.low, 30'000);
    EXPECT_EQ(edge.high, 29'999'999);
}

// The faults the band-edge cells would mark in the transmit ranges.
std::vector<std::string> transmitRangeFaults(MemoryImage& image) {
    ListRecord rx(&image);
    rx.Load(listRxEdge, 0);
    std::vector<std::string> faults;
    ListRecord range(&image);
    std::int32_t previousHigh = -1;
    bool emptySeen = false;
    for (std::int32_t i = 0; i <= ListRecord::LastStoredIndex(listTxEdge); ++i) {
        range.Load(listTxEdge, i);
        const std::string at = "range " + std::to_string(i) + ": ";
        const bool empty = range.low == -1 && range.high == -1;
        if (empty) {
            if (i == 0)
                faults.push_back(at + "range 0 is empty");
            emptySeen = true;
            continue;
        }
        if (range.low == -1 || range.high == -1)
            faults.push_back(at + "one limit only");
        if (emptySeen)
            faults.push_back(at + "used after an empty range");
        if (range.high < range.low)
            faults.push_back(at + "high below low");
        for (const std::int32_t f : {range.low, range.high}) {
            if (f < 1'600'000 || f > 29'999'999)
                faults.push_back(at + "outside 1.6..29.999999 MHz");
            if (f < rx.low || f > rx.high)
                faults.push_back(at + "outside the receive edge");
        }
        if (previousHigh >= range.low)
            faults.push_back(at + "overlaps the previous range");
        previousHigh = range.high;
    }
    return faults;
}

TEST_P(InitialImage, TransmitRangesAreValid) {
    EXPECT_EQ(transmitRangeFaults(image()), std::vector<std::string>{});
}

TEST_P(InitialImage, ModeRegistrationsUseTheirListedSpellings) {
    // Rows 1..6 offer two spellings each; rows 0, 7 and 8 are fixed.
    const std::array<std::array<const char*, 2>, 9> spellings{{
        {nullptr, nullptr},
        {"USB  ", "J3E  "},
        {"AM   ", "A3E  "},
        {"AFSK ", "J2B  "},
        {"FSK  ", "F1B  "},
        {"CW   ", "A1A  "},
        {"ALE-U", "J3E-A"},
        {nullptr, nullptr},
        {nullptr, nullptr},
    }};
    const std::string alphabet =
        " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_-/.'()*+<=>@";
    ListRecord mode(&image());
    for (int i = 0; i <= ListRecord::LastIndex(listModeReg); ++i) {
        SCOPED_TRACE(i);
        const std::string name = mode.ModeNameOf(i);
        ASSERT_EQ(name.size(), 5u);
        EXPECT_EQ(name.find_first_not_of(alphabet), std::string::npos) << name;
        EXPECT_NE(name.find_first_not_of(' '), std::string::npos);
        if (spellings[i][0] != nullptr) {
            EXPECT_TRUE(name == spellings[i][0] || name == spellings[i][1]) << name;
        }
    }
    // Row 1's flag cannot be edited: USB must ship usable. ALE channels need mode 6.
    EXPECT_TRUE(mode.ModeIsUsable(1));
    EXPECT_TRUE(mode.ModeIsUsable(6));
}

// Every common setting against what its cell accepts. Selection lists whose
// items the overlay does not hold yet admit only their first position.
struct CellLimit {
    const char* label;
    std::int32_t offset;
    int lo;
    int hi;
};

constexpr int onOff = 1;
constexpr int firstItem = 0;

constexpr CellLimit commonCells[] = {
    {"CL_Comm_AntTuner", 15228, 0, firstItem},
    {"CL_Comm_AtTunUse", 15229, 0, onOff},
    {"CL_Comm_FskTone", 15230, 0, firstItem},
    {"CL_Comm_FskShift", 15231, 0, firstItem},
    {"CL_Comm_FskPolar", 15232, 0, firstItem},
    {"CL_Comm_CwBkIn", 15233, 0, firstItem},
    {"CL_Comm_NmeaId", 15234, 1, 99},
    {"CL_Comm_MicKey", 15235, 0, onOff},
    {"CL_Comm_TenKey", 15236, 0, onOff},
    {"CL_Comm_RemoteMod", 15237, 0, firstItem},
    {"CL_Comm_NmeaIf", 15238, 0, firstItem},
    {"CL_Comm_TunerJudg", 15239, 0, firstItem},
    {"CL_Comm_AtTunType", 15240, 0, firstItem},
    {"CL_Comm_NonVexaTuner", 15241, 0, firstItem},
    {"CL_Comm_TxByPtt", 15242, 0, firstItem},
    {"CL_Comm_TxByAcc", 15243, 0, firstItem},
    {"CL_Comm_ScanEnable", 15244, 0, onOff},
    {"CL_Comm_ScanSpeed", 15245, 1, 10},
    {"CL_Comm_ScanGroup", 15246, 0, firstItem},
    {"CL_Comm_ScanResume", 15247, 0, onOff},
    {"CL_Comm_AutoScan", 15248, 0, firstItem},
    {"CL_Comm_IdLength", 15249, 0, firstItem},
    {"CL_Comm_Silent", 15250, 0, onOff},
    {"CL_Comm_SyncTime", 15251, 0, firstItem},
    {"CL_Comm_TimeOut", 15252, 0, firstItem},
    {"CL_Comm_SelcallE", 15253, 0, firstItem},
    {"CL_Comm_SelcallB", 15254, 0, firstItem},
    {"CL_Comm_GpsPos", 15255, 0, firstItem},
    {"CL_Comm_GpsBeacon", 15256, 0, firstItem},
    {"CL_Comm_TelcallE", 15257, 0, firstItem},
    {"CL_Comm_StatusCallE", 15258, 0, firstItem},
    {"CL_Comm_PageCallE", 15259, 0, firstItem},
    {"CL_Comm_EmerSelcallE", 15260, 0, firstItem},
    {"CL_Comm_AleE", 15261, 0, firstItem},
    {"CL_Comm_Sounding", 15262, 0, onOff},
    {"CL_Comm_QDTime", 15263, 1, 8},
    {"CL_Comm_SSLength", 15264, 5, 100},
    {"CL_Comm_BerThre", 15265, 0, 48},
    {"CL_Comm_GolThre", 15266, 0, 4},
    {"CL_Comm_ErrThre", 15267, 0, 4},
    {"CL_Comm_SilentM", 15268, 0, onOff},
    {"CL_Comm_CRLimit", 15269, 0, 99},
    {"CL_Comm_LQAvarege", 15270, 0, 7},
    {"CL_Comm_SInterval", 15271, 0, firstItem},
    {"CL_Comm_LQAreq", 15272, 0, onOff},
    {"CL_Comm_CallTime", 15273, 0, 100},
    {"CL_Comm_DispType", 15277, 0, firstItem},
    {"CL_Comm_Comment", 15278, 0, onOff},
    {"CL_Comm_SpeechComp", 15279, 0, onOff},
    {"CL_Comm_AutoMute", 15280, 0, onOff},
    {"CL_Comm_TxPwrSel", 15285, 0, firstItem},
    {"CL_Comm_RfdsT", 15286, 30, 60},
    {"CL_Comm_RfdsC", 15287, 0, onOff},
    {"CL_Comm_PreAmp", 15288, 0, onOff},
    {"CL_Comm_VolMin", 15298, 0, 23},
    {"CL_Comm_SimpleMode", 15299, 0, onOff},
};

TEST_P(InitialImage, CommonSettingsLieWithinTheirCells) {
    for (const CellLimit& cell : commonCells) {
        const int value = image().GetByte(cell.offset);
        EXPECT_GE(value, cell.lo) << cell.label;
        EXPECT_LE(value, cell.hi) << cell.label;
    }
}

TEST_P(InitialImage, CloneCommentIsPrintable) {
    for (std::int32_t a = 699; a < 699 + 16; ++a) {
        EXPECT_GE(image().GetByte(a), 32) << a;
        EXPECT_LE(image().GetByte(a), 126) << a;
    }
}

// The controller loads each file as its reference image for that variant; the
// radio's parts it copies from there must leave the file itself unchanged, and
// the strict check that a clone read meets must pass too.
TEST_P(InitialImage, ControllerTakesTheFileAsItsReference) {
    ProgramAround program("initial files test lock");
    RadioAppController controller({"marlo"});
    program.settings().ModelType = static_cast<std::uint8_t>(1 - variant());
    controller.ChangeModel(variant(), false);
    EXPECT_EQ(controller.ModelVariant(), variant());
    EXPECT_TRUE(controller.ReferenceImage().Equals(image()));
    EXPECT_EQ(controller.ImageRejected(image(), true), 0);
}

// A new document must not open with warnings in the tree, nor with a common
// setting that its cell cannot show (a list position past the overlay's items
// shows "error").
TEST_P(InitialImage, TheProgramFindsNothingToWarnAboutInANewDocument) {
    ProgramAround program("initial files test lock");
    RadioAppController controller({"marlo"});
    startHeadlessDocument(controller, variant());
    ASSERT_TRUE(controller.CurrentImage().Equals(image()));
    AppCellContext context(controller);
    CellEngine engine(context);
    using namespace CellLabel;
    for (std::int32_t label = CL_Check_UserCh; label <= CL_Check_ModeReg; ++label) {
        EXPECT_FALSE(cellIsInvalid(engine, CT_Null, label, 0))
            << labelNames()[static_cast<std::size_t>(label)];
        EXPECT_FALSE(cellIsDuplicate(engine, CT_Null, label, 0))
            << labelNames()[static_cast<std::size_t>(label)];
    }
    // Texts may be empty; every other setting shows an item or a number.
    for (std::int32_t label = CL_Comm_TxPwrSel; label <= CL_Comm_CallTime; ++label) {
        if (label == CL_Comm_Password)
            continue;
        const std::string text = shownText(engine, CT_Null, label);
        EXPECT_NE(text, "") << labelNames()[static_cast<std::size_t>(label)];
        EXPECT_NE(text, "error") << labelNames()[static_cast<std::size_t>(label)];
    }
}

std::string variantName(const ::testing::TestParamInfo<int>& param) {
    return "Variant" + std::to_string(param.param);
}

INSTANTIATE_TEST_SUITE_P(Variants, InitialImage, ::testing::Range(0, variants), variantName);

} // namespace
