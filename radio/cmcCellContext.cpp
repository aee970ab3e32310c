#include "radio/cmcCellContext.h"

#include "platform/cmcFatal.h"

namespace {
cmcCellContext* appContext = nullptr;
}

cmcCellContext& cmcCellContext::App() {
    if (appContext == nullptr)
        cmcFatal("No cell context is installed.");
    return *appContext;
}

void cmcCellContext::SetApp(cmcCellContext* context) {
    appContext = context;
}

void cmcCellContext::CommandBegins(const cmcCellCapsule&) {}

void cmcCellContext::CommandEnds() {}
