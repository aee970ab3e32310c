#pragma once

#include "core/memoryImage.h"
#include "documentContext.h"

using namespace marlo;

// A document opened from the initial file of either model variant, in expert
// mode or not; Reset starts it afresh from an image of that variant: the initial
// file, or the same with every list full.
class OpenedDocument : public DocumentContext {
public:
    // The one document of the process, made with everything a target that
    // evaluates cells needs (Qt, the overlay, the hub, a quiet prompter).
    // Call from LLVMFuzzerInitialize; it lives as long as the process.
    static OpenedDocument& Shared();

    void Reset(int variant, bool expertMode, const MemoryImage& image);
    void Reset(int v, bool expertMode, bool fullLists = false) {
        Reset(v, expertMode, fullLists ? full[v] : initial[v]);
    }

    MemoryImage initial[2];
    MemoryImage full[2];

private:
    OpenedDocument();
};
