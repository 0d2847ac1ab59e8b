// Leak- and race-checker settings for sanitizer builds of every program that draws
// text. Internal to the drawing layer.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
#define SW_GFX_LEAK_CHECKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SW_GFX_LEAK_CHECKS 1
#endif
#endif

#ifdef SW_GFX_LEAK_CHECKS
// fontconfig keeps its configuration and pattern caches for the life of the
// process and refers to parts of them by encoded offsets that the leak
// checker cannot follow, so they are reported as leaks at exit. Defined once
// for every program linking sw_gfx (in text.cpp): no other library may define
// these hooks.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_options();
#endif

#if defined(__SANITIZE_THREAD__)
#define SW_GFX_THREAD_CHECKS 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define SW_GFX_THREAD_CHECKS 1
#endif
#endif

#ifdef SW_GFX_THREAD_CHECKS
// Pango matches fonts on a worker thread of its own and hands the
// fontconfig patterns over through GLib's futex-based locks, which the race
// checker cannot see inside these uninstrumented libraries; every access of
// ours goes through the drawing layer's one font lock. Defined in text.cpp.
extern "C" const char* __tsan_default_suppressions();
#endif
