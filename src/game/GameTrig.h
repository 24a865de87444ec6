#pragma once

// The game logic's trigonometry. The host's libm differs between
// distributions and versions in the last bit of its results, and one bit of
// an angle is enough to move a shot a pixel some frames later, so a replay
// recorded on one machine would not play again on another. These routines use
// only IEEE additions, multiplications and divisions in a fixed order (the
// game library is built with -ffp-contract=off), so they give the same bits
// wherever the game runs. They follow the classic fdlibm kernels: accurate to
// about one unit in the last place for the arguments the game uses (angles
// within a few thousand radians).
namespace game_trig {

double Sin(double x);
double Cos(double x);
double Atan(double x);

}  // namespace game_trig
