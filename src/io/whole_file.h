#pragma once
// Writing a file so that it is never left half-written: the text goes to a new file beside the
// target, which then replaces the target in one rename. When anything fails the temporary file is
// removed, any earlier file of that name stays exactly as it was, and FileError says why.
//
// Replacing a file keeps what the user made of it: its permissions stay, a symbolic link stays a
// link (its target is replaced), and a file nobody may write is refused rather than replaced.
//
//   WriteWholeFile("run1.csv", text);  // FileError: could not write "run1.csv": No space left...

#include <string>
#include <string_view>

namespace kivex::io {

void WriteWholeFile(const std::string& path, std::string_view content);

}  // namespace kivex::io
