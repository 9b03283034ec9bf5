#pragma once
// A non-owning reference to the model of a fit: anything callable as
//   void(std::span<const double> parameters, std::span<double> values)
// that fills one model value per observed point. Holding only a pointer to the callable and a
// plain function pointer, it costs nothing per evaluation (no allocation, no copy), which matters
// when every evaluation is a whole simulation and a fit runs hundreds of them.
//
//   auto decay = [&](std::span<const double> p, std::span<double> v) {
//     for (std::size_t i = 0; i < v.size(); ++i) v[i] = p[0] * std::exp(-p[1] * t[i]);
//   };
//   MarquardtIteration(work, problem, fit, decay);
//
// The callable must outlive the reference; binding to a temporary is refused at compile time.

#include <concepts>
#include <span>
#include <type_traits>

namespace kivex::fitting {

class ModelFunction {
 public:
  template <typename F>
  requires(!std::same_as<std::remove_cv_t<F>, ModelFunction> &&
           std::invocable<F&, std::span<const double>, std::span<double>>)
      ModelFunction(F& model)  // NOLINT(google-explicit-constructor): a reference, used like one
      : object_(const_cast<void*>(static_cast<const void*>(&model))),
        call_([](void* object, std::span<const double> parameters, std::span<double> values) {
          (*static_cast<F*>(object))(parameters, values);
        }) {}

  void operator()(std::span<const double> parameters, std::span<double> values) const {
    call_(object_, parameters, values);
  }

 private:
  void* object_;
  void (*call_)(void*, std::span<const double>, std::span<double>);
};

}  // namespace kivex::fitting
