#pragma once

// Set while a node drag started in the node tree or the node list runs; selection
// handling and preview refreshes are skipped meanwhile.
void SetNodeDragActive(bool active);
bool IsNodeDragActive();
