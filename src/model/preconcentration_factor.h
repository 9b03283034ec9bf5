#pragma once
// The enrichment of a preconcentration step: the concentration of the reduced species
// accumulated in the electrode per unit bulk concentration of species 1, after deposition at
// E pre for t pre under stirring. The transport follows the convective (Levich) dependence
// D^(2/3) w^(1/2) nu^(-1/6); the deposit is limited by its Nernst ratio at E pre.
//
//   factor = P A D^(2/3) sqrt(w) nu^(-1/6) t / (V (1 + theta)),
//   theta = exp(n F (E pre - E0) / (R T)),  w = 2 pi R stir / 60.

namespace kivex::model {

struct PreconcentrationInput {
  double n = 1;                  // electrons of charge reaction 1
  double E0 = 0;                 // V, standard potential of charge reaction 1
  double Epre = 0;               // V, deposition potential
  double temperature = 0;        // K
  double stirRate = 0;           // rpm
  double electrodeConstant = 0;  // P
  double area = 0;               // cm2
  double D = 0;                  // cm2/s of species 1
  double viscosity = 0;          // cm2/s, kinematic
  double tPre = 0;               // s
  double electrodeVolume = 0;    // cm3
};

// Raises Failure when the factor cannot be computed (a zero volume or viscosity, a
// negative stirring rate or diffusion coefficient, a temperature not above 0 K, an overflow).
double PreconcentrationFactor(const PreconcentrationInput& input);

}  // namespace kivex::model
