#pragma once

// UI_ASSERT(condition) stops a debug build where a caller broke a rule of
// the framework that no outside input can break, such as handing a control
// to a tree while it still belongs to another. Builds with NDEBUG (release
// and the test trees) compile it away, condition and all: outside input
// (skins, images, texts) is checked and answered by results, never by this.

#ifdef NDEBUG
#define UI_ASSERT(condition) ((void)0)
#else
#define UI_ASSERT(condition) ((condition) ? (void)0 : ::ui::AssertionFailed(#condition, __FILE__, __LINE__))
#endif

namespace ui {

// Prints the condition and its place to the standard error and aborts.
[[noreturn]] void AssertionFailed(const char* condition, const char* file, int line);

} // namespace ui
