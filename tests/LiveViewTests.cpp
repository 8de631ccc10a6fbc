// The process view applying samples to a hidden tree and list: rows added,
// changed in place, marked ended and removed a tick later; the selection kept
// while a sort by CPU moves the rows; items of a fill that the first sample
// does not have count as ended. The main window's update speed commands and
// when its ticks run.
#include <doctest/doctest.h>

#include "tests/FrameHarness.h"
#include "tests/HelperProcess.h"
#include "tests/TestPaths.h"
#include "app/mainframe/BusyCount.h"
#include "app/res/resource.h"
#include "app/settings/LiveSettings.h"
#include "app/settings/UserSettingsFile.h"
#include "sysinfo/FileFactsCache.h"
#include "sysinfo/ProcessSampler.h"
#include "views/ProcessView.h"
#include "views/ValueFormatter.h"
#include "views/ViewImages.h"

#include <commctrl.h>

#include <deque>
#include <string>
#include <vector>

namespace {

const uint64_t kSecond = 10000000;

ProcessRecord Process(uint32_t pid, uint32_t parent, uint64_t cpu)
{
    ProcessRecord record;
    record.strName = "p" + std::to_string(pid) + ".exe";
    record.strPath = "C:\\nowhere\\" + record.strName;
    record.dwProcessId = pid;
    record.dwParentProcessId = parent;
    record.ftCreationTime.dwLowDateTime = pid * 10;
    record.dwSequence = pid;  // the list's order: a parent before its children
    record.counters.bHasTimes = true;
    record.counters.qwUserTime = cpu;
    record.counters.bHasMemory = true;
    record.counters.dwPrivateBytes = 4096 * pid;
    return record;
}

class Samples : public ProcessSampleSource {
public:
    std::deque<std::vector<ProcessRecord>> queue;
    uint64_t wall = 100 * kSecond;
    bool Take(std::list<ProcessRecord>& processes, uint64_t& wallTime, uint32_t& processors) override
    {
        if (queue.empty()) return false;
        processes.assign(queue.front().begin(), queue.front().end());
        queue.pop_front();
        wallTime = wall += kSecond;
        processors = 1;
        return true;
    }
    bool IsNtFamily() const override { return true; }
};

class HiddenViews {
public:
    HiddenViews()
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
        tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD, 0, 0, 200, 400, parent, nullptr, nullptr, nullptr);
        list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT | LVS_SHOWSELALWAYS, 200, 0, 400, 400,
                               parent, nullptr, nullptr, nullptr);
        TVINSERTSTRUCTA insert = {};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<char*>("Processes");
        processes = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    ~HiddenViews() { DestroyWindow(parent); }
    const ProcessItem* Row(int row) const
    {
        LVITEMA item = {};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        const ProcessItem* found = ProcessView::FromParam(item.lParam);
        REQUIRE_MESSAGE(found, "no item in row " << row);
        return found;
    }
    // Pids in row order, "*" after a selected one.
    std::string Rows() const
    {
        std::string out;
        const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            if (!out.empty()) out += ' ';
            out += std::to_string(Row(i)->dwPid);
            if (SendMessageA(list, LVM_GETITEMSTATE, i, LVIS_SELECTED)) out += '*';
        }
        return out;
    }
    // Tree nodes below `node` as "pid(children)".
    std::string Nodes(HTREEITEM node) const
    {
        std::string out;
        for (HTREEITEM child = TreeView_GetChild(tree, node); child; child = TreeView_GetNextSibling(tree, child)) {
            TVITEMA item = {};
            item.mask = TVIF_PARAM;
            item.hItem = child;
            SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            if (!out.empty()) out += ' ';
            out += std::to_string(ProcessView::FromParam(item.lParam)->dwPid);
            const std::string below = Nodes(child);
            if (!below.empty()) out += "(" + below + ")";
        }
        return out;
    }
    HWND parent, tree, list;
    HTREEITEM processes;
};

std::string Marks(const ProcessView& view)
{
    std::string out;
    for (const auto& item : view.Items())
        if (item->nHighlight != ProcessItem::kPlain)
            out += (out.empty() ? "" : " ") + std::to_string(item->dwPid) + (item->nHighlight == ProcessItem::kNew ? "+" : "-");
    return out;
}

} // namespace

