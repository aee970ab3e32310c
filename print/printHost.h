#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace marlo {

class Sheet;

// A node of the navigation tree as printing sees it: the label and parameter of
// its cell model. Nodes that open a sheet carry the label CallSheet and the
// sheet's descriptor.
struct PrintNode {
    std::int32_t label = 0;
    std::string parameter;
};

// What printing needs of the program around it; the application controller
// provides it.
class PrintHost {
public:
    virtual ~PrintHost() = default;

    // The main window: it owns the printing window and the hidden sheets and is
    // disabled while a job runs. Null when there is none.
    virtual QWidget* PrintOwner() = 0;
    // The sheet on show (its display name is its descriptor), or null.
    virtual Sheet* ShownSheet() = 0;
    // A new sheet of `descriptor` in `parent`, not yet built.
    virtual std::unique_ptr<Sheet> CreateSheet(QWidget* parent, const std::string& descriptor) = 0;
    // The nodes of the navigation tree, in tree order.
    virtual std::vector<PrintNode> PrintNodes() = 0;
    // The file offered when the output is a PDF file.
    virtual std::string PdfFileSuggestion() = 0;
};

} // namespace marlo
