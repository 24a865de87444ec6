#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/FrameInput.h"

// The inputs of a replay as run-length coded columns: for each field of
// TFrameInput in turn (Ms, Keys, MouseX, MouseY, MouseButtons, Pad,
// WeaponChanges, Quit), pairs of (run length, value) as LEB128 varints
// (mouse directions zigzag coded) that together cover every frame. Held keys
// and the clock's regular steps make long runs, which zlib then squeezes.
std::vector<uint8_t> EncodeInputColumns(const std::vector<TFrameInput>& inputs);

// Reads `frames` inputs back. False with `error` set when a run overshoots
// the frames, a value is out of its field's range, or bytes are left over.
bool DecodeInputColumns(const uint8_t* data, size_t size, uint32_t frames,
                        std::vector<TFrameInput>& out, std::string& error);
