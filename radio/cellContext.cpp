#include "radio/cellContext.h"

#include "platform/fatalError.h"

namespace marlo {

namespace {
CellContext* appContext = nullptr;
}

CellContext& CellContext::App() {
    if (appContext == nullptr)
        fatalError("No cell context is installed.");
    return *appContext;
}

void CellContext::SetApp(CellContext* context) {
    appContext = context;
}

void CellContext::CommandBegins(const CellRequest&) {}

void CellContext::CommandEnds() {}

} // namespace marlo
