#pragma once

namespace kelmo {

// Makes every large allocation (pictures, encoder packets, file buffers) a mapping of its own that
// goes back to the system when freed. glibc otherwise raises its mapping threshold at the first
// such free and then keeps large freed blocks, and up to twice that threshold at the top of each
// thread's heap, for good: over a day of recordings, each on new threads, that holds megabytes the
// program no longer uses. Call once, before the first thread starts.
void ReturnLargeBuffersToTheSystem();

}  // namespace kelmo
