#include "DocumentContext.h"

#include "core/modelIdentity.h"

DocumentContext::DocumentContext(cmcGTex& overlay) : lists_(overlay, *this) {
    for (cmcEeprom* image : {&current, &saved, &comparison})
        image->Resize(marloModel::imageSize);
}
