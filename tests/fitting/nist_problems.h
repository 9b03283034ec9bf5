#pragma once
// NIST StRD nonlinear regression problems: the models here, the published tables (starts,
// certified values, data) in data/nist_strd.txt beside this file.

#include <cctype>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace kivex::fitting {

struct NistProblem {
  std::string name;
  double (*f)(const double* b, double x) = nullptr;
  std::vector<double> start1, start2, cert;
  double certSsq = 0;
  std::vector<double> x{}, y{};
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

// The problem `name` as the table file gives it: "problem", "start1", "start2", "certified" and
// "sum" lines, then one line of y and x for each point.
inline const NistProblem& NistFind(const std::string& name) {
  static const std::map<std::string, NistProblem> problems = [] {
    const std::map<std::string, double (*)(const double*, double)> models = {
        {"Misra1a", nist::Misra1a},   {"Thurber", nist::Thurber}, {"MGH09", nist::MGH09},
        {"BoxBOD", nist::Misra1a},  // the same model
        {"Eckerle4", nist::Eckerle4}, {"Rat43", nist::Rat43},     {"Rat42", nist::Rat42},
        {"MGH10", nist::MGH10},       {"DanWood", nist::DanWood}};
    const std::string path = std::string(KIVEX_FITTING_TEST_DATA) + "/nist_strd.txt";
    std::ifstream in(path);
    if (!in) throw std::runtime_error(path + " cannot be read");
    std::map<std::string, NistProblem> read;
    NistProblem* p = nullptr;
    for (std::string line; std::getline(in, line);) {
      if (line.empty() || line[0] == '#') continue;
      std::istringstream words(line);
      std::string key = "y x";
      if (std::isalpha(static_cast<unsigned char>(line[0]))) words >> key;
      if (key == "problem") {
        words >> key;
        p = &read[key];
        p->name = key, p->f = models.at(key);
        continue;
      }
      const std::vector<double> v{std::istream_iterator<double>(words), {}};
      if (key == "y x")
        p->y.push_back(v.at(0)), p->x.push_back(v.at(1));
      else if (key == "sum")
        p->certSsq = v.at(0);
      else
        (key == "start1" ? p->start1 : key == "start2" ? p->start2 : p->cert) = v;
    }
    return read;
  }();
  const auto found = problems.find(name);
  if (found == problems.end()) throw std::invalid_argument(name);
  return found->second;
}

}  // namespace kivex::fitting
