#include "ui/qt/dialog_layouts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/form_expr.h"
#include "ui/form_ins.h"
#include "ui/form_mech.h"
#include "ui/form_option.h"
#include "ui/form_tech.h"
#include "ui/qt/dialog_window.h"

namespace kivex::ui::qt {

namespace {

// A frame's group box with a fresh layout of the given type inside.
template <typename Layout>
Layout* Inside(DialogWindow& w, Control& frame) {
  auto* box = static_cast<QGroupBox*>(w.WidgetFor(frame));
  auto* layout = new Layout;
  box->setLayout(layout);
  return layout;
}

// A text box with its label to the left, in two grid cells.
void Field(DialogWindow& w, QGridLayout* grid, int row, int column, Control& box) {
  grid->addWidget(w.CaptionFor(box), row, column);
  grid->addWidget(w.WidgetFor(box), row, column + 1);
}

QHBoxLayout* OkRow(DialogWindow& w, Control& ok) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(w.WidgetFor(ok));
  return row;
}

QLayout* Techniques(DialogWindow& w, FormTech& d) {
  auto* outer = new QVBoxLayout;
  outer->addWidget(w.WidgetFor(d.Frame1));
  auto* options = Inside<QVBoxLayout>(w, d.Frame1);
  for (int i = 1; i <= model::kTechniqueCount; ++i) options->addWidget(w.WidgetFor(d.optTech(i)));
  outer->addLayout(OkRow(w, d.cmdOK));
  return outer;
}

QLayout* Mechanism(DialogWindow& w, FormMech& d) {
  auto* outer = new QVBoxLayout;
  auto* mode = new QHBoxLayout;
  mode->addWidget(w.WidgetFor(d.CheckDigital));
  mode->addStretch();
  mode->addWidget(w.CaptionFor(d.ComboAccuracy));
  mode->addWidget(w.WidgetFor(d.ComboAccuracy));
  outer->addLayout(mode);
  outer->addWidget(w.WidgetFor(d.Frame1));
  auto* options = Inside<QVBoxLayout>(w, d.Frame1);
  for (int i = 1; i <= 8; ++i) options->addWidget(w.WidgetFor(d.mech(i)));

  outer->addWidget(w.WidgetFor(d.Frame2));
  auto* grid = Inside<QGridLayout>(w, d.Frame2);
  int row = 0;
  grid->addWidget(w.WidgetFor(d.lblChargeReaction), row++, 0, 1, 7);
  for (int r = 1; r <= 3; ++r, ++row) {
    grid->addWidget(w.WidgetFor(d.charge(2 * r - 1)), row, 0);
    grid->addWidget(w.WidgetFor(d.lblPlus(r)), row, 1);
    grid->addWidget(w.WidgetFor(d.NEL(r)), row, 2);
    grid->addWidget(w.WidgetFor(d.lblElectrons(r)), row, 3);
    grid->addWidget(w.WidgetFor(d.charge(2 * r)), row, 4);
  }
  grid->addWidget(w.WidgetFor(d.lblChemicalReaction), row++, 0, 1, 7);
  for (int k = 1; k <= 4; ++k, ++row) {
    grid->addWidget(w.WidgetFor(d.chem(2 * k - 1)), row, 0);
    grid->addWidget(w.WidgetFor(d.lblEquals(k)), row, 1);
    grid->addWidget(w.WidgetFor(d.chem(2 * k)), row, 2, 1, 3);
  }
  for (int j = 1; j <= 3; ++j, ++row) {
    grid->addWidget(w.WidgetFor(d.chem2(4 * j - 3)), row, 0);
    grid->addWidget(w.WidgetFor(d.lblPlus2(2 * j - 1)), row, 1);
    grid->addWidget(w.WidgetFor(d.chem2(4 * j - 2)), row, 2);
    grid->addWidget(w.WidgetFor(d.lblEquals2(j)), row, 3);
    grid->addWidget(w.WidgetFor(d.chem2(4 * j - 1)), row, 4);
    grid->addWidget(w.WidgetFor(d.lblPlus2(2 * j)), row, 5);
    grid->addWidget(w.WidgetFor(d.chem2(4 * j)), row, 6);
  }
  outer->addLayout(OkRow(w, d.Command1));
  return outer;
}

QLayout* Instrument(DialogWindow& w, FormIns& d) {
  auto* outer = new QVBoxLayout;
  auto* top = new QHBoxLayout;
  outer->addLayout(top);

  top->addWidget(w.WidgetFor(d.FrameInstrument));
  auto* grid = Inside<QGridLayout>(w, d.FrameInstrument);
  Control* left[] = {&d.Estart, &d.Estep, &d.tp, &d.Epulse, &d.Noise, &d.txtRu};
  Control* right[] = {&d.Eend, &d.V, &d.td, &d.txttemp, &d.Cdl, &d.TextF};
  for (int row = 0; row < 6; ++row) {
    Field(w, grid, row, 0, *left[row]);
    Field(w, grid, row, 3, *right[row]);
  }
  grid->addWidget(w.WidgetFor(d.lblOhm), 5, 2);
  Field(w, grid, 6, 0, d.ComboScan);
  Field(w, grid, 6, 3, d.tQuiet);
  // The sign list's entries are phrases: it takes the width they need.
  grid->addWidget(w.CaptionFor(d.ComboSign), 7, 0);
  auto* sign = static_cast<QComboBox*>(w.WidgetFor(d.ComboSign));
  sign->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  grid->addWidget(sign, 7, 1, 1, 3);
  grid->addWidget(w.WidgetFor(d.cmdFromFile), 7, 4);

  top->addWidget(w.WidgetFor(d.FrameElectrode));
  auto* electrode = Inside<QGridLayout>(w, d.FrameElectrode);
  for (int i = 1; i <= model::kElectrodeCount; ++i)
    electrode->addWidget(w.WidgetFor(d.optElectrode(i)), i - 1, 0);
  Field(w, electrode, 0, 1, d.ARE);
  electrode->addWidget(w.WidgetFor(d.LabelLength), 1, 1);
  electrode->addWidget(w.WidgetFor(d.leng), 1, 2);
  electrode->addWidget(w.WidgetFor(d.LabelRadius), 2, 1);
  electrode->addWidget(w.WidgetFor(d.radius), 2, 2);
  electrode->addWidget(w.WidgetFor(d.LabelRrate), 3, 1);
  electrode->addWidget(w.WidgetFor(d.TextRrate), 3, 2);
  Field(w, electrode, 4, 1, d.TextDis);

  outer->addWidget(w.WidgetFor(d.CheckPreCon));
  outer->addWidget(w.WidgetFor(d.FramePre));
  auto* pre = Inside<QGridLayout>(w, d.FramePre);
  Field(w, pre, 0, 0, d.txtEPre);
  Field(w, pre, 0, 2, d.txtTPre);
  Field(w, pre, 1, 0, d.txtPconst);
  Field(w, pre, 1, 2, d.txtRStir);
  outer->addLayout(OkRow(w, d.cmdOK));
  return outer;
}

// Column headers of a table frame: each header label in its own column, or two labels sharing
// one column where a symbol-font letter precedes a word ("alpha fitted").
void Heads(DialogWindow& w, QGridLayout* grid,
           std::initializer_list<std::initializer_list<Control*>> columns) {
  int column = 1;
  for (const auto& labels : columns) {
    auto* cell = new QHBoxLayout;
    cell->setSpacing(2);
    for (Control* label : labels) cell->addWidget(w.WidgetFor(*label));
    cell->addStretch();
    grid->addLayout(cell, 0, column++);
  }
}

QLayout* Chemicals(DialogWindow& w, FormExpr& d) {
  auto* outer = new QVBoxLayout;
  auto* top = new QHBoxLayout;
  outer->addLayout(top);
  top->addWidget(w.WidgetFor(d.FrameElectrolyte));
  auto* electrolyte = Inside<QGridLayout>(w, d.FrameElectrolyte);
  Field(w, electrolyte, 0, 0, d.TextVis);
  Field(w, electrolyte, 0, 2, d.TextElectrolyteC);
  Field(w, electrolyte, 0, 4, d.TextElectrolyteCond);
  top->addWidget(w.WidgetFor(d.CheckPreEqu));
  top->addStretch();

  outer->addWidget(w.WidgetFor(d.FrameSpecies));
  auto* species = Inside<QGridLayout>(w, d.FrameSpecies);
  Heads(w, species,
        {{&d.lblSpeciesHead(1)},
         {&d.lblSpeciesHead(2)},
         {&d.lblSpeciesHead(3)},
         {&d.lblSpeciesHead(4)},
         {&d.lblSpeciesHead(5)},
         {&d.lblSpeciesHead(6)},
         {&d.lblSpeciesHead(7)},
         {&d.lblSpeciesHead(8)},
         {&d.lblSpeciesHead(9)},
         {&d.lblSpeciesHead(10)}});
  for (int i = 1; i <= 6; ++i) {
    species->addWidget(w.WidgetFor(d.specie(i)), i, 0);
    species->addWidget(w.WidgetFor(d.C(i)), i, 1);
    species->addWidget(w.WidgetFor(d.Cinit(i)), i, 2);
    species->addWidget(w.WidgetFor(d.D(i)), i, 3);
    species->addWidget(w.WidgetFor(d.Cond(i - 1)), i, 4);
    int column = 5;
    for (int first : {0, 23}) {  // the concentration's fit, then D's
      species->addWidget(w.WidgetFor(d.CheckFitted(first + i)), i, column++);
      species->addWidget(w.WidgetFor(d.TextCmin(first + i)), i, column++);
      species->addWidget(w.WidgetFor(d.TextCmax(first + i)), i, column++);
    }
  }

  outer->addWidget(w.WidgetFor(d.FrameHeter));
  auto* heter = Inside<QGridLayout>(w, d.FrameHeter);
  Heads(w, heter,
        {{&d.lblHeterHead(2)},
         {&d.lblHeterHead(3)},
         {&d.lblHeterHead(4)},
         {&d.lblHeterHead(5)},
         {&d.lblHeterHead(6)},
         {&d.lblHeterHead(7)},
         {&d.lblHeterHead(8), &d.lblHeterHead(9)},
         {&d.lblHeterHead(10), &d.lblHeterHead(11)},
         {&d.lblHeterHead(12), &d.lblHeterHead(13)},
         {&d.lblHeterHead(14)},
         {&d.lblHeterHead(15)},
         {&d.lblHeterHead(16)}});
  heter->addWidget(w.WidgetFor(d.lblHeterHead(1)), 0, 0);
  for (int j = 1; j <= 3; ++j) {
    heter->addWidget(w.WidgetFor(d.heter(j)), j, 0);
    heter->addWidget(w.WidgetFor(d.Eze(j)), j, 1);
    heter->addWidget(w.WidgetFor(d.ks(j)), j, 2);
    heter->addWidget(w.WidgetFor(d.alph(j)), j, 3);
    int column = 4;
    for (int first : {6, 9, 12}) {
      heter->addWidget(w.WidgetFor(d.CheckFitted(first + j)), j, column++);
      heter->addWidget(w.WidgetFor(d.TextCmin(first + j)), j, column++);
      heter->addWidget(w.WidgetFor(d.TextCmax(first + j)), j, column++);
    }
  }

  outer->addWidget(w.WidgetFor(d.FrameHomo));
  auto* homo = Inside<QGridLayout>(w, d.FrameHomo);
  homo->addWidget(w.WidgetFor(d.lblHomoHead(1)), 0, 0);
  Heads(w, homo,
        {{&d.lblHomoHead(2)},
         {&d.lblHomoHead(3)},
         {&d.lblHomoHead(4)},
         {&d.lblHomoHead(5)},
         {&d.lblHomoHead(6)},
         {&d.lblHomoHead(7)},
         {&d.lblHomoHead(8)},
         {&d.lblHomoHead(9)},
         {&d.lblHomoHead(10)},
         {&d.lblHomoHead(11)}});
  for (int k = 1; k <= 4; ++k) {
    homo->addWidget(w.WidgetFor(d.homo(k)), k, 0);
    homo->addWidget(w.WidgetFor(d.kf(k)), k, 1);
    homo->addWidget(w.WidgetFor(d.kb(k)), k, 2);
    homo->addWidget(w.WidgetFor(d.LabelKeq(k)), k, 3);
    homo->addWidget(w.WidgetFor(d.pl(k)), k, 4);
    int column = 5;
    for (int first : {15, 19}) {
      homo->addWidget(w.WidgetFor(d.CheckFitted(first + k)), k, column++);
      homo->addWidget(w.WidgetFor(d.TextCmin(first + k)), k, column++);
      homo->addWidget(w.WidgetFor(d.TextCmax(first + k)), k, column++);
    }
  }
  // The fit range under the tables, left of OK.
  auto* bottom = OkRow(w, d.cmdOK);
  bottom->insertWidget(0, w.CaptionFor(d.TextFitRange));
  bottom->insertWidget(1, w.WidgetFor(d.TextFitRange), 1);
  outer->addLayout(bottom);
  return outer;
}

QLayout* Options(DialogWindow& w, FormOption& d) {
  auto* outer = new QVBoxLayout;
  auto* checks = new QHBoxLayout;
  for (Control* box : {&d.CheckGrid, &d.overlap, &d.Xauto, &d.Yauto, &d.CheckXdir}) {
    checks->addWidget(w.WidgetFor(*box));
  }
  outer->addLayout(checks);
  auto* limits = new QGridLayout;
  Field(w, limits, 0, 0, d.XminText);
  Field(w, limits, 0, 2, d.XmaxText);
  Field(w, limits, 1, 0, d.YminText);
  Field(w, limits, 1, 2, d.YmaxText);
  outer->addLayout(limits);
  outer->addWidget(w.WidgetFor(d.FrameAxis));
  Inside<QVBoxLayout>(w, d.FrameAxis)->addWidget(w.WidgetFor(d.ComboY));
  auto* curves = new QHBoxLayout;
  for (int k = 0; k <= 4; ++k) {
    curves->addWidget(w.WidgetFor(d.FrameCurve(k)));
    Inside<QVBoxLayout>(w, d.FrameCurve(k))->addWidget(w.WidgetFor(d.FrameLine(k)));
    auto* styles = Inside<QVBoxLayout>(w, d.FrameLine(k));
    styles->addWidget(w.WidgetFor(d.linestyle1(k)));
    styles->addWidget(w.WidgetFor(d.linestyle2(k)));
    styles->addWidget(w.WidgetFor(d.linestyle3(k)));
  }
  outer->addLayout(curves);
  auto* baseline = new QHBoxLayout;
  baseline->addWidget(w.CaptionFor(d.ComboBaseline));
  baseline->addWidget(w.WidgetFor(d.ComboBaseline));
  baseline->addStretch();
  outer->addLayout(baseline);
  outer->addLayout(OkRow(w, d.cmdOK));
  return outer;
}

}  // namespace

QLayout* DialogLayouts::Build(DialogWindow& window) {
  Dialog& dialog = window.dialog();
  if (auto* d = dynamic_cast<FormTech*>(&dialog)) return Techniques(window, *d);
  if (auto* d = dynamic_cast<FormMech*>(&dialog)) return Mechanism(window, *d);
  if (auto* d = dynamic_cast<FormIns*>(&dialog)) return Instrument(window, *d);
  if (auto* d = dynamic_cast<FormExpr*>(&dialog)) return Chemicals(window, *d);
  if (auto* d = dynamic_cast<FormOption*>(&dialog)) return Options(window, *d);
  return new QVBoxLayout;
}

}  // namespace kivex::ui::qt
