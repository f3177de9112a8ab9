#pragma once

class wxImageList;

// The pictures of the node views, drawn for this program as small vector
// pictures. The caller owns the returned list (AssignImageList).

// The node tree's pictures, 16x16, in this order: document, element when
// selected, element, DOCTYPE.
wxImageList* CreateNodeTreeImages();
// The node list's pictures at size 16 or 32, in this order: text, attribute,
// comment, CDATA section, processing instruction, DOCTYPE, entity reference.
wxImageList* CreateNodeListImages(int size);
