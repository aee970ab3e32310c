#include "radio/cellNames.h"

#include "overlay/cmcHash.h"
#include "platform/cmcFatal.h"

#include <array>
#include <cstdint>
#include <string>

namespace {

constexpr std::array<const char*, kCategoryCount> kCategories = {
    "CT_Null",      "CT_PopupMenu", "CT_UserCh",         "CT_Edge_Rx",
    "CT_Edge_Tx",   "CT_ModeReg",   "CT_SelCallID",      "CT_AleID",
    "CT_TelNumber", "CT_Deb_Tx",    "CT_Deb_DistressRx", "CT_Deb_DscRx",
};

constexpr std::array<int, kCategoryCount + 1> kListTypes = {0, 0, 1, 2, 3, 4, 5, 6, 7, 0, 0, 0, 0};

constexpr std::array<const char*, kLabelCount> kLabels = {
    "CL_Null",
    "Flex0",
    "CL_Sel_Mode_U",
    "CL_Sel_Mode_F",
    "CL_Sel_Ale_U",
    "CL_Sel_Call_U",
    "CL_FBits",
    "CL_EeDebugWin_Adr",
    "CL_EeDebugWin_0",
    "CL_EeDebugWin_1",
    "CL_EeDebugWin_2",
    "CL_EeDebugWin_3",
    "CL_EeDebugWin_4",
    "CL_EeDebugWin_5",
    "CL_EeDebugWin_6",
    "CL_EeDebugWin_7",
    "CL_EeDebugWin_8",
    "CL_EeDebugWin_9",
    "CL_EeDebugWin_A",
    "CL_EeDebugWin_B",
    "CL_EeDebugWin_C",
    "CL_EeDebugWin_D",
    "CL_EeDebugWin_E",
    "CL_EeDebugWin_F",
    "CL_Free_Byte_Dec",
    "CL_Free_Byte_Hex",
    "CL_Free_DscId",
    "CL_Menu_File_New",
    "CL_Menu_File_Open",
    "CL_Menu_File_Save",
    "CL_Menu_File_SaveAs",
    "CL_Menu_File_Print_Current",
    "CL_Menu_File_Print_All",
    "CL_Menu_File_Recent",
    "CL_Menu_File_Exit",
    "CL_Menu_Edit_Top",
    "CL_Menu_View_FontSize",
    "CL_Menu_View_ToolBar",
    "CL_Menu_Port_Com",
    "CL_Menu_Port_Usb",
    "CL_Menu_Port_SpeedHigh",
    "CL_Menu_Clone_Read",
    "CL_Menu_Clone_Write",
    "CL_Menu_Clone_Info",
    "CL_Model",
    "CL_Help_About",
    "CL_Help_Contents",
    "CL_Menu_Debug_Compare",
    "CL_Menu_Debug_CorrectComp",
    "CL_Menu_Debug_Window",
    "CL_Menu_Debug_EeWindow",
    "CallSheet",
    "CL_Check_UserCh",
    "CL_Check_SelCallId",
    "CL_Check_AleId",
    "CL_Check_TelNumber",
    "CL_Check_FreqRange",
    "CL_Check_ModeReg",
    "CL_CloneInfo_Model",
    "CL_CloneInfo_Revision",
    "CL_CloneInfo_Comment",
    "CL_PMenu_NoItem",
    "CL_PMenu_Edit",
    "CL_PMenu_Copy",
    "CL_PMenu_Paste",
    "CL_PMenu_CarryUp",
    "CL_PMenu_CarryDown",
    "CL_PMenu_Clear",
    "CL_PMenu_Delete",
    "CL_PMenu_Insert",
    "CL_PMenu_Sort",
    "CL_Debug_Mtx_AbsCtrl",
    "CL_Debug_Mtx_Write",
    "CL_Debug_Mtx_Gene",
    "CL_Debug_Mtx_Stmd",
    "CL_Debug_Mtx_Txvs",
    "CL_Debug_Mtx_Trvs",
    "CL_Debug_Mtx_Cbmd",
    "CL_Debug_Mtx_Podn",
    "CL_Misc_ChNo_0Base",
    "CL_Misc_ChNo_1Base",
    "CL_Misc_ChNo_1Base_Self",
    "CL_Misc_ChNo_1Base_Tel",
    "CL_Misc_QuarterPillar",
    "CL_CannotEdit",
    "CL_Dummy",
    "CL_Comm_CloneComm",
    "CL_Comm_TxPwrSel",
    "CL_Comm_AntTuner",
    "CL_Comm_AtTunUse",
    "CL_Comm_AtTunType",
    "CL_Comm_ScanSpeed",
    "CL_Comm_ScanGroup",
    "CL_Comm_ScanResume",
    "CL_Comm_FskTone",
    "CL_Comm_FskShift",
    "CL_Comm_FskPolar",
    "CL_Comm_CwBkIn",
    "CL_Comm_TxByAcc",
    "CL_Comm_Comment",
    "CL_Comm_SpeechComp",
    "CL_Comm_Password",
    "CL_Comm_RfdsT",
    "CL_Comm_RfdsC",
    "CL_Comm_AutoScan",
    "CL_Comm_AutoMute",
    "CL_Comm_TunerJudg",
    "CL_Comm_DispType",
    "CL_Comm_SimpleMode",
    "CL_Comm_PreAmp",
    "CL_Comm_VolMin",
    "CL_Comm_TxByPtt",
    "CL_Comm_MicKey",
    "CL_Comm_NmeaId",
    "CL_Comm_NmeaIf",
    "CL_Comm_RemoteMod",
    "CL_Comm_NonVexaTuner",
    "CL_Comm_ScanEnable",
    "CL_Comm_TenKey",
    "CL_Comm_IdLength",
    "CL_Comm_Silent",
    "CL_Comm_SyncTime",
    "CL_Comm_TimeOut",
    "CL_Comm_SelcallE",
    "CL_Comm_SelcallB",
    "CL_Comm_GpsPos",
    "CL_Comm_GpsBeacon",
    "CL_Comm_TelcallE",
    "CL_Comm_StatusCallE",
    "CL_Comm_PageCallE",
    "CL_Comm_EmerSelcallE",
    "CL_Comm_AleE",
    "CL_Comm_Sounding",
    "CL_Comm_SSLength",
    "CL_Comm_QDTime",
    "CL_Comm_BerThre",
    "CL_Comm_GolThre",
    "CL_Comm_ErrThre",
    "CL_Comm_SilentM",
    "CL_Comm_CRLimit",
    "CL_Comm_LQAvarege",
    "CL_Comm_SInterval",
    "CL_Comm_LQAreq",
    "CL_Comm_CallTime",
    "CL_UCh_CH",
    "CL_UCh_FreqR",
    "CL_UCh_FreqT",
    "CL_UCh_Mode",
    "CL_UCh_Ale",
    "CL_UCh_Comment",
    "CL_UCh_Call",
    "CL_UCh_ScanGroup",
    "CL_UCh_Filter",
    "CL_UCh_Edit",
    "CL_SelCall_Name",
    "CL_SelCall_ID",
    "CL_SelCall_CH",
    "CL_Ale_ID",
    "CL_Ale_IDN",
    "CL_Ale_CH",
    "CL_Ale_SlotT",
    "CL_Ale_Comment",
    "CL_TelNumber_Name",
    "CL_TelNumber_Number",
    "CL_Exp_FreqProgR",
    "CL_Exp_FreqProgT",
    "CL_Exp_Protect",
    "CL_Exp_PowLimit",
    "CL_Exp_CbBand",
    "CL_EdgeFreq_Low",
    "CL_EdgeFreq_High",
    "CL_ModeReg_Name",
    "CL_ModeReg_Indication",
    "CL_ModeReg_Use",
    "CL_Deb_Index",
    "CL_Deb_Kind",
    "CL_Deb_Adr",
    "CL_Deb_Id_Caller",
    "CL_Deb_Id_Distress",
    "CL_Deb_Cate",
    "CL_Deb_Tel1",
    "CL_Deb_Tel2",
    "CL_Deb_Mess0",
    "CL_Deb_Mess1",
    "CL_Deb_Mess2",
    "CL_Deb_Mess3",
    "CL_Deb_Mess4",
    "CL_Deb_Mess5",
    "CL_Deb_TimeH",
    "CL_Deb_TimeM",
    "CL_Deb_FreqT0",
    "CL_Deb_FreqT1",
    "CL_Deb_FreqT2",
    "CL_Deb_FreqR0",
    "CL_Deb_FreqR1",
    "CL_Deb_FreqR2",
    "CL_Deb_Form",
    "CL_Deb_Pos0",
    "CL_Deb_Pos1",
    "CL_Deb_Pos2",
    "CL_Deb_Pos3",
    "CL_Deb_Pos4",
    "CL_Deb_Yet",
    "CL_Deb_RxFrqNo",
};

// Both name lists share one table. A category's value carries this tag so that
// a label name never passes for a category (and the other way round).
constexpr std::uint32_t kCategoryTag = 0x10000;
constexpr std::uint32_t kNumberMask = 0xFFFF;

struct NameTable {
    cmcHash hash{1031};
    NameTable() {
        for (std::uint32_t i = 0; i < kCategories.size(); ++i)
            hash.Add(kCategories[i], kCategoryTag | i);
        for (std::uint32_t i = 0; i < kLabels.size(); ++i)
            hash.Add(kLabels[i], i);
    }
};

// Filled on first use.
const cmcHash& nameTable() {
    static const NameTable table;
    return table.hash;
}

// The number behind `name` when it is of the wanted kind, else -1.
int lookUp(std::string_view name, bool category) {
    const cmcHash::Node* node = nameTable().Find(name);
    if (node == nullptr || ((node->value & kCategoryTag) != 0) != category)
        return -1;
    return static_cast<int>(node->value & kNumberMask);
}

} // namespace

int categoryNumber(std::string_view name) {
    if (name.empty())
        return kNoCategory;
    const int number = lookUp(name, true);
    if (number < 0)
        cmcFatal("Cannot use the specified category.\n'" + std::string(name) + "'");
    return number;
}

int labelNumber(std::string_view name) {
    if (name.empty())
        return kNoLabel;
    const int number = lookUp(name, false);
    if (number < 0)
        cmcFatal("Cannot use the specified cell.\n'" + std::string(name) + "'");
    return number;
}

int listTypeOf(int category) {
    if (category < 0 || category > kNoCategory)
        cmcFatal("Unknown Cell Category. (" + std::to_string(category) + ")");
    return kListTypes[static_cast<std::size_t>(category)];
}

std::span<const char* const> categoryNames() {
    return kCategories;
}

std::span<const char* const> labelNames() {
    return kLabels;
}
