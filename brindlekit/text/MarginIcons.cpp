#include "brindlekit/text/MarginIcons.h"

#include "brindlekit/text/LineRendering.h"

#include <wx/bitmap.h>
#include <wx/cursor.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include <array>
#include <memory>

namespace brindle {

namespace {

wxBitmap RenderIcon(int icon)
{
    wxImage image(kMarginIconSize, kMarginIconSize);
    image.InitAlpha();
    std::fill_n(image.GetAlpha(), kMarginIconSize * kMarginIconSize, 0);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    if (!gc) return wxBitmap(image);
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    const wxColour outline(40, 40, 40);
    gc->SetPen(wxPen(outline, 1));

    if (icon == 0) { // green arrow: the current line
        gc->SetBrush(wxBrush(wxColour(0, 160, 0)));
        wxGraphicsPath path = gc->CreatePath();
        path.MoveToPoint(2, 5);
        path.AddLineToPoint(8, 5);
        path.AddLineToPoint(8, 1.5);
        path.AddLineToPoint(14.5, 8);
        path.AddLineToPoint(8, 14.5);
        path.AddLineToPoint(8, 11);
        path.AddLineToPoint(2, 11);
        path.CloseSubpath();
        gc->DrawPath(path);
    } else if (icon == 1) { // red dot
        gc->SetBrush(wxBrush(wxColour(220, 30, 30)));
        gc->DrawEllipse(2, 2, 12, 12);
    } else if (icon == 2) { // mark: a blue triangle pointing right
        gc->SetBrush(wxBrush(wxColour(40, 90, 220)));
        wxGraphicsPath path = gc->CreatePath();
        path.MoveToPoint(4, 2.5);
        path.AddLineToPoint(13, 8);
        path.AddLineToPoint(4, 13.5);
        path.CloseSubpath();
        gc->DrawPath(path);
    } else if (icon >= 3 && icon <= 12) { // numbered bookmark: a tag with its digit
        const int digit = icon == 12 ? 0 : icon - 2;
        gc->SetBrush(wxBrush(wxColour(80, 170, 230)));
        gc->DrawRoundedRectangle(1.5, 1.5, 13, 13, 2.5);
        wxFont font(wxFontInfo(8).Family(wxFONTFAMILY_SWISS).Bold());
        gc->SetFont(font, *wxWHITE);
        const wxString text = wxString::Format("%d", digit);
        double w = 0;
        double h = 0;
        gc->GetTextExtent(text, &w, &h);
        gc->DrawText(text, 8 - w / 2, 8 - h / 2);
    } else if (icon == 13) { // bookmark: a ribbon
        gc->SetBrush(wxBrush(wxColour(30, 110, 200)));
        wxGraphicsPath path = gc->CreatePath();
        path.MoveToPoint(3.5, 1.5);
        path.AddLineToPoint(12.5, 1.5);
        path.AddLineToPoint(12.5, 14.5);
        path.AddLineToPoint(8, 10.5);
        path.AddLineToPoint(3.5, 14.5);
        path.CloseSubpath();
        gc->DrawPath(path);
    } else if (icon == 14) { // olive diamond
        gc->SetBrush(wxBrush(wxColour(128, 128, 0)));
        wxGraphicsPath path = gc->CreatePath();
        path.MoveToPoint(8, 1.5);
        path.AddLineToPoint(14.5, 8);
        path.AddLineToPoint(8, 14.5);
        path.AddLineToPoint(1.5, 8);
        path.CloseSubpath();
        gc->DrawPath(path);
    }
    gc.reset();
    return wxBitmap(image);
}

} // namespace

void DrawMarginIcon(wxDC& dc, int icon, int x, int y)
{
    if (icon < 0 || icon >= kMarginIconCount) return;
    // Kept for the life of the process: bitmaps must not outlive the toolkit's exit
    // in static destructors.
    static auto* cache = new std::array<wxBitmap, kMarginIconCount>;
    wxBitmap& bitmap = (*cache)[static_cast<std::size_t>(icon)];
    if (!bitmap.IsOk()) bitmap = RenderIcon(icon);
    dc.DrawBitmap(bitmap, x, y, true);
}

const wxCursor& MarginCursor()
{
    static wxCursor* cached = new wxCursor;
    wxCursor& cursor = *cached;
    if (!cursor.IsOk()) {
        // An arrow pointing up and to the right, hot spot at its tip.
        const int size = 16;
        wxImage image(size, size);
        image.InitAlpha();
        std::fill_n(image.GetAlpha(), size * size, 0);
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
        if (gc) {
            gc->SetPen(wxPen(*wxWHITE, 1));
            gc->SetBrush(*wxBLACK_BRUSH);
            wxGraphicsPath path = gc->CreatePath();
            path.MoveToPoint(14.5, 0.5);
            path.AddLineToPoint(14.5, 11);
            path.AddLineToPoint(11, 8);
            path.AddLineToPoint(4, 15);
            path.AddLineToPoint(1, 12);
            path.AddLineToPoint(8, 5);
            path.AddLineToPoint(4.5, 0.5);
            path.CloseSubpath();
            gc->DrawPath(path);
        }
        gc.reset();
        image.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_X, 14);
        image.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_Y, 0);
        cursor = wxCursor(image);
    }
    return cursor;
}

} // namespace brindle
