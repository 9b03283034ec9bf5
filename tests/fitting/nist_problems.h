#pragma once
// NIST StRD nonlinear regression problems: data typed from the published tables as (y, x) pairs,
// both starts, certified parameters and sum (NistReference checks the data against the sums).

#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace kivex::fitting {

struct NistProblem {
  std::string name;
  double (*f)(const double* b, double x);
  std::vector<double> start1, start2, cert;
  double certSsq;
  std::vector<double> yx;        // the published rows (y, x), one after the other
  std::vector<double> x{}, y{};  // split from yx
};

namespace nist {
inline double Misra1a(const double* b, double x) { return b[0] * (1 - std::exp(-b[1] * x)); }
inline double Thurber(const double* b, double x) {
  return (b[0] + b[1] * x + b[2] * x * x + b[3] * x * x * x) /
         (1 + b[4] * x + b[5] * x * x + b[6] * x * x * x);
}
inline double MGH09(const double* b, double x) {
  return b[0] * (x * x + x * b[1]) / (x * x + x * b[2] + b[3]);
}
inline double BoxBOD(const double* b, double x) { return b[0] * (1 - std::exp(-b[1] * x)); }
inline double Eckerle4(const double* b, double x) {
  double z = (x - b[2]) / b[1];
  return b[0] / b[1] * std::exp(-0.5 * z * z);
}
inline double Rat43(const double* b, double x) {
  return b[0] / std::pow(1 + std::exp(b[1] - b[2] * x), 1 / b[3]);
}
inline double Rat42(const double* b, double x) { return b[0] / (1 + std::exp(b[1] - b[2] * x)); }
inline double MGH10(const double* b, double x) { return b[0] * std::exp(b[1] / (x + b[2])); }
inline double DanWood(const double* b, double x) { return b[0] * std::pow(x, b[1]); }
}  // namespace nist

