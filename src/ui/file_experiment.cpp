#include "ui/file_experiment.h"

#include <algorithm>
#include <cmath>

#include "model/number_text.h"
#include "model/sweeps.h"
#include "model/technique_table.h"
#include "ui/form_ins.h"
#include "ui/form_tech.h"
#include "ui/interaction.h"
#include "ui/session.h"

namespace kivex::ui {

namespace {

constexpr const char* kScanNames[] = {"single", "cycle", "2 cycles"};

// `value` to `digits` significant digits: a step or rate read off jittered points means no more.
double Rounded(double value, int digits) {
  if (value == 0 || !std::isfinite(value)) return value;
  const double scale = std::pow(10.0, digits - 1 - std::floor(std::log10(std::fabs(value))));
  return std::round(value * scale) / scale;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

// The step of the programme the points were recorded on: the distance the sweeps cover over the
// steps they take (a repeated vertex takes none). Jitter of the recorded potentials only moves
// the ends, where a median or mean of the steps would carry it.
double ProgrammeStep(std::span<const double> x, const std::vector<model::Sweep>& sweeps) {
  const double typical = model::MedianStep(x);
  double distance = 0;
  std::size_t steps = 0;
  for (std::size_t s = 0; s < sweeps.size(); ++s) {
    const auto first = static_cast<std::size_t>(s == 0 ? sweeps[s].first : sweeps[s - 1].last);
    const auto last = static_cast<std::size_t>(sweeps[s].last);
    distance += std::fabs(x[last] - x[first]);
    for (std::size_t i = first + 1; i <= last; ++i) {
      if (std::fabs(x[i] - x[i - 1]) > 0.1 * typical) ++steps;
    }
  }
  return steps > 0 ? distance / static_cast<double>(steps) : 0.0;
}

// A potential of the points, or the header's potential where it lies within one and a half steps
// of it: the programme's own value rather than where the recorded point happened to land (an
// instrument records its first point a step after the start).
double ProgrammePotential(double recorded, const io::FileSettings& settings, double step) {
  for (const std::optional<double>& stated :
       {settings.initialPotential, settings.vertex1, settings.vertex2, settings.finalPotential}) {
    if (stated && std::fabs(*stated - recorded) <= 1.5 * step) return *stated;
  }
  return std::round(recorded * 1e4) / 1e4;  // to 0.1 mV
}

// Points of the programme carry their diffusion layer from one to the next; DC and pulse points
// each start afresh. A file that names no technique is taken to carry it.
bool CarriesLayer(int technique) {
  const model::TechniqueTraits* row = model::FindTechnique(static_cast<model::Count>(technique));
  return row == nullptr || row->carriesLayer;
}

std::string Volts(double value) { return model::ShortestText(value) + " V"; }

std::vector<std::string> Parts(const FileExperiment& e) {
  std::vector<std::string> parts;
  if (const auto* row = model::FindTechnique(static_cast<model::Count>(e.technique))) {
    parts.emplace_back(row->name);
  }
  if (e.Estart) parts.push_back("E start " + Volts(*e.Estart));
  if (e.Eend) parts.push_back("E end " + Volts(*e.Eend));
  if (e.scanItem >= 0) parts.push_back(std::string("scan ") + kScanNames[e.scanItem]);
  if (e.Estep) parts.push_back("E step " + Volts(*e.Estep));
  if (e.scanRate) parts.push_back("v " + model::ShortestText(*e.scanRate) + " V/s");
  if (e.Epulse) parts.push_back("E pulse " + Volts(*e.Epulse));
  if (e.tPulse) parts.push_back("t pulse " + model::ShortestText(*e.tPulse) + " s");
  if (e.frequency) parts.push_back("f " + model::ShortestText(*e.frequency) + " Hz");
  if (e.quietTime) parts.push_back("t quiet " + model::ShortestText(*e.quietTime) + " s");
  return parts;
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
  return text;
}

}  // namespace

bool FileExperiment::Empty() const {
  return technique == 0 && !Estart && !Eend && !Estep && !scanRate && !quietTime && !Epulse &&
         !tPulse && !frequency && scanItem < 0;
}

FileExperiment DescribedExperiment(const io::FileSettings& settings, std::span<const double> x,
                                   std::span<const double> t, const io::Portion& portion) {
  FileExperiment e;
  // A file of bare numbers describes no experiment beyond its points, which the import puts into
  // the dialog as it always did.
  const bool says = settings.technique != 0 || !settings.found.empty() || t.size() == x.size();
  const std::size_t end = std::min(portion.end, x.size());
  if (!says || portion.begin >= end) return e;
  e.technique = settings.technique;
  const std::span<const double> taken = x.subspan(portion.begin, end - portion.begin);

  // The programme of the points taken: where they start, where they turn, how often.
  const std::vector<model::Sweep> sweeps = model::FindSweeps(taken);
  if (settings.step && *settings.step > 0) {
    e.Estep = std::fabs(*settings.step);
  } else if (const double spacing = ProgrammeStep(taken, sweeps); spacing > 0) {
    e.Estep = Rounded(spacing, 3);
  }
  const double step = e.Estep.value_or(model::MedianStep(taken));
  e.Estart = ProgrammePotential(taken.front(), settings, step);
  const double turn = taken[static_cast<std::size_t>(sweeps.front().last)];
  e.Eend = ProgrammePotential(sweeps.size() == 1 ? taken.back() : turn, settings, step);
  const bool returns = std::fabs(taken.back() - taken.front()) <= std::max(2 * step, 1e-4);
  if (sweeps.size() == 1) {
    e.scanItem = 0;
  } else if ((sweeps.size() == 2 || sweeps.size() == 4) && returns) {
    e.scanItem = sweeps.size() == 2 ? 1 : 2;
  } else {
    e.notes.push_back("The " + std::to_string(sweeps.size()) +
                      " sweeps taken make no programme of the Scan list: Scan is left as it is.");
  }

  if (settings.scanRate && *settings.scanRate > 0) {
    e.scanRate = std::fabs(*settings.scanRate);
  } else if (settings.pulsePeriod && *settings.pulsePeriod > 0 && e.Estep) {
    // A pulse programme steps once a period: the dialog's drop time E step / v is the period.
    e.scanRate = *e.Estep / *settings.pulsePeriod;
  } else if (t.size() == x.size()) {
    // The rate the potential actually ran at, from the file's own clock.
    std::vector<double> rates;
    for (std::size_t i = portion.begin + 1; i < end; ++i) {
      const double dt = t[i] - t[i - 1];
      if (dt > 0 && x[i] != x[i - 1]) rates.push_back(std::fabs((x[i] - x[i - 1]) / dt));
    }
    if (!rates.empty()) e.scanRate = Rounded(Median(rates), 3);
  }

  const double direction = *e.Eend >= *e.Estart ? 1.0 : -1.0;
  const model::TechniqueTraits* row = model::FindTechnique(static_cast<model::Count>(e.technique));
  const bool pulsed = row != nullptr && row->pulse;
  const bool periodic = pulsed && row->frequency;  // a square wave: its period sets the pulse
  if (settings.pulseHeight && pulsed && !periodic) {
    e.Epulse = direction * std::fabs(*settings.pulseHeight);
  }
  if (settings.pulseHeight && periodic) {
    // The file gives the square wave's amplitude; the dialog's pulse is from trough to crest.
    e.Epulse = direction * 2 * std::fabs(*settings.pulseHeight);
  }
  if (settings.pulseWidth && pulsed && !periodic) e.tPulse = *settings.pulseWidth;
  if (settings.frequency && periodic) e.frequency = *settings.frequency;

  if (settings.quietTime && *settings.quietTime > 0) {
    if (portion.begin != 0) {
      e.notes.push_back(
          "The file's quiet time is not taken: the points taken do not start the "
          "experiment.");
    } else if (!CarriesLayer(e.technique)) {
      e.notes.push_back(
          "The file's quiet time is not taken: DC and pulse points each start "
          "afresh.");
    } else {
      e.quietTime = *settings.quietTime;
    }
  }
  return e;
}

std::string OfferLine(const FileExperiment& experiment) {
  return "The file describes: " + Joined(Parts(experiment)) + ". Instrument > From File takes it.";
}

void TakeFileExperiment(Session& session) {
  if (!session.fileExperiment) return;
  const FileExperiment e = *session.fileExperiment;
  if (model::FindTechnique(static_cast<model::Count>(e.technique)) != nullptr) {
    FormTech& tech = session.Tech();
    ClickControl(session, tech, tech.optTech(e.technique));
  }
  FormIns& ins = session.Ins();
  // As if typed, so the drop time and the pulse width follow; a hidden field is set all the same,
  // as it belongs to the programme the technique will show.
  auto put = [&](Control& field, const std::optional<double>& value) {
    if (!value) return;
    field.text = model::ShortestText(*value);
    ins.Changed(session, field);
  };
  put(ins.Estart, e.Estart);
  put(ins.Eend, e.Eend);
  put(ins.Estep, e.Estep);
  put(ins.V, e.scanRate);
  put(ins.Epulse, e.Epulse);
  put(ins.tp, e.tPulse);
  put(ins.TextF, e.frequency);
  put(ins.tQuiet, e.quietTime.value_or(0.0));
  if (e.scanItem >= 0) ins.ComboScan.Choose(e.scanItem);
  ShowFieldsForTechnique(ins, SelectedTechnique(session.Tech()));

  FileExperiment shown = e;
  shown.quietTime = e.quietTime.value_or(0.0);
  session.Print("Taken from the file: " + Joined(Parts(shown)) + ".");
  for (const std::string& note : e.notes) session.Print(note);
  session.ShowResult();
}

}  // namespace kivex::ui
