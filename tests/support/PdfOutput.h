#pragma once

// Printing a printout into a PDF file and reading the PDF back as text, for GUI
// tests; poppler's pdftotext reads it (skip the test when the tool is missing).

#include "tests/support/GuiTestMain.h"

#include <wx/dcgraph.h>
#include <wx/graphics.h>
#include <wx/print.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace brindle::test {

// A context made over a native cairo context does not know its size; the DC
// over it and the printout's page mapping need it.
struct GraphicsContextSize : wxGraphicsContext {
    static void Set(wxGraphicsContext& gc, double width, double height)
    {
        gc.*(&GraphicsContextSize::m_width) = width;
        gc.*(&GraphicsContextSize::m_height) = height;
    }
};

// Prints a printout's pages into a PDF file as a printer would: the printout
// draws through a graphics context over a cairo PDF surface (A4, 72 units an
// inch as the printer's resolution, 96 for the screen). The cairo calls are
// looked up in the already loaded toolkit. False if that cannot be done.
inline bool PrintoutToPdf(wxPrintout& printout, const std::string& path)
{
    using SurfaceFn = void* (*)(const char*, double, double);
    using PtrFn = void* (*)(void*);
    using VoidFn = void (*)(void*);
    auto surfaceCreate = reinterpret_cast<SurfaceFn>(dlsym(RTLD_DEFAULT, "cairo_pdf_surface_create"));
    auto create = reinterpret_cast<PtrFn>(dlsym(RTLD_DEFAULT, "cairo_create"));
    auto showPage = reinterpret_cast<VoidFn>(dlsym(RTLD_DEFAULT, "cairo_show_page"));
    auto destroy = reinterpret_cast<VoidFn>(dlsym(RTLD_DEFAULT, "cairo_destroy"));
    auto surfaceFinish = reinterpret_cast<VoidFn>(dlsym(RTLD_DEFAULT, "cairo_surface_finish"));
    auto surfaceDestroy = reinterpret_cast<VoidFn>(dlsym(RTLD_DEFAULT, "cairo_surface_destroy"));
    if (!surfaceCreate || !create || !showPage || !destroy || !surfaceFinish || !surfaceDestroy) return false;
    const int width = 595, height = 842; // A4 in points
    void* surface = surfaceCreate(path.c_str(), width, height);
    void* cr = create(surface);
    bool ok = true;
    {
        wxGraphicsContext* gc = wxGraphicsRenderer::GetCairoRenderer()->CreateContextFromNativeContext(cr);
        GraphicsContextSize::Set(*gc, width, height);
        wxGCDC dc(gc);
        printout.SetDC(&dc);
        printout.SetPPIScreen(96, 96);
        printout.SetPPIPrinter(72, 72);
        printout.SetPageSizePixels(width, height);
        printout.SetPageSizeMM(210, 297);
        printout.SetPaperRectPixels(wxRect(0, 0, width, height));
        printout.OnPreparePrinting();
        int minPage = 0, maxPage = 0, from = 0, to = 0;
        printout.GetPageInfo(&minPage, &maxPage, &from, &to);
        printout.OnBeginPrinting();
        ok = printout.OnBeginDocument(minPage, maxPage);
        for (int page = minPage; ok && page <= maxPage && printout.HasPage(page); ++page) {
            ok = printout.OnPrintPage(page);
            showPage(cr);
        }
        printout.OnEndDocument();
        printout.OnEndPrinting();
        printout.SetDC(nullptr);
    }
    destroy(cr);
    surfaceFinish(surface);
    surfaceDestroy(surface);
    return ok;
}

inline bool HavePdfToText() { return std::system("pdftotext -v >/dev/null 2>&1") == 0; }

inline std::string RunOutput(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        std::size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
        pclose(pipe);
    }
    return out;
}

// The text of each page, laid out as printed.
inline std::vector<std::string> PdfPages(const std::string& pdf)
{
    std::vector<std::string> pages;
    std::stringstream all(RunOutput("pdftotext -layout '" + pdf + "' -"));
    std::string page;
    while (std::getline(all, page, '\f')) pages.push_back(page);
    if (!pages.empty() && pages.back().find_first_not_of(" \n") == std::string::npos) pages.pop_back();
    return pages;
}

// A word of a PDF page and its box, in points from the page's top left corner.
struct PdfWord {
    int page = 0; // from 1
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::string text;
};

inline std::vector<PdfWord> PdfWords(const std::string& pdf)
{
    std::vector<PdfWord> words;
    const std::string html = RunOutput("pdftotext -bbox '" + pdf + "' -");
    const std::regex page("<page "), word(R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    std::istringstream lines(html);
    std::string line;
    int pageNumber = 0;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (std::regex_search(line, page)) ++pageNumber;
        if (std::regex_search(line, m, word))
            words.push_back({pageNumber, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5]});
    }
    return words;
}

} // namespace brindle::test
