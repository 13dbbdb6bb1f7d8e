// The sanitizer settings of every fuzz target; the ASAN_OPTIONS of a run still come first.
//
// AddressSanitizer records the stack of every allocation and release in a store that never
// shrinks. It follows frame pointers, and Qt is built without them: past the first Qt frame it
// reads stale stack contents, a new "stack" for almost every run (the profile-file target stored
// 1.4 million of them, 87 MB, in its first minute). Two frames, the allocating call and its
// caller, are exact and few. A fault's own stack is still reported whole; for whole allocation
// stacks, run the failing input again with
// ASAN_OPTIONS=malloc_context_size=30:fast_unwind_on_malloc=0.
//
// It also keeps freed memory aside to catch a use after free, 256 MB by default; a run frees a
// few kilobytes, so 32 MB catch the same faults. Together they keep a target far below the 512 MB
// the fuzz runs allow.
extern "C" const char *__asan_default_options()
{
    return "malloc_context_size=2:quarantine_size_mb=32";
}
