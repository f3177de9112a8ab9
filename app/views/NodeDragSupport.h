#pragma once

class wxWindow;

// Brings the document frame that holds the window to the front: the frame's tab
// among the documents, or the top-level window.
void BringFrameToTop(wxWindow* window);
