// A finding planted for the lint's own test: the string is copied where a reference would do, so
// clang-tidy must report it and tools/lint.sh must fail.
#include <cstddef>
#include <string>

std::size_t PlantedLength(std::string text) { return text.size(); }
