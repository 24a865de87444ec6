#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Canvas.h"

class TFontSet;

// The pictures of the pack, in the order of kPackSlots (assets/PackSlots.h).
class TImagePack {
 public:
  struct TEntry {
    std::unique_ptr<TCanvas> canvas;
    bool opaque = false;  // drawn without colour key: flattened, never keyed
    std::string name;
  };

  // Draws every picture.
  explicit TImagePack(const TFontSet& fonts);

  const std::vector<TEntry>& Entries() const { return entries_; }
  // The pack file: per image a 32-bit little-endian length, then the BMP.
  std::vector<uint8_t> PackBytes() const;
  // Every picture on the sea, labelled, as one PNG (for review).
  void WriteContactSheet(const std::string& path) const;

 private:
  // Entry `index` with the colour key applied, as the game shows it.
  std::unique_ptr<TCanvas> Keyed(size_t index) const;
  // A game screen, an options screen and the exit question composed from
  // the pictures.
  std::unique_ptr<TCanvas> GamePreview() const;
  std::unique_ptr<TCanvas> MenuPreview() const;
  std::unique_ptr<TCanvas> DialogPreview() const;

  const TFontSet& fonts_;
  std::vector<TEntry> entries_;
};
