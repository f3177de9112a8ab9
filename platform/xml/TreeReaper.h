#pragma once

// Freeing large trees off the calling thread: a tree of millions of nodes takes
// a second or more to free, which the operation that replaced it need not wait
// for. Once the last queued tree is freed, the memory goes back to the system.

#include <libxml/tree.h>

#include <cstdint>

namespace brindle::detail {

// Queues the document to be freed on the reaper's thread; nothing may use it
// any more.
void ReapLargeTree(xmlDocPtr doc);

// Frees a tree that nothing uses any more: one parsed from inputSize bytes or
// more (millions of nodes) on the reaper's thread, a smaller one here.
void FreeTree(xmlDocPtr doc, uint64_t inputSize);

// Waits until every queued tree is freed and its memory handed back, with the
// pool's slabs that smaller trees emptied; true when there was any.
bool WaitForReapedTrees();

} // namespace brindle::detail
