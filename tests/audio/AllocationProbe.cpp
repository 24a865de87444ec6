#include "audio/AllocationProbe.h"

#include <atomic>
#include <cerrno>
#include <cstddef>

// Under AddressSanitizer or ThreadSanitizer the runtime owns malloc, so the
// probe uses the runtime's malloc and free hooks, which every allocation path
// (C and C++, aligned or not) passes. Elsewhere the test binary defines the C
// allocation functions itself and hands them on to the C library's.

#if defined(__SANITIZE_ADDRESS__)
#define TL_PROBE_HOOKS 1
#elif defined(__SANITIZE_THREAD__)
#define TL_PROBE_HOOKS 1
#define TL_PROBE_TSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TL_PROBE_HOOKS 1
#elif __has_feature(thread_sanitizer)
#define TL_PROBE_HOOKS 1
#define TL_PROBE_TSAN 1
#endif
#endif

namespace allocprobe {

// Starts counting (the sanitizer hooks are installed on first use).
void InstallProbe();

namespace {

thread_local bool tInCallback = false;
std::atomic<long> gAllocations{0};
std::atomic<long> gFrees{0};

void NoteAllocation() {
  if (tInCallback) gAllocations.fetch_add(1, std::memory_order_relaxed);
}
void NoteFree(const volatile void* p) {
  if (p != nullptr && tInCallback) gFrees.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

TCallbackScope::TCallbackScope() {
  InstallProbe();
  tInCallback = true;
}
TCallbackScope::~TCallbackScope() {
  tInCallback = false;
}
long Allocations() {
  InstallProbe();
  return gAllocations.load();
}
long Frees() {
  InstallProbe();
  return gFrees.load();
}

}  // namespace allocprobe

#ifdef TL_PROBE_HOOKS

extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*,
                                                                            std::size_t),
                                                         void (*freeHook)(const volatile void*));

namespace {

void MallocHook(const volatile void*, std::size_t) {
  allocprobe::NoteAllocation();
}
void FreeHook(const volatile void* p) {
  allocprobe::NoteFree(p);
}

}  // namespace

void allocprobe::InstallProbe() {
  static const int installed = __sanitizer_install_malloc_and_free_hooks(MallocHook, FreeHook);
  (void)installed;
}

#ifdef TL_PROBE_TSAN
// ThreadSanitizer does not run the malloc hook for the aligned forms: count
// them here and hand them on to its own definitions.
#include <dlfcn.h>

namespace {

template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {
void* memalign(std::size_t alignment, std::size_t size) noexcept {
  static const auto next = Next<void* (*)(std::size_t, std::size_t)>("memalign");
  allocprobe::NoteAllocation();
  return next(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
  static const auto next = Next<void* (*)(std::size_t, std::size_t)>("aligned_alloc");
  allocprobe::NoteAllocation();
  return next(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) noexcept {
  static const auto next = Next<int (*)(void**, std::size_t, std::size_t)>("posix_memalign");
  allocprobe::NoteAllocation();
  return next(out, alignment, size);
}
}
#endif

#else

void allocprobe::InstallProbe() {}

// The C library's own entry points, exported for exactly this use.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void __libc_free(void* p);
void* __libc_memalign(std::size_t alignment, std::size_t size);

void* malloc(std::size_t size) noexcept {
  allocprobe::NoteAllocation();
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
  allocprobe::NoteAllocation();
  return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size) noexcept {
  allocprobe::NoteAllocation();
  return __libc_realloc(p, size);
}
void free(void* p) noexcept {
  allocprobe::NoteFree(p);
  __libc_free(p);
}
void* memalign(std::size_t alignment, std::size_t size) noexcept {
  allocprobe::NoteAllocation();
  return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
  allocprobe::NoteAllocation();
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) noexcept {
  if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) return EINVAL;
  allocprobe::NoteAllocation();
  void* p = __libc_memalign(alignment, size);
  if (p == nullptr) return ENOMEM;
  *out = p;
  return 0;
}
}

#endif
