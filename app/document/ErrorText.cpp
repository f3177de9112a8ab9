#include "app/document/ErrorText.h"

namespace {
bool g_nodeDragActive = false;
} // namespace

void SetNodeDragActive(bool active) { g_nodeDragActive = active; }

bool IsNodeDragActive() { return g_nodeDragActive; }