TEST_SUITE("live view")
{
    TEST_CASE("samples applied in place: added below their parent, ended marked then gone, selection kept by CPU")
    {
        UserSettings settings;
        UserSettingsFile::SetDefaults(settings);
        LiveSettings live = LiveSettings::Defaults();
        live.nSortColumn = 12;  // CPU, highest first
        live.bSortAscending = 0;
        ValueFormatter formatter(settings, true);
        FileFactsCache cache;
        ViewImages images;
        REQUIRE(images.Create(GetModuleHandleA(nullptr)));
        ProcessView view(settings, live, formatter, cache, images);
        HiddenViews windows;

        // The fill has 4, 8 below it and 12; 12 has ended before the first sample.
        view.Build({Process(4, 0, 0), Process(8, 4, 0), Process(12, 0, 0)}, nullptr, 0);
        view.FillTree(windows.tree, windows.processes, true);
        view.SetupColumns(windows.list);
        view.FillList(windows.list);
        CHECK(windows.Nodes(windows.processes) == "4(8) 12");
        // 4 runs through every sample: its row stays selected wherever it moves.
        int first = -1;
        for (int i = 0; i < 3; ++i)
            if (windows.Row(i)->dwPid == 4) first = i;
        REQUIRE(first >= 0);
        ListView_SetItemState(windows.list, first, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        const uint32_t selected = 4;

        auto* samples = new Samples;
        samples->queue.push_back({Process(4, 0, 0), Process(8, 4, 0)});
        // 16 starts below 8; 8 uses half a second.
        samples->queue.push_back({Process(4, 0, 0), Process(8, 4, kSecond / 2), Process(16, 8, 0)});
        // 4 uses 80 %, 16 10 %; 8 ends. Then 16 20 %, 4 nothing.
        samples->queue.push_back({Process(4, 0, kSecond * 8 / 10), Process(16, 8, kSecond / 10)});
        samples->queue.push_back({Process(4, 0, kSecond * 8 / 10), Process(16, 8, kSecond * 3 / 10)});
        ProcessSampler sampler{std::unique_ptr<ProcessSampleSource>(samples)};

        REQUIRE(sampler.Sample());
        ProcessView::Update update = view.ApplySample(sampler, windows.tree, windows.processes, true, windows.list);
        CHECK(update.nAdded == 0);
        CHECK(update.nEnded == 1);
        CHECK(Marks(view) == "12-");
        CHECK(view.Count() == 3);

        REQUIRE(sampler.Sample());
        update = view.ApplySample(sampler, windows.tree, windows.processes, true, windows.list);
        CHECK(update.nAdded == 1);
        CHECK(update.nRemoved == 1);
        CHECK(Marks(view) == "16+");
        CHECK(windows.Nodes(windows.processes) == "4(8(16))");
        // By CPU: 8 (50 %) first; the selected row is still the one selected.
        CHECK(windows.Row(0)->dwPid == 8);
        CHECK(windows.Row(0)->strCpu == "50.0");
        CHECK(SendMessageA(windows.list, LVM_GETSELECTEDCOUNT, 0, 0) == 1);
        const int at = static_cast<int>(SendMessageA(windows.list, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
        CHECK(windows.Row(at)->dwPid == selected);

        REQUIRE(sampler.Sample());
        update = view.ApplySample(sampler, windows.tree, windows.processes, true, windows.list);
        CHECK(Marks(view) == "8-");
        CHECK(windows.Row(0)->dwPid == 4);
        CHECK(windows.Row(0)->strCpu == "80.0");

        REQUIRE(sampler.Sample());
        update = view.ApplySample(sampler, windows.tree, windows.processes, true, windows.list);
        CHECK(Marks(view).empty());
        CHECK(update.nRemoved == 1);
        // 16 lost its parent: it moved to the top level.
        CHECK(windows.Nodes(windows.processes) == "4 16");
        CHECK(SendMessageA(windows.list, LVM_GETITEMCOUNT, 0, 0) == 2);
        CHECK(windows.Row(0)->dwPid == 16);
        CHECK(windows.Row(0)->strCpu == "20.0");
        CHECK(windows.Row(1)->strCpu == "0.0");

        // Without highlighting an ended process goes at once, a new one has no mark.
        live.bHighlightChanges = 0;
        auto* more = new Samples;
        more->queue.push_back({Process(4, 0, 0), Process(16, 8, 0)});
        more->queue.push_back({Process(4, 0, 0), Process(20, 4, 0)});
        more->queue.push_back({Process(4, 0, 0), Process(20, 4, 0)});
        ProcessSampler again{std::unique_ptr<ProcessSampleSource>(more)};
        REQUIRE(again.Sample());
        view.ApplySample(again, windows.tree, windows.processes, true, windows.list);
        REQUIRE(again.Sample());
        update = view.ApplySample(again, windows.tree, windows.processes, true, windows.list);
        CHECK(update.nAdded == 1);
        CHECK(update.nRemoved == 1);
        CHECK(Marks(view).empty());
        CHECK(windows.Nodes(windows.processes) == "4(20)");

        // Items built anew (a refresh) keep the figures of the items they replace
        // and take the next sample's: 20 gets its first load, 4 keeps its 0.0.
        view.Build({Process(4, 0, 0), Process(20, 4, 0)}, nullptr, 0);
        view.FillTree(windows.tree, windows.processes, true);
        view.FillList(windows.list);
        REQUIRE(again.Sample());
        CHECK(again.Changed().size() == 1);  // 20 has its first load; 4 stayed at 0.0
        update = view.ApplySample(again, windows.tree, windows.processes, true, windows.list, true);
        CHECK(update.nChanged == 1);
        CHECK(windows.Row(0)->strCpu == "0.0");
        CHECK(windows.Row(1)->strCpu == "0.0");
    }

    TEST_CASE("the main window: update speed commands, ticks held while busy or minimised, the speed saved")
    {
        using namespace frametest;
        const std::string folder = TestPaths::MakeScratchFolder("frame-live");
        const std::string path = folder + "\\Tarnwick.ui";
        Frame window(path);
        CHECK(window.frame->Live().nUpdateSeconds == 0);
        // Other tests start programs in the same prefix meanwhile, so the
        // counts are checked against the status bar, not against a number.
        auto countShown = [&] { return StatusText(window.hwnd) == "Processes : " + std::to_string(window.ListCount()); };

        // Paused: a tick (as a stray timer message) does nothing.
        window.frame->RunLiveTick();
        CHECK(window.frame->LiveTickCount() == 0);
        window.Command(ID_UPDATE_2S);
        CHECK(window.frame->Live().nUpdateSeconds == 2);
        window.Command(ID_UPDATE_1S);
        CHECK(window.frame->Live().nUpdateSeconds == 1);

        // A helper started now comes with a tick, without a refresh.
        const unsigned refreshes = window.frame->RefreshCount();
        HelperProcess helper;
        REQUIRE(helper.Start(""));
        window.frame->RunLiveTick();
        CHECK(window.ProcessRow(helper.Pid()) >= 0);
        CHECK(countShown());
        CHECK(window.frame->RefreshCount() == refreshes);

        // Held while busy, and while minimised.
        helper.End();
        const unsigned ticks = window.frame->LiveTickCount();
        {
            BusyScope busy(window.frame->Busy());
            window.frame->RunLiveTick();
            CHECK(window.frame->LiveTickCount() == ticks);
        }
        ShowWindow(window.hwnd, SW_MINIMIZE);
        window.frame->RunLiveTick();
        CHECK(window.frame->LiveTickCount() == ticks);
        ShowWindow(window.hwnd, SW_RESTORE);
        // Ended: marked for one tick, then gone.
        window.frame->RunLiveTick();
        CHECK(window.ProcessRow(helper.Pid()) >= 0);
        window.frame->RunLiveTick();
        CHECK(window.ProcessRow(helper.Pid()) < 0);
        CHECK(countShown());
        // The timer itself ticks about once a second.
        const unsigned before = window.frame->LiveTickCount();
        Pump(2600);
        CHECK(window.frame->LiveTickCount() >= before + 2);

        window.Command(ID_UPDATE_PAUSED);
        SendMessageA(window.hwnd, WM_CLOSE, 0, 0);
        CHECK(ReadFile(path).size() == 778);
        const std::vector<char> live = ReadFile(folder + "\\Tarnwick.live");
        CHECK(std::string(live.begin(), live.end()).find("update\t0\n") != std::string::npos);
        TestPaths::RemoveTree(folder);
    }
}
