// The dialogs as data: every control reachable by its name, and the start values that the
// computations and the front end depend on.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "ui/form_expr.h"
#include "ui/form_ins.h"
#include "ui/form_mech.h"
#include "ui/form_option.h"

namespace kivex::ui {
namespace {

// Every (name, index) is found again and names a single control; every frame a control names
// exists and comes before it, so a front end can build frames first.
void ExpectWellFormed(const Dialog& dialog) {
  SCOPED_TRACE(dialog.name());
  std::set<std::pair<std::string, int>> seen;
  std::set<std::string> frames;
  for (const Control* control : dialog.controls()) {
    SCOPED_TRACE(control->Ref());
    EXPECT_FALSE(control->name.empty());
    EXPECT_TRUE(seen.emplace(control->name, control->index).second) << "duplicate";
    EXPECT_EQ(dialog.Find(control->name, control->index), control);
    if (!control->frame.empty()) {
      EXPECT_TRUE(frames.contains(control->frame)) << control->frame;
    }
    if (control->kind == ControlKind::Frame) frames.insert(control->Ref());
  }
}

// The array named `name` runs exactly from `first` to `last`.
void ExpectArray(const Dialog& dialog, const char* name, int first, int last) {
  SCOPED_TRACE(std::string(dialog.name()) + "." + name);
  EXPECT_EQ(dialog.Find(name, first - 1), nullptr);
  for (int i = first; i <= last; ++i) EXPECT_NE(dialog.Find(name, i), nullptr) << i;
  EXPECT_EQ(dialog.Find(name, last + 1), nullptr);
}

TEST(DialogDataTest, ControlsAreUniqueAndFindable) {
  FormMech mech;
  FormIns ins;
  FormExpr expr;
  FormOption option;
  ExpectWellFormed(mech);
  ExpectWellFormed(ins);
  ExpectWellFormed(expr);
  ExpectWellFormed(option);

  ExpectArray(mech, "mech", 1, 8);
  ExpectArray(mech, "charge", 1, 6);
  ExpectArray(mech, "NEL", 1, 3);
  ExpectArray(mech, "chem", 1, 8);
  ExpectArray(mech, "chem2", 1, 12);
  ExpectArray(ins, "optElectrode", 1, 9);
  for (const char* name : {"specie", "C", "Cinit", "D"}) ExpectArray(expr, name, 1, 6);
  ExpectArray(expr, "Cond", 0, 5);
  for (const char* name : {"CheckFitted", "TextCmin", "TextCmax"}) ExpectArray(expr, name, 1, 23);
  for (const char* name : {"heter", "Eze", "ks", "alph"}) ExpectArray(expr, name, 1, 3);
  for (const char* name : {"homo", "kf", "kb", "LabelKeq", "pl"}) ExpectArray(expr, name, 1, 4);
  for (const char* name : {"linestyle1", "linestyle2", "linestyle3"}) {
    ExpectArray(option, name, 0, 4);
  }
  EXPECT_EQ(option.name(), "formOption");
}

TEST(DialogDataTest, MechanismStartsDigitalWithSchemeAPlusOneElectronB) {
  FormMech mech;
  EXPECT_TRUE(mech.CheckDigital.value);
  EXPECT_FALSE(mech.Frame1.visible);
  EXPECT_TRUE(mech.Frame2.visible);
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(mech.mech(i).value, i == 1) << i;
    EXPECT_EQ(mech.mech(i).enabled, i == 1 || i == 4 || i == 7) << i;
  }
  for (int r = 1; r <= 3; ++r) {
    EXPECT_EQ(mech.NEL(r).text, "1");
    EXPECT_EQ(mech.NEL(r).listIndex, 0);
  }
  EXPECT_EQ(mech.charge(1).text, "A");
  EXPECT_EQ(mech.charge(2).text, "B");
  for (int i = 3; i <= 6; ++i) EXPECT_EQ(mech.charge(i).text, "") << i;
}

TEST(DialogDataTest, InstrumentDefaultsAndStartVisibility) {
  FormIns ins;
  EXPECT_EQ(ins.Estart.text, "0.3");
  EXPECT_EQ(ins.Eend.text, "-0.3");
  EXPECT_EQ(ins.Estep.text, "0.005");
  EXPECT_EQ(ins.V.text, "0.01");
  EXPECT_EQ(ins.txttemp.text, "25");
  EXPECT_EQ(ins.radius.text, "0.2821");
  EXPECT_EQ(ins.ComboScan.text, "single");
  EXPECT_EQ(ins.ComboScan.listIndex, 0);
  EXPECT_TRUE(ins.td.locked);
  EXPECT_EQ(DisplayCaption(ins.lblOhm), "\xCE\xA9");

  for (int i = 1; i <= 9; ++i) {
    EXPECT_EQ(ins.optElectrode(i).value, i == 1) << i;
    EXPECT_EQ(ins.optElectrode(i).enabled, i < 8) << i;
  }
  for (const Control* hidden : {&ins.leng, &ins.radius, &ins.TextRrate, &ins.LabelLength,
                                &ins.LabelRadius, &ins.LabelRrate, &ins.FramePre}) {
    EXPECT_FALSE(hidden->visible) << hidden->Ref();
  }
  EXPECT_FALSE(ins.CheckPreCon.value);
  EXPECT_EQ(ins.txtRStir.frame, "FramePre");
}

TEST(DialogDataTest, ChemicalsDefaultsAndFittingBounds) {
  FormExpr expr;
  const std::pair<const char*, const char*> bounds[] = {
      {"1e-4", "1e-2"}, {"0", "1e-2"},   {"0", "1e-2"},   {"0", "1e-2"},   {"0", "1e-2"},
      {"0", "1e-2"},    {"1e-4", "100"}, {"1e-4", "100"}, {"1e-4", "100"}, {"0.4", "0.6"},
      {"0.4", "0.6"},   {"0.4", "0.6"},  {"-0.2", "0.2"}, {"-0.2", "0.2"}, {"-0.2", "0.3"},
      {"1", "100"},     {"1", "100"},    {"1", "100"},    {"1", "100"},    {"0.001", "1"},
      {"0.001", "1"},   {"0.001", "1"},  {"0.001", "1"}};
  for (int x = 1; x <= 23; ++x) {
    SCOPED_TRACE(x);
    EXPECT_EQ(expr.TextCmin(x).text, bounds[x - 1].first);
    EXPECT_EQ(expr.TextCmax(x).text, bounds[x - 1].second);
    EXPECT_EQ(expr.CheckFitted(x).value, x == 1);
    EXPECT_EQ(expr.TextCmin(x).visible, x == 1);
    EXPECT_EQ(expr.TextCmax(x).visible, x == 1);
  }
  // Each tick sits in the frame of the parameter it fits.
  EXPECT_EQ(expr.CheckFitted(6).frame, expr.C(6).frame);
  EXPECT_EQ(expr.CheckFitted(15).frame, expr.Eze(3).frame);
  EXPECT_EQ(expr.CheckFitted(23).frame, expr.kb(4).frame);

  const char* conductivities[] = {"100", "200", "300", "400", "500", "500"};
  for (int i = 0; i <= 5; ++i) EXPECT_EQ(expr.Cond(i).text, conductivities[i]) << i;
  EXPECT_EQ(expr.C(1).text, "1e-3");
  EXPECT_EQ(expr.Cinit(1).caption, "1e-3");
  EXPECT_EQ(expr.Cinit(2).caption, "0");
  EXPECT_EQ(expr.Eze(1).text, "0.1");
  EXPECT_EQ(expr.kb(4).text, "0.01");
  EXPECT_EQ(expr.LabelKeq(1).caption, "");
  EXPECT_TRUE(expr.CheckPreEqu.value);
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(expr.pl(k).text, "1") << k;
  EXPECT_EQ(DisplayCaption(expr.TextElectrolyteCond), "\xCE\xBB");
}

TEST(DialogDataTest, OptionLineStylesAreOneGroupPerCurve) {
  FormOption option;
  EXPECT_EQ(option.ComboY.text, "current I");
  for (const Control* limit :
       {&option.XminText, &option.XmaxText, &option.YminText, &option.YmaxText}) {
    EXPECT_TRUE(limit->visible) << limit->Ref();
  }

  const int startStyles[] = {2, 3, 1, 1, 1};
  for (int k = 0; k <= 4; ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(option.linestyle1(k).value, startStyles[k] == 1);
    EXPECT_EQ(option.linestyle2(k).value, startStyles[k] == 2);
    EXPECT_EQ(option.linestyle3(k).value, startStyles[k] == 3);
  }

  // Choosing a style for curve 2 leaves curve 1 alone.
  SelectOption(option, option.linestyle1(1));
  EXPECT_TRUE(option.linestyle1(1).value);
  EXPECT_FALSE(option.linestyle3(1).value);
  EXPECT_TRUE(option.linestyle2(0).value);
}

}  // namespace
}  // namespace kivex::ui
