#include "game/GameTrig.h"

#include <cmath>

namespace game_trig {
namespace {

// sin(x) and cos(x) for |x| <= pi/4 (fdlibm's __kernel_sin and __kernel_cos
// with no tail), polynomials in x^2 evaluated by Horner's rule.
double KernelSin(double x) {
  constexpr double kS1 = -1.66666666666666324348e-01;
  constexpr double kS2 = 8.33333333332248946124e-03;
  constexpr double kS3 = -1.98412698298579493134e-04;
  constexpr double kS4 = 2.75573137070700676789e-06;
  constexpr double kS5 = -2.50507602534068634195e-08;
  constexpr double kS6 = 1.58969099521155010221e-10;
  const double z = x * x;
  const double v = z * x;
  const double r = kS2 + z * (kS3 + z * (kS4 + z * (kS5 + z * kS6)));
  return x + v * (kS1 + z * r);
}

double KernelCos(double x) {
  constexpr double kC1 = 4.16666666666666019037e-02;
  constexpr double kC2 = -1.38888888888741095749e-03;
  constexpr double kC3 = 2.48015872894767294178e-05;
  constexpr double kC4 = -2.75573143513906633035e-07;
  constexpr double kC5 = 2.08757232129817482790e-09;
  constexpr double kC6 = -1.13596475577881948265e-11;
  const double z = x * x;
  const double r = z * (kC1 + z * (kC2 + z * (kC3 + z * (kC4 + z * (kC5 + z * kC6)))));
  const double hz = 0.5 * z;
  const double w = 1.0 - hz;
  return w + (((1.0 - w) - hz) + z * r);
}

// x = n * pi/2 + r with |r| <= about pi/4; pi/2 in two parts (Cody and
// Waite) so n * pi/2 loses nothing for the game's arguments. Returns n mod 4.
int Reduce(double x, double& r) {
  constexpr double kInvPio2 = 6.36619772367581382433e-01;
  constexpr double kPio2Hi = 1.57079632673412561417e+00;
  constexpr double kPio2Lo = 6.07710050650619224932e-11;
  const double n = std::floor(x * kInvPio2 + 0.5);
  r = (x - n * kPio2Hi) - n * kPio2Lo;
  const double quarter = n - 4.0 * std::floor(n * 0.25);
  return static_cast<int>(quarter);
}

}  // namespace

double Sin(double x) {
  if (!std::isfinite(x)) return x - x;
  double r = 0;
  switch (Reduce(x, r)) {
    case 0:
      return KernelSin(r);
    case 1:
      return KernelCos(r);
    case 2:
      return -KernelSin(r);
    default:
      return -KernelCos(r);
  }
}

double Cos(double x) {
  if (!std::isfinite(x)) return x - x;
  double r = 0;
  switch (Reduce(x, r)) {
    case 0:
      return KernelCos(r);
    case 1:
      return -KernelSin(r);
    case 2:
      return -KernelCos(r);
    default:
      return KernelSin(r);
  }
}

double Atan(double x) {
  // fdlibm's s_atan.c: atan(x) = atan(c) + atan((x - c) / (1 + x c)) for a
  // breakpoint c of four, then an odd polynomial on the remainder.
  constexpr double kAtanHi[] = {4.63647609000806093515e-01, 7.85398163397448278999e-01,
                                9.82793723247329054082e-01, 1.57079632679489655800e+00};
  constexpr double kAtanLo[] = {2.26987774529616870924e-17, 3.06161699786838301793e-17,
                                1.39033110312309984516e-17, 6.12323399573676603587e-17};
  constexpr double kT[] = {
      3.33333333333329318027e-01,  -1.99999999998764832476e-01, 1.42857142725034663711e-01,
      -1.11111104054623557880e-01, 9.09088713343650656196e-02,  -7.69187620504482999495e-02,
      6.66107313738753120669e-02,  -5.83357013379057348645e-02, 4.97687799461593236017e-02,
      -3.65315727442169155270e-02, 1.62858201153657823623e-02};
  if (std::isnan(x)) return x;
  const bool negative = std::signbit(x);
  double a = std::fabs(x);
  if (a >= 7.3786976294838206464e19) {  // 2^66: atan is pi/2 to double precision
    const double z = kAtanHi[3] + kAtanLo[3];
    return negative ? -z : z;
  }
  int id = -1;
  if (a < 0.4375) {
    if (a < 7.450580596923828125e-9) return x;  // 2^-27: atan(x) rounds to x
  } else if (a < 1.1875) {
    if (a < 0.6875) {
      id = 0;
      a = (2.0 * a - 1.0) / (2.0 + a);
    } else {
      id = 1;
      a = (a - 1.0) / (a + 1.0);
    }
  } else if (a < 2.4375) {
    id = 2;
    a = (a - 1.5) / (1.0 + 1.5 * a);
  } else {
    id = 3;
    a = -1.0 / a;
  }
  const double z = a * a;
  const double w = z * z;
  const double s1 =
      z * (kT[0] + w * (kT[2] + w * (kT[4] + w * (kT[6] + w * (kT[8] + w * kT[10])))));
  const double s2 = w * (kT[1] + w * (kT[3] + w * (kT[5] + w * (kT[7] + w * kT[9]))));
  if (id < 0) {
    const double r = a - a * (s1 + s2);
    return negative ? -r : r;
  }
  const auto i = static_cast<size_t>(id);
  const double r = kAtanHi[i] - ((a * (s1 + s2) - kAtanLo[i]) - a);
  return negative ? -r : r;
}

}  // namespace game_trig
