#pragma once

#include <stdexcept>
#include <string>

#include "graphics/BmpLayout.h"
#include "graphics/ImageSlots.h"
#include "graphics/Surface.h"
#include "platform/GamePaths.h"

// No record of the pack may be longer than this; a larger length field means
// a damaged file, and nothing that large is ever allocated.
inline constexpr uint32_t kMaxPackRecordBytes = 16u * 1024u * 1024u;
// The pictures of one pack together may not have more pixels than this (the
// game's own pack has about 1.8 million).
inline constexpr int64_t kMaxPackPixels = 64LL * 1024 * 1024;

// Any failure to read an image from the pack: a missing or unreadable file, a
// record that ends early, a length field beyond the file or the cap above, or
// a bitmap the BMP reader rejects. The message names the file and the record.
class TPackError : public std::runtime_error {
 public:
  TPackError(const std::string& file, int record, const std::string& reason);
  const std::string& File() const { return file_; }
  int Record() const { return record_; }

 private:
  std::string file_;
  int record_;
};

// The checks a record's bytes pass before anything is allocated for its
// picture: the BMP headers must describe pixel data that is really in the
// record (ValidateBmpLayout), and the picture must fit in what is left of the
// pack's budget. `packPixels` holds the pixels of the pack's records checked
// before this one and grows by this picture's. Returns the picture's layout;
// throws TPackError.
TBmpLayout ValidatePackRecord(const std::string& packPath, int index, const uint8_t* data,
                              size_t size, int64_t& packPixels);

// Reads record `index` (0..255) of the pack at `packPath` into a new surface of
// the bitmap's size with the magenta colour key set. Walks the records from the
// start of the file, reading only lengths until the wanted one. Throws TPackError.
// LoadAllImages reads the records in one pass through the file instead.
TSurfacePtr LoadPackImage(const std::string& packPath, int index);

// Fills SpriteImages and MenuImages in pack order (kPackSlots), each slot
// released before it is loaded; the pictures share one kMaxPackPixels budget. On a failure
// the slot being loaded stays empty, later slots keep what they held, and the TPackError
// propagates.
void LoadAllImages(TImageSlots& slots, const std::string& packPath = kPackRelativePath);

// The pictures of the player's language over the English ones: the language
// pack at `languagePackPath` has the English pack's records, a picture with
// captions where the language has its own and an empty record elsewhere.
// Each picture it carries replaces the slot's; the rest stay English. A
// missing pack changes nothing; a damaged one keeps English from the record
// it fails at. Never throws: returns what was wrong (for stderr), or "".
std::string LoadLanguageImages(TImageSlots& slots, const std::string& languagePackPath);

// Empties every slot (menu images first, then sprites).
void ReleaseAllImages(TImageSlots& slots);
