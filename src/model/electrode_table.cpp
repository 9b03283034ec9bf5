#include "model/electrode_table.h"

#include <array>
#include <string>

#include "model/checked_math.h"
#include "model/failure.h"
#include "model/physical_constants.h"

namespace kivex::model {

namespace {

// A layer of the shown area: the volume of every electrode without a body of its own.
double Layer(double, double length, double area) { return Finite(area * length); }

constexpr ElectrodeTraits Planar() {
  ElectrodeTraits e;
  e.id = Electrode::Planar;
  e.caption = "1)  Planar";
  e.digital = true;
  e.volume = Layer;
  return e;
}

constexpr ElectrodeTraits Sphere() {
  ElectrodeTraits e;
  e.id = Electrode::Sphere;
  e.caption = "2)  (Micro)Spherical";
  e.size = SizeBox::Radius;
  e.digital = true;
  e.diffusion = Diffusion::Spherical;
  e.area = [](double r, double) { return Finite(4.0 * kPiTenDigits * r * r); };
  e.volume = [](double R, double, double) { return Finite(4.0 * kPiTenDigits * R * R * R / 3.0); };
  return e;
}

constexpr ElectrodeTraits Hemisphere() {
  ElectrodeTraits e;
  e.id = Electrode::Hemisphere;
  e.caption = "3)  (Micro)Hemispherical";
  e.size = SizeBox::Radius;
  e.digital = true;
  e.diffusion = Diffusion::Spherical;
  e.area = [](double r, double) { return Finite(2.0 * kPiTenDigits * r * r); };
  e.volume = [](double R, double, double) { return Finite(2.0 * kPiTenDigits * R * R * R / 3.0); };
  return e;
}

constexpr ElectrodeTraits Microdisc() {
  ElectrodeTraits e;
  e.id = Electrode::Microdisc;
  e.caption = "4)  Microdisc";
  e.size = SizeBox::Radius;
  e.digital = true;
  e.diffusion = Diffusion::Spherical;
  e.disc = true;
  e.exactField = true;
  e.area = [](double r, double) { return Finite(kPiTenDigits * r * r); };
  e.volume = Layer;
  return e;
}

constexpr ElectrodeTraits Cylinder() {
  ElectrodeTraits e;
  e.id = Electrode::Cylinder;
  e.caption = "5)  (Micro)Cylindrical";
  e.size = SizeBox::Radius;
  e.length = LengthBox::Length;
  e.digital = true;
  e.diffusion = Diffusion::Cylindrical;
  e.flatEnd = true;
  // With its flat end.
  e.area = [](double r, double L) {
    return Finite(kPiTenDigits * r * r + 2.0 * kPiTenDigits * r * L);
  };
  e.volume = [](double R, double L, double) { return Finite(kPiTenDigits * R * R * L); };
  return e;
}

constexpr ElectrodeTraits HalfCylinder() {
  ElectrodeTraits e;
  e.id = Electrode::HalfCylinder;
  e.caption = "6)  (Micro)Hemicylindrical";
  e.size = SizeBox::Radius;
  e.length = LengthBox::Length;
  e.digital = true;
  e.diffusion = Diffusion::Cylindrical;
  e.flatEnd = true;
  e.area = [](double r, double L) {
    return Finite(kPiTenDigits * r * r / 2.0 + kPiTenDigits * r * L);
  };
  e.volume = [](double R, double L, double) { return Finite(kPiTenDigits / 2.0 * R * R * L); };
  return e;
}

constexpr ElectrodeTraits Band() {
  ElectrodeTraits e;
  e.id = Electrode::Band;
  e.caption = "7)  Band";
  e.size = SizeBox::Width;
  e.length = LengthBox::Length;
  e.digital = true;
  e.exactField = true;
  e.diffusion = Diffusion::Cylindrical;
  e.area = [](double w, double L) { return Finite(L * w); };
  e.volume = Layer;
  return e;
}

constexpr ElectrodeTraits RotatingDisk() {
  ElectrodeTraits e;
  e.id = Electrode::RotatingDisk;
  e.caption = "8)  Rotating disk";
  e.size = SizeBox::Radius;
  e.rotates = true;
  e.area = [](double r, double) { return Finite(kPiTenDigits * r * r); };
  e.volume = Layer;
  return e;
}

constexpr ElectrodeTraits ThinFilm() {
  ElectrodeTraits e;
  e.id = Electrode::ThinFilm;
  e.caption = "9)  Thin film";
  e.length = LengthBox::Thickness;
  e.diffusion = Diffusion::Film;
  e.volume = Layer;
  return e;
}

// In the order of the Instrument dialog, whose option i is row i - 1.
constexpr std::array<ElectrodeTraits, kElectrodeCount> kElectrodes = {
    Planar(),       Sphere(), Hemisphere(),   Microdisc(), Cylinder(),
    HalfCylinder(), Band(),   RotatingDisk(), ThinFilm()};

}  // namespace

const ElectrodeTraits* FindElectrode(Count number) {
  if (number < 1 || number > kElectrodeCount) return nullptr;
  return &kElectrodes[static_cast<std::size_t>(number - 1)];
}

const ElectrodeTraits& ElectrodeTraitsOf(Electrode electrode) {
  const ElectrodeTraits* row = FindElectrode(static_cast<Count>(electrode));
  if (row == nullptr)
    throw Failure("Unknown electrode " + std::to_string(static_cast<int>(electrode)));
  return *row;
}

bool IsSpherical(Electrode electrode) {
  const ElectrodeTraits* row = FindElectrode(static_cast<Count>(electrode));
  return row != nullptr && row->diffusion == Diffusion::Spherical;
}

bool IsCylindrical(Electrode electrode) {
  const ElectrodeTraits* row = FindElectrode(static_cast<Count>(electrode));
  return row != nullptr && row->diffusion == Diffusion::Cylindrical;
}

double DiscRadius(double r) { return kPiTenDigits * r / 4.0; }

double EquivalentRadius(Electrode electrode, double size) {
  const ElectrodeTraits* row = FindElectrode(static_cast<Count>(electrode));
  if (row != nullptr && row->disc) return DiscRadius(size);
  if (row != nullptr && row->size == SizeBox::Width) return size / 4.0;
  return size;
}

double DiffusingArea(Electrode electrode, double area) {
  const ElectrodeTraits* row = FindElectrode(static_cast<Count>(electrode));
  return row != nullptr && row->size == SizeBox::Width ? area * kPiTenDigits / 4 : area;
}

}  // namespace kivex::model
