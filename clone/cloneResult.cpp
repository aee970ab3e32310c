#include "clone/cloneResult.h"

namespace marlo {

CloneResult::CloneResult(std::uint8_t operation_, std::uint32_t identification1_,
                         std::uint32_t identification2_, std::int32_t imageSize)
    : operation(operation_), identification1(identification1_), identification2(identification2_) {
    image.Resize(imageSize);
}

} // namespace marlo