inline const std::vector<NistProblem>& NistProblems() {
  static const std::vector<NistProblem> problems = [] {
    // clang-format off
    std::vector<NistProblem> v = {
      {"Misra1a", nist::Misra1a, {500, 1e-4}, {250, 5e-4}, {2.3894212918E+02, 5.5015643181E-04},
       1.2455138894E-01,
       {10.07, 77.6, 14.73, 114.9, 17.94, 141.1, 23.93, 190.8, 29.61, 239.9, 35.18, 289.0, 40.02,
        332.8, 44.82, 378.4, 50.76, 434.8, 55.05, 477.3, 61.01, 536.8, 66.40, 593.1, 75.47, 689.1,
        81.78, 760.0}},
      {"Thurber", nist::Thurber, {1000, 1000, 400, 40, 0.7, 0.3, 0.03}, {1300, 1500, 500, 75, 1,
       0.4, 0.05}, {1.2881396800E+03, 1.4910792535E+03, 5.8323836877E+02, 7.5416644291E+01,
       9.6629502864E-01, 3.9797285797E-01, 4.9727297349E-02}, 5.6427082397E+03,
       {80.574, -3.067, 84.248, -2.981, 87.264, -2.921, 87.195, -2.912, 89.076, -2.840, 89.608,
        -2.797, 89.868, -2.702, 90.101, -2.699, 92.405, -2.633, 95.854, -2.481, 100.696, -2.363,
        101.060, -2.322, 401.672, -1.501, 390.724, -1.460, 567.534, -1.274, 635.316, -1.212,
        733.054, -1.100, 759.087, -1.046, 894.206, -0.915, 990.785, -0.714, 1090.109, -0.566,
        1080.914, -0.545, 1122.643, -0.400, 1178.351, -0.309, 1260.531, -0.109, 1273.514, -0.103,
        1288.339, 0.010, 1327.543, 0.119, 1353.863, 0.377, 1414.509, 0.790, 1425.208, 0.963,
        1421.384, 1.006, 1442.962, 1.115, 1464.350, 1.572, 1468.705, 1.841, 1447.894, 2.047,
        1457.628, 2.200}},
      {"MGH09", nist::MGH09, {25, 39, 41.5, 39}, {0.25, 0.39, 0.415, 0.39}, {1.9280693458E-01,
       1.9128232873E-01, 1.2305650693E-01, 1.3606233068E-01}, 3.0750560385E-04,
       {1.957000E-01, 4.000000E+00, 1.947000E-01, 2.000000E+00, 1.735000E-01, 1.000000E+00,
        1.600000E-01, 5.000000E-01, 8.440000E-02, 2.500000E-01, 6.270000E-02, 1.670000E-01,
        4.560000E-02, 1.250000E-01, 3.420000E-02, 1.000000E-01, 3.230000E-02, 8.330000E-02,
        2.350000E-02, 7.140000E-02, 2.460000E-02, 6.250000E-02}},
      {"BoxBOD", nist::BoxBOD, {1, 1}, {100, 0.75}, {2.1380940889E+02, 5.4723748542E-01},
       1.1680088766E+03,
       {109, 1, 149, 2, 149, 3, 191, 5, 213, 7, 224, 10}},
      {"Eckerle4", nist::Eckerle4, {1, 10, 500}, {1.5, 5, 450}, {1.5543827178E+00, 4.0888321754E+00,
       4.5154121844E+02}, 1.4635887487E-03,
       {0.0001575, 400.0, 0.0001699, 405.0, 0.0002350, 410.0, 0.0003102, 415.0, 0.0004917, 420.0,
        0.0008710, 425.0, 0.0017418, 430.0, 0.0046400, 435.0, 0.0065895, 436.5, 0.0097302, 438.0,
        0.0149002, 439.5, 0.0237310, 441.0, 0.0401683, 442.5, 0.0712559, 444.0, 0.1264458, 445.5,
        0.2073413, 447.0, 0.2902366, 448.5, 0.3445623, 450.0, 0.3698049, 451.5, 0.3668534, 453.0,
        0.3106727, 454.5, 0.2078154, 456.0, 0.1164354, 457.5, 0.0616764, 459.0, 0.0337200, 460.5,
        0.0194023, 462.0, 0.0117831, 463.5, 0.0074357, 465.0, 0.0022732, 470.0, 0.0008800, 475.0,
        0.0004579, 480.0, 0.0002345, 485.0, 0.0001586, 490.0, 0.0001143, 495.0, 0.0000710, 500.0}},
      {"Rat43", nist::Rat43, {100, 10, 1, 1}, {700, 5, 0.75, 1.3}, {6.9964151270E+02,
       5.2771253025E+00, 7.5962938329E-01, 1.2792483859E+00}, 8.7864049080E+03,
       {16.08, 1, 33.83, 2, 65.80, 3, 97.20, 4, 191.55, 5, 326.20, 6, 386.87, 7, 520.53, 8, 590.03,
        9, 651.92, 10, 724.93, 11, 699.56, 12, 689.96, 13, 637.56, 14, 717.41, 15}},
      {"Rat42", nist::Rat42, {100, 1, 0.1}, {75, 2.5, 0.07}, {7.2462237576E+01, 2.6180768402E+00,
       6.7359200066E-02}, 8.0565229338E+00,
       {8.93, 9, 10.8, 14, 18.59, 21, 22.33, 28, 39.35, 42, 56.11, 57, 61.73, 63, 64.62, 70, 67.08,
        79}},
      {"MGH10", nist::MGH10, {2, 400000, 25000}, {0.02, 4000, 250}, {5.6096364710E-03,
       6.1813463463E+03, 3.4522363462E+02}, 8.7945855171E+01,
       {34780, 50, 28610, 55, 23650, 60, 19630, 65, 16370, 70, 13720, 75, 11540, 80, 9744, 85, 8261,
        90, 7030, 95, 6005, 100, 5147, 105, 4427, 110, 3820, 115, 3307, 120, 2872, 125}},
      {"DanWood", nist::DanWood, {1, 5}, {0.7, 4}, {7.6886226176E-01, 3.8604055871E+00},
       4.3173084083E-03,
       {2.138, 1.309, 3.421, 1.471, 3.597, 1.490, 4.340, 1.565, 4.882, 1.611, 5.660, 1.680}},
    };
    // clang-format on
    for (NistProblem& p : v) {
      for (std::size_t i = 0; i + 1 < p.yx.size(); i += 2) {
        p.y.push_back(p.yx[i]);
        p.x.push_back(p.yx[i + 1]);
      }
    }
    return v;
  }();
  return problems;
}

inline double NistSsq(const NistProblem& p, const double* b) {
  double sum = 0;
  for (std::size_t i = 0; i < p.x.size(); ++i) {
    const double r = p.y[i] - p.f(b, p.x[i]);
    sum += r * r;
  }
  return sum;
}

inline const NistProblem& NistFind(const std::string& name) {
  for (const NistProblem& p : NistProblems()) {
    if (p.name == name) return p;
  }
  throw std::invalid_argument(name);
}

}  // namespace kivex::fitting
