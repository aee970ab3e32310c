#include "benchDocument.h"

#include "radio/bandEdges.h"

#include "core/modelIdentity.h"
#include "overlay/overlayTexts.h"
#include "radio/listRecord.h"

#include <algorithm>

using namespace marlo;

std::vector<std::string> benchListLines() {
    std::vector<std::string> lines;
    const auto list = [&](const std::string& key, const std::string& label, int count) {
        lines.push_back("#" + key + "_Cells");
        for (int v = 0; v < count; ++v)
            lines.push_back("{(%" + label + "[" + std::to_string(v) + "])}item " +
                            std::to_string(v));
        lines.push_back("#");
    };
    list("GI_Sheet_Sel_Mode1_R", "CL_Sel_Mode_U", 9);
    list("GI_Sheet_Sel_Ale1_R", "Flex0", 120);
    list("GI_Sheet_Sel_UchCallA", "CL_Sel_Call_U", 4);
    list("GI_Sheet_Sel_UchCallA_full", "CL_Sel_Call_U", 3);
    list("GI_Sheet_Sel_UchScanG", "Flex0", 4);
    list("GI_Sheet_Sel_UchFilt", "Flex0", 4);
    list("GI_Sheet_Sel_UchEdit", "Flex0", 2);
    for (const char* form : {"J3E", "A3E", "J2B", "F1B", "A1A", "J3EALE"})
        list(std::string("GI_Sheet_Sel_ModeIn_") + form, "Flex0", 2);
    // The check list as the program's overlay has it.
    lines.emplace_back("#GI_WarningCheckList");
    for (const char* check :
         {"CL_Check_UserCh:GI_Sheet_UserCh", "CL_Check_SelCallId:GI_Sheet_SelCallId",
          "CL_Check_AleId:GI_Sheet_AleId", "CL_Check_TelNumber:GI_Sheet_TelNumber",
          "CL_Check_FreqRange:GI_Sheet_BandEdge", "CL_Check_ModeReg:GI_Sheet_ModeReg"})
        lines.push_back(std::string("{(%CT_Null.") + check + ")}");
    lines.emplace_back("#End_Of_Ovl");
    return lines;
}

void fillDocument(MemoryImage& image) {
    setBandEdges(image, 1'600'000, 29'999'999, 7'000'000, 7'300'000);
    ListRecord e(&image);
    for (std::int32_t m = 0; m < 9; ++m) {
        e.Load(listModeReg, m);
        e.modeName = {'M', 'O', 'D', 'E', static_cast<std::uint8_t>('0' + m)};
        e.modeUse = m == 8 ? 0 : 1;
        e.Store(listModeReg, m);
    }
    for (std::int32_t i = 0; i < 120; ++i) {
        e.MakeBlank(listAleId, i);
        const std::string address = "ALE" + std::to_string(i % 90); // some repeat
        std::copy(address.begin(), address.end(), e.aleAddress.begin());
        e.Store(listAleId, i);
    }
    for (std::int32_t slot = 0; slot < 500; ++slot) {
        e.MakeBlank(listUserChannel, slot);
        e.channelNumber = static_cast<std::uint32_t>(slot % 450 + 1); // the last 50 repeat
        e.rxFrequency = 2'000'000 + slot * 50'000;
        e.txFrequency = slot % 3 == 0 ? e.rxFrequency : 7'100'000;
        e.state = 0;
        e.mode = static_cast<std::uint8_t>(slot % 9);
        e.callKind = static_cast<std::uint8_t>(slot % 4);
        e.aleIndex = static_cast<std::uint8_t>(slot % 5 == 0 ? 255 : slot % 120);
        e.name.fill('C');
        e.Store(listUserChannel, slot);
    }
}
