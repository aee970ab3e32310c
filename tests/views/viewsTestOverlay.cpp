#include "viewsTestOverlay.h"

std::vector<std::string> viewModelLines() {
    return {"#CellModel_Basic", "~<(Font=,,clBlack,-12,,,)",
            "#CellModel_Hd",    "^-WH(Color=clBtnFace)",
            "#CellModel_e",     "S<-WH",
            "#CellModel_r",     "S>-WH",
            "#CellModel_t",     "T<-WH"};
}

void addSheet(std::vector<std::string>& lines, const std::string& key, const std::string& style,
              const std::string& basic, const std::vector<std::string>& cells) {
    lines.push_back("#" + key + "_Style");
    lines.push_back(style);
    lines.push_back("#" + key + "_BasicCell");
    lines.push_back(basic);
    lines.push_back("#" + key + "_Cells");
    lines.insert(lines.end(), cells.begin(), cells.end());
    lines.push_back("#");
}
