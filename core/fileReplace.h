#pragma once

#include <string>
#include <string_view>

namespace marlo {

enum class ReplaceResult {
    Ok,
    CannotCreate, // the target is no regular file we may write, or its folder refuses a new file
    WriteFailed,  // writing, flushing or renaming failed; the target is unchanged
};

// Replaces the file at `path` with `text` without ever leaving it half written:
// the text goes to a new file in the same folder, which is flushed to disk and
// then renamed over the target. On failure the new file is removed and the old
// one stays as it was. The replacement keeps the old file's permissions, and a
// symbolic link is followed so that the link itself survives.
ReplaceResult replaceFile(const std::string& path, std::string_view text);

} // namespace marlo
