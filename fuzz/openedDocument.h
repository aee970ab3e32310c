#pragma once

#include "DocumentContext.h"
#include "core/cmcEeprom.h"

// A document opened from the initial file of either model variant, in expert
// mode or not; Reset starts it afresh from an image of that variant.
class OpenedDocument : public DocumentContext {
public:
    OpenedDocument();

    void Reset(int variant, bool expertMode, const cmcEeprom& image);
    void Reset(int v, bool expertMode) { Reset(v, expertMode, initial[v]); }

    cmcEeprom initial[2];
};
