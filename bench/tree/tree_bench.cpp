// Times the node tree on a document of about 1,000,000 elements under a real
// window: showing the tree once the DOM has loaded, Refresh with a deep current
// node, opening an element of 100,000 children, the answers to a drag and drop,
// a rename and a delete, and the resident memory the tree adds; and the node
// list of an element of 10,000 attributes. Prints one
// "name value" line per figure, medians over RUNS runs where a figure repeats.
//
//   tree_bench RUNS
#include "app/document/BrindleDoc.h"
#include "app/views/LeftView.h"
#include "app/views/NodePage.h"
#include "bench/GuiPump.h"
#include "bench/Measure.h"
#include "resources/CommandIds.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>
#include <wx/docview.h>
#include <wx/evtloop.h>
#include <wx/sizer.h>
#include <wx/wx.h>

using namespace brindle;
using namespace bench;

namespace {

// The document: <db> holding <big> with 100,000 children, <wide> with 10,000
// attributes, and 899 <rec> of 10 <x> of 99 <y>: 1,000,004 elements.
std::string MakeDocument()
{
    std::string xml = "<?xml version=\"1.0\"?>\n<db>\n<big>";
    for (int i = 0; i < 100000; ++i) xml += "<i/>";
    xml += "</big>\n<wide";
    for (int i = 0; i < 10000; ++i) xml += " a" + std::to_string(i) + "=\"v" + std::to_string(i) + "\"";
    xml += "/>\n";
    for (int r = 0; r < 899; ++r) {
        xml += "<rec>";
        for (int x = 0; x < 10; ++x) {
            xml += "<x>";
            for (int y = 0; y < 99; ++y) xml += "<y/>";
            xml += "</x>";
        }
        xml += "</rec>\n";
    }
    return xml + "</db>\n";
}

// Paints the window now, after the idle work that lays out its items.
void Show(wxWindow* window)
{
    Pump();
    window->Refresh();
    window->Update();
}

wxPoint ScreenPointOf(CLeftView& tree, const wxTreeItemId& item)
{
    wxRect rect;
    tree.EnsureVisible(item);
    Show(&tree);
    tree.GetBoundingRect(item, rect, true);
    return tree.ClientToScreen(rect.GetPosition() + wxPoint(rect.width / 2, rect.height / 2));
}

XmlNodePtr Select(CBrindleDoc& doc, const std::string& xpath)
{
    return doc.GetDomDocument()->selectSingleNode(xpath);
}

int Run(int runs)
{
    wxDocManager manager; // documents need one
    CBrindleDoc doc;
    doc.OnNewDocument();
    doc.GetDomDocument()->put_validateOnParse(false);
    {
        const std::string xml = MakeDocument();
        auto start = Clock::now();
        if (!doc.GetDomDocument()->loadXML(xml)) {
            std::fprintf(stderr, "the document does not parse\n");
            return 1;
        }
        std::printf("dom_load %.0f ms\n", Ms(start, Clock::now()));
    }
    auto* frame = new wxFrame(nullptr, wxID_ANY, "tree bench", wxPoint(0, 0), wxSize(600, 800));
    frame->SetSizer(new wxBoxSizer(wxVERTICAL));
    frame->Show();
    for (int i = 0; i < 5; ++i) Pump();

    const long before = ResidentBytes();
    auto start = Clock::now();
    auto* tree = new CLeftView(frame, &doc);
    frame->GetSizer()->Add(tree, 1, wxEXPAND);
    frame->Layout();
    tree->OnInitialUpdate();
    Show(tree);
    std::printf("show_tree %.1f ms\n", Ms(start, Clock::now()));
    std::printf("tree_memory_shown %.1f MB\n", (ResidentBytes() - before) / 1e6);

    std::vector<double> refreshes, expands, drops, renames, deletes;
    for (int r = 0; r < runs; ++r) {
        // Refresh with a deep node current: the rebuild and the reselection.
        doc.SetCurrentNode(Select(doc, "/db/rec[600]/x[7]/y[50]"));
        start = Clock::now();
        tree->ExecuteCommand(ids::ID_REFRESH);
        Show(tree);
        refreshes.push_back(Ms(start, Clock::now()));

        // Opening the element of 100,000 children.
        const wxTreeItemId big = tree->ItemOf(Select(doc, "/db/*[1]"));
        tree->Collapse(big);
        start = Clock::now();
        tree->Expand(big);
        Show(tree);
        expands.push_back(Ms(start, Clock::now()));
        if (r == 0) std::printf("tree_memory_opened %.1f MB\n", (ResidentBytes() - before) / 1e6);

        // A drop of one record onto another, from the button's release.
        const std::string target = "/db/rec[" + std::to_string(20 + r) + "]";
        const wxTreeItemId from = tree->ItemOf(Select(doc, "/db/rec[10]"));
        tree->BeginNodeDrag(from, ScreenPointOf(*tree, from));
        const wxPoint drop = ScreenPointOf(*tree, tree->ItemOf(Select(doc, target)));
        NodeDragSession* drag = NodeDragSession::Running();
        if (!drag) return 1;
        drag->MoveTo(drop);
        start = Clock::now();
        drag->DropAt(drop);
        Show(tree);
        drops.push_back(Ms(start, Clock::now()));

        // A rename of the element of 100,000 children, and a delete among them.
        start = Clock::now();
        tree->FinishLabelEdit(tree->ItemOf(doc.GetDomDocument()->documentElement()->firstChild()->nextSibling()),
                              r % 2 ? "big" : "large");
        Show(tree);
        renames.push_back(Ms(start, Clock::now()));
        tree->SelectNodeItem(tree->ItemOf(Select(doc, "/db/*[1]/i[50000]")));
        start = Clock::now();
        tree->ExecuteCommand(ids::ID_EDIT_DELETE);
        Show(tree);
        deletes.push_back(Ms(start, Clock::now()));
    }
    const double treeMemory = (ResidentBytes() - before) / 1e6;

    // The node list of the element of 10,000 attributes.
    std::vector<double> lists;
    auto* page = new CNodePage(frame, &doc);
    frame->GetSizer()->Add(page, 1, wxEXPAND);
    frame->Layout();
    doc.SetCurrentNode(Select(doc, "/db/wide"));
    for (int r = 0; r < runs; ++r) {
        start = Clock::now();
        page->OnDocumentChanged();
        Show(page);
        lists.push_back(Ms(start, Clock::now()));
    }
    std::printf("list_10000_attributes_median %.1f ms\n", Median(lists));
    std::printf("refresh_median %.1f ms\n", Median(refreshes));
    std::printf("expand_100000_median %.1f ms\n", Median(expands));
    std::printf("drop_median %.1f ms\n", Median(drops));
    std::printf("rename_median %.1f ms\n", Median(renames));
    std::printf("delete_median %.1f ms\n", Median(deletes));
    std::printf("tree_memory %.1f MB\n", treeMemory);
    frame->Destroy();
    for (int i = 0; i < 3; ++i) Pump();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    return RunWithToolkit("tree_bench", [runs] { return Run(runs); });
}
