#pragma once
// The names closest to a misspelt one, for messages that point the way: "no control
// "FormIns.Estrat" (nearest: Estart)".

#include <string>
#include <string_view>
#include <vector>

namespace kivex::ui {

// Up to `most` of `candidates` within a few edits of `wanted` (letter case ignored), nearest first;
// a candidate that starts with or contains `wanted` counts as near. Empty when nothing is near.
std::vector<std::string> NearestNames(std::string_view wanted,
                                      const std::vector<std::string>& candidates, int most = 3);

// " (nearest: a, b)" for the message, or "" when nothing is near.
std::string NearestSuffix(std::string_view wanted, const std::vector<std::string>& candidates);

}  // namespace kivex::ui
