#include "radio/warningCheck.h"

#include "overlay/overlayTexts.h"
#include "radio/cellEngine.h"
#include "radio/cellRequest.h"
#include "sheets/cellModel.h"
#include "sheets/cellParser.h"

#include <algorithm>

namespace marlo {

CheckMark WarningCheck::MarkOf(std::string_view key) const {
    CheckMark mark = CheckMark::None;
    for (const CheckLine& line : lines) {
        if (line.key == key)
            mark = std::max(mark, line.mark);
    }
    return mark;
}

WarningCheck checkWarnings(CellEngine& engine, OverlayTexts& texts) {
    WarningCheck check;
    const CellParser parser(texts);
    CellModel model;
    for (int i = 0;; ++i) {
        const std::string line = texts.GetLine(kWarningCheckList, i);
        if (!line.empty() && line.front() == '#')
            break;
        parser.SplitCell(line, model, nullptr, nullptr);
        CellRequest request;
        request.cell = &model;
        evaluateCell(engine, request, false);

        CheckLine result{model.parameter.value_or(std::string()), CheckMark::None};
        if ((request.status & CellRequest::kInvalid) != 0) {
            result.mark = CheckMark::Error;
            ++check.errors;
        } else if ((request.status & CellRequest::kDuplicate) != 0) {
            result.mark = CheckMark::Warning;
            ++check.warnings;
        }
        check.lines.push_back(std::move(result));
    }
    return check;
}

} // namespace marlo
