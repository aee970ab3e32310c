// The fuzz targets' own fatalError, taking the place of the program's: linked into
// every target, it keeps the library's copy out of the link.
#include "fuzzSupport.h"

#include "platform/fatalError.h"

using namespace marlo;

void marlo::fatalError(const std::string& text) {
    if (fuzzSupport::FatalIsAnswered())
        throw fuzzSupport::FatalEnd{text};
    fuzzSupport::Broken("fatal end: " + text);
}
