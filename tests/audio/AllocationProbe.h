#pragma once

// Counts C-level heap calls (malloc, calloc, realloc, free and the aligned
// forms; operator new and delete end in them) made by a thread while it is
// marked as the audio callback. Linked into the audio test binary only.
namespace allocprobe {

// Marks the current thread as the audio callback for the scope's lifetime.
class TCallbackScope {
 public:
  TCallbackScope();
  ~TCallbackScope();
  TCallbackScope(const TCallbackScope&) = delete;
  TCallbackScope& operator=(const TCallbackScope&) = delete;
};

// Allocations and frees seen on marked threads since the program started.
long Allocations();
long Frees();

}  // namespace allocprobe
