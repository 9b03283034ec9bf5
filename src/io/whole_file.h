#pragma once
// Writing a file so that it is never left half-written: the text goes to a new file beside the
// target, which then replaces the target in one rename. When anything fails the temporary file is
// removed, any earlier file of that name stays exactly as it was, and FileError says why.
//
//   WriteWholeFile("run1.csv", text);  // FileError: could not write "run1.csv": No space left...

#include <string>
#include <string_view>

namespace kivex::io {

void WriteWholeFile(const std::string& path, std::string_view content);

}  // namespace kivex::io
