#pragma once

#include "brindlekit/chrome/PrintJobs.h"

#include <gtest/gtest.h>

#include <array>
#include <dlfcn.h>
#include <cstdlib>
#include <cstdio>
#include <memory>
#include <string>
#include <wx/cmndata.h>
#include <wx/filename.h>
#include <wx/gtk/print.h>
#include <wx/timer.h>
#include <glib-object.h>

namespace brindle::test {

// Makes GTK's print dialog offer "Print to File" into a PDF file as the printer
// (its file backend needs no printing service, so it works on a bare virtual
// display). GTK prints to it only through the dialog: see PrintDialogAnswer.
inline void PrintJobsToPdf(const std::string& path)
{
    wxPrintData& data = SharedPrintData();
    data.SetPrinterName("Print to File");
    data.SetPaperId(wxPAPER_A4);
    auto* native = dynamic_cast<wxGtkPrintNativeData*>(data.GetNativeData());
    ASSERT_TRUE(native);
    // GTK is loaded with the toolkit; its settings call is looked up there, so
    // the tests need no GTK headers.
    using SetFn = void (*)(GtkPrintSettings*, const char*, const char*);
    using DefaultSettingsFn = void* (*)();
    using ObjectSetFn = void (*)(void*, const char*, ...);
    const auto set = reinterpret_cast<SetFn>(dlsym(RTLD_DEFAULT, "gtk_print_settings_set"));
    const auto defaultSettings = reinterpret_cast<DefaultSettingsFn>(dlsym(RTLD_DEFAULT, "gtk_settings_get_default"));
    const auto objectSet = reinterpret_cast<ObjectSetFn>(dlsym(RTLD_DEFAULT, "g_object_set"));
    ASSERT_TRUE(set && defaultSettings && objectSet);
    // Only the file backend: the printing service's backend waits for a
    // service that a test machine need not run.
    objectSet(defaultSettings(), "gtk-print-backends", "file", nullptr);
    GtkPrintSettings* settings = native->GetPrintConfig();
    set(settings, "printer", "Print to File");
    set(settings, "output-file-format", "pdf");
    set(settings, "output-uri", wxFileName::FileNameToURL(wxString::FromUTF8(path)).utf8_str());
}

// Presses Print in GTK's print dialog once its printer is chosen, while it lives.
class PrintDialogAnswer {
public:
    PrintDialogAnswer()
    {
        m_timer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Answer(); });
        m_timer.Start(50);
    }
    bool Answered() const { return m_answered; }

private:
    void Answer()
    {
        using ListFn = GList* (*)();
        using SelectedFn = void* (*)(void*);
        using ResponseFn = void (*)(void*, int);
        const auto toplevels = reinterpret_cast<ListFn>(dlsym(RTLD_DEFAULT, "gtk_window_list_toplevels"));
        const auto selected =
            reinterpret_cast<SelectedFn>(dlsym(RTLD_DEFAULT, "gtk_print_unix_dialog_get_selected_printer"));
        const auto respond = reinterpret_cast<ResponseFn>(dlsym(RTLD_DEFAULT, "gtk_dialog_response"));
        if (!toplevels || !selected || !respond) return;
        GList* windows = toplevels();
        for (GList* w = windows; w; w = w->next)
            if (std::string(G_OBJECT_TYPE_NAME(w->data)) == "GtkPrintUnixDialog" && selected(w->data)) {
                respond(w->data, -5 /* GTK_RESPONSE_OK */);
                m_answered = true;
                m_timer.Stop();
                break;
            }
        g_list_free(windows);
    }

    wxTimer m_timer;
    bool m_answered = false;
};

// Whether poppler's pdftotext is there to read the PDF files back.
inline bool HasPdfToText() { return std::system("pdftotext -v >/dev/null 2>&1") == 0; }

// The text of a PDF file as `pdftotext -layout` gives it, pages separated by a
// form feed (empty when the file cannot be read).
inline std::string PdfText(const std::string& path)
{
    std::string text;
    const std::string command = "pdftotext -layout -enc UTF-8 '" + path + "' -";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return text;
    std::array<char, 4096> buffer;
    for (size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) > 0;) text.append(buffer.data(), n);
    return text;
}

} // namespace brindle::test
