#pragma once

#include <wx/bitmap.h>
#include <wx/popupwin.h>

#include <vector>

class wxImageList;

// A drag image that shows above every window: a borderless popup holding a
// picture, kept with its hot spot under the pointer. (The toolkit's own drag
// image draws on the screen itself, which GTK 3 does not show; shaped popups
// show stale pixels where they are see-through without a compositor, so the
// picture is opaque.)
class DragImageWindow : public wxPopupWindow {
public:
    DragImageWindow(wxWindow* parent, const wxBitmap& picture, const wxPoint& hotSpot);

    // Puts the hot spot at the screen point.
    void MoveTo(const wxPoint& screenPoint);

    // The window under a screen point, this image left out (it lies under the
    // pointer itself); null when the point is over none of the program's windows.
    static wxWindow* WindowAtPoint(const wxPoint& screenPoint, const wxWindow* ignore);

    // A picture of rows (an image list's picture, none for -1, and a label) at
    // their places in the window, framed, on the window's colours and font.
    struct Row {
        wxRect rect;
        int image;
        wxString label;
    };
    static wxBitmap RowsPicture(const wxWindow& window, wxImageList* images, const std::vector<Row>& rows);

private:
    wxBitmap m_picture;
    wxPoint m_hotSpot;
};
