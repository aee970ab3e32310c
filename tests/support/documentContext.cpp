#include "documentContext.h"

#include "core/modelIdentity.h"

using namespace marlo;

DocumentContext::DocumentContext(OverlayTexts& overlay) : lists_(overlay, *this) {
    for (MemoryImage* image : {&current, &saved, &comparison})
        image->Resize(marloModel::imageSize);
}
