#include "radio/warningCheck.h"

#include "overlay/cmcGTex.h"
#include "radio/cmcCellCapsule.h"
#include "radio/indActiveCell.h"
#include "sheets/cmcCellObj.h"
#include "sheets/cmcCellParser.h"

#include <algorithm>

cmcCheckMark dstWarningCheck::MarkOf(std::string_view key) const {
    cmcCheckMark mark = cmcCheckMark::None;
    for (const dstCheckLine& line : lines) {
        if (line.key == key)
            mark = std::max(mark, line.mark);
    }
    return mark;
}

dstWarningCheck cmcCheckWarnings(indActiveCell& engine, cmcGTex& texts) {
    dstWarningCheck check;
    const cmcCellParser parser(texts);
    cmcCellObj model;
    for (int i = 0;; ++i) {
        const std::string line = texts.GetLine(kWarningCheckList, i);
        if (!line.empty() && line.front() == '#')
            break;
        parser.SplitCell(line, model, nullptr, nullptr);
        cmcCellCapsule request;
        request.cell = &model;
        evaluateCell(engine, request, false);

        dstCheckLine result{model.parameter.value_or(std::string()), cmcCheckMark::None};
        if ((request.status & cmcCellCapsule::kInvalid) != 0) {
            result.mark = cmcCheckMark::Error;
            ++check.errors;
        } else if ((request.status & cmcCellCapsule::kDuplicate) != 0) {
            result.mark = cmcCheckMark::Warning;
            ++check.warnings;
        }
        check.lines.push_back(std::move(result));
    }
    return check;
}
