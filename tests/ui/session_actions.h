#pragma once
// What the session tests do as a user would, by control reference ("FormIns.Estep").

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/form_expr.h"
#include "ui/interaction.h"
#include "ui/session.h"

namespace kivex::testing {

inline void Type(ui::Session& s, std::string_view reference, std::string text) {
  const auto [dialog, control] = ui::ResolveControl(s, reference);
  ui::TypeText(s, *dialog, *control, std::move(text));
}
inline void Click(ui::Session& s, std::string_view reference) {
  const auto [dialog, control] = ui::ResolveControl(s, reference);
  ui::ClickControl(s, *dialog, *control);
}
inline void Choose(ui::Session& s, std::string_view reference, std::string_view item) {
  const auto [dialog, control] = ui::ResolveControl(s, reference);
  ui::ChooseItem(s, *dialog, *control, item);
}

// Sets controls in order as a user does: a list is chosen from, a null text clicks, others typed.
using Settings = std::vector<std::pair<const char*, const char*>>;
inline void Apply(ui::Session& session, const Settings& settings) {
  for (const auto& [reference, text] : settings) {
    if (!text) {
      Click(session, reference);
    } else if (std::string_view(reference).find(".Combo") != std::string_view::npos) {
      Choose(session, reference, text);
    } else {
      Type(session, reference, text);
    }
  }
}

// Curve k over the loaded points; k = 0 gives the potentials.
inline std::vector<double> Curve(const ui::Session& session, int k) {
  std::vector<double> values;
  for (int i = 1; i <= session.curves.pointCount; ++i) {
    values.push_back(k == 0 ? session.curves.x(i) : session.curves.y(i, k));
  }
  return values;
}

// Clicks the tick box of fit slot k (slot 1 starts ticked, so this unticks it); the dialog shows
// the bound boxes of a ticked slot only.
inline void TickFit(ui::Session& session, int k) {
  Click(session, "FormExpr.CheckFitted(" + std::to_string(k) + ")");
  const ui::FormExpr& expr = session.Expr();
  EXPECT_EQ(expr.TextCmin(k).visible, expr.CheckFitted(k).value) << k;
  EXPECT_EQ(expr.TextCmax(k).visible, expr.CheckFitted(k).value) << k;
}

// Row j of the fit report's table (1-based), or a text saying there is none.
inline std::string ReportRow(const ui::Session& session, int j) {
  const std::vector<std::string>& lines = session.result.lines;
  for (std::size_t i = 0; i + j < lines.size(); ++i) {
    if (lines[i].rfind("No.           Initial value", 0) == 0) return lines[i + j];
  }
  return "(no report row " + std::to_string(j) + ")";
}

}  // namespace kivex::testing
