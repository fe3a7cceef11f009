// The dialog templates against the window logic: every control the handlers
// touch exists in its window's template with a kind that can take the call,
// the controls start in the states the logic assumes, and the picture pages
// the wizard shows are the pages the templates and the picture table hold.
#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "res/PicturePages.h"
#include "serial/SerialEnum.h"
#include "sim/SimBench.h"
#include "support/QuietLine.h"
#include "support/RecordingHost.h"
#include "ui/ManualDlg.h"
#include "ui/SetupDlg.h"
#include "ui/WizardTables.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <thread>
#include <utility>

namespace nw::test {
namespace {

using res::ControlKind;

constexpr double kScale = 0.03; // the simulator answers well within a scaled pause

enum class Use { Enable, SetText, GetText, Check, Combo, Picture };

// Records which control ids the logic addresses and how, then acts as the
// recording host does.
class ProbeHost : public RecordingHost {
  public:
    using RecordingHost::RecordingHost;
    void Pause(std::uint32_t ms) override {
        RecordingHost::Pause(ms);
        if (line != nullptr)
            line->Wait([] { std::this_thread::sleep_for(std::chrono::microseconds(200)); });
    }
    void EnableControl(int id, bool on) override {
        uses.insert({id, Use::Enable});
        RecordingHost::EnableControl(id, on);
    }
    void SetText(int id, const std::string& t) override {
        uses.insert({id, Use::SetText});
        RecordingHost::SetText(id, t);
    }
    std::string GetText(int id) override {
        uses.insert({id, Use::GetText});
        return RecordingHost::GetText(id);
    }
    void SetCheck(int id, bool c) override {
        uses.insert({id, Use::Check});
        RecordingHost::SetCheck(id, c);
    }
    bool GetCheck(int id) override {
        uses.insert({id, Use::Check});
        return RecordingHost::GetCheck(id);
    }
    void ComboAdd(int id, const std::string& t) override {
        uses.insert({id, Use::Combo});
        RecordingHost::ComboAdd(id, t);
    }
    void ComboSelect(int id, int i) override {
        uses.insert({id, Use::Combo});
        RecordingHost::ComboSelect(id, i);
    }
    std::string ComboSelectedText(int id) override {
        uses.insert({id, Use::Combo});
        return RecordingHost::ComboSelectedText(id);
    }
    void ShowPicture(int page, bool show) override {
        uses.insert({page, Use::Picture});
        RecordingHost::ShowPicture(page, show);
    }
    void RunManualWindow(CSetupDlg& owner) override {
        CManualDlg manual(owner, *manualProbe);
        manual.OnInitDialog();
        if (inManual)
            inManual(manual);
    }

    std::set<std::pair<int, Use>> uses;
    const QuietLine* line = nullptr;
    ProbeHost* manualProbe = nullptr;
    std::function<void(CManualDlg&)> inManual;
};

bool Accepts(ControlKind kind, Use use) {
    switch (use) {
    case Use::Enable:
        return kind != ControlKind::GroupBox;
    case Use::SetText:
        return kind == ControlKind::Static || kind == ControlKind::PushButton ||
               kind == ControlKind::Edit || kind == ControlKind::Combo;
    case Use::GetText:
        return kind == ControlKind::Edit || kind == ControlKind::Combo;
    case Use::Check:
        return kind == ControlKind::AutoRadio || kind == ControlKind::AutoCheck;
    case Use::Combo:
        return kind == ControlKind::Combo;
    case Use::Picture:
        return false;
    }
    return false;
}

void ExpectAllInTemplate(const std::set<std::pair<int, Use>>& uses, int templateId) {
    const res::DialogTemplate* tmpl = res::FindTemplate(templateId);
    ASSERT_NE(tmpl, nullptr);
    for (const auto& [id, use] : uses) {
        if (use == Use::Picture) {
            const res::DialogTemplate* page = res::FindTemplate(id);
            ASSERT_NE(page, nullptr) << "picture page " << id;
            EXPECT_NE(page->style & res::kChild, 0u) << id;
            continue;
        }
        const res::ControlTemplate* c = tmpl->Find(id);
        ASSERT_NE(c, nullptr) << "control " << id << " missing from template " << templateId;
        EXPECT_TRUE(Accepts(c->kind, use)) << "control " << id << " of template " << templateId
                                           << " cannot take call " << static_cast<int>(use);
    }
}

class TemplateTables : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(bench.Start(&error)) << error;
    }
    sim::CSimBench bench;
};

// Drives every handler of both windows through a run that reaches each of
// their branches that addresses a control.
TEST_F(TemplateTables, EveryControlTheHandlersTouchExistsWithAKindThatTakesTheCall) {
    ProbeHost main(kScale);
    ProbeHost manual(kScale);
    main.manualProbe = &manual;
    CSetupDlg setup(main);
    const QuietLine line(bench, setup.m_port);
    main.line = &line;
    manual.line = &line;
    CSerialEnum none("/nonexistent-sys", "/nonexistent-dev");
    setup.OnInitDialog(none);
    main.Type(id::main::kComboPort, bench.Path());
    setup.OnButtonPortOpen();
    ASSERT_EQ(setup.m_bPortOpen, 1);

    setup.OnRadioNodeSwitching();
    setup.OnRadio1To4();
    setup.OnButtonStart(); // nothing attached: the failure report
    for (const char* who : {"master", "master", "slave1", "slave2", "slave3", "slave4", "master"}) {
        ASSERT_TRUE(bench.Attach(who));
        setup.OnButtonStart();
    }
    EXPECT_EQ(main.Text(id::main::kButtonStart), "Start");
    setup.OnButtonCheck();
    setup.OnButtonFactoryReset();
    setup.OnButtonRestart();

    main.inManual = [&](CManualDlg& m) {
        for (int k = 0; k < 4; ++k) {
            manual.SetCheck(id::manual::kUseChecks[static_cast<std::size_t>(k)], k < 2);
            manual.Type(id::manual::kSlaveEdits[static_cast<std::size_t>(k)],
                        "0001950A0B0" + std::to_string(k + 1));
        }
        m.OnCheckUse1();
        m.OnCheckUse2();
        m.OnCheckUse3();
        m.OnCheckUse4();
        m.OnRadioMultiDrop();
        m.OnRadioNodeSwitching();
        m.OnButtonAutoFill();
        m.OnButtonMasterSet();
        manual.Type(id::manual::kEditMaster, "0001950A0B00");
        m.OnButtonSlaveSet();
        m.OnButtonFactoryReset();
        m.OnButtonCheck();
    };
    setup.OnButtonManual();
    setup.OnButtonPortClose();

    ExpectAllInTemplate(main.uses, res::kMainWindow);
    ExpectAllInTemplate(manual.uses, res::kManualWindow);
    // The run reached every control kind the hosts serve.
    EXPECT_TRUE(main.uses.count({id::main::kComboPort, Use::GetText}));
    EXPECT_TRUE(main.uses.count({id::main::kComboBaud, Use::Combo}));
    EXPECT_TRUE(manual.uses.count({id::manual::kEditSlave4, Use::GetText}));
    EXPECT_TRUE(manual.uses.count({id::manual::kUseChecks[3], Use::Check}));
    EXPECT_TRUE(main.uses.count({165, Use::Picture}));
}

// The template's "created disabled" bits are the logic's port-closed state:
// Port Close must leave the window exactly as it started, Restart aside.
TEST(TemplateTablesStart, MainWindowStartsInThePortClosedState) {
    RecordingHost host;
    CSetupDlg setup(host);
    setup.EnablePortClosedControls();
    const res::DialogTemplate& main = *res::FindTemplate(res::kMainWindow);
    for (const std::string& entry : host.Log()) {
        int id = 0;
        char state[4] = {};
        ASSERT_EQ(std::sscanf(entry.c_str(), "enable %d %3s", &id, state), 2) << entry;
        const res::ControlTemplate* c = main.Find(id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_EQ((c->style & res::kDisabled) != 0, std::string(state) == "off") << id;
    }
    // Restart starts disabled; the response check box and combos start enabled.
    EXPECT_NE(main.Find(id::main::kButtonRestart)->style & res::kDisabled, 0u);
    for (int id : {id::main::kCheckDisableResponse, id::main::kComboPort, id::main::kComboBaud,
                   id::main::kComboParity, id::main::kComboStopBits})
        EXPECT_EQ(main.Find(id)->style & res::kDisabled, 0u) << id;
}

// The Use boxes start clear, so their address edits start disabled, as the
// handlers leave them for a clear box; the master's edit is always enabled.
TEST(TemplateTablesStart, ManualWindowEditsFollowTheirUseBoxes) {
    const res::DialogTemplate& manual = *res::FindTemplate(res::kManualWindow);
    RecordingHost host;
    for (int k = 0; k < 4; ++k) {
        const auto i = static_cast<std::size_t>(k);
        EXPECT_EQ(manual.Find(id::manual::kUseChecks[i])->kind, ControlKind::AutoCheck);
        host.SetCheck(id::manual::kUseChecks[i], false);
    }
    CSetupDlg setup(host);
    CManualDlg dlg(setup, host);
    dlg.OnCheckUse1();
    dlg.OnCheckUse2();
    dlg.OnCheckUse3();
    dlg.OnCheckUse4();
    for (int id : id::manual::kSlaveEdits) {
        EXPECT_FALSE(host.Enabled(id));
        EXPECT_NE(manual.Find(id)->style & res::kDisabled, 0u) << id;
    }
    EXPECT_EQ(manual.Find(id::manual::kEditMaster)->style & res::kDisabled, 0u);
    // Everything that is not an address edit starts enabled.
    for (const res::ControlTemplate& c : manual.controls) {
        if (c.kind != ControlKind::Edit) {
            EXPECT_EQ(c.style & res::kDisabled, 0u) << c.id;
        }
    }
}

// Each page the wizard can show is a page template of one form, and its
// bitmap is the one the picture table draws for the same tree and arrow.
TEST(TemplateTablesPages, WizardPagesTemplatesAndPictureTableAgree) {
    std::set<int> wizardPages;
    for (int n = 0; n < 3; ++n) {
        wizardPages.insert(wizard::OverviewPage(static_cast<NetworkSize>(n)));
        wizardPages.insert(wizard::ConnectMasterPage(static_cast<NetworkSize>(n)));
        wizardPages.insert(wizard::ConnectSlave1Page(static_cast<NetworkSize>(n)));
        for (int step = 3; step <= 6; ++step) {
            if (const int page = wizard::AfterSlave(step, static_cast<NetworkSize>(n)).page; page != 0)
                wizardPages.insert(page);
        }
    }
    const std::set<int> created(id::kPicturePages.begin(), id::kPicturePages.end());
    EXPECT_EQ(wizardPages, created);

    std::set<int> bitmaps;
    for (int page : id::kPicturePages) {
        const res::DialogTemplate* t = res::FindTemplate(page);
        ASSERT_NE(t, nullptr) << page;
        EXPECT_EQ(t->cx, 194);
        EXPECT_EQ(t->cy, 85);
        EXPECT_EQ(t->style & res::kVisible, 0u) << page;
        ASSERT_EQ(t->controls.size(), 1u);
        const res::ControlTemplate& bitmap = t->controls[0];
        EXPECT_EQ(bitmap.kind, ControlKind::Bitmap);
        const res::PicturePage* art = res::FindPicturePage(page);
        ASSERT_NE(art, nullptr) << page;
        EXPECT_EQ(bitmap.resource, art->bitmapId) << page;
        bitmaps.insert(art->bitmapId);
        // The page's tree and arrow are the role the wizard gives the page.
        const int n = art->slaves - 2;
        if (page == wizard::OverviewPage(static_cast<NetworkSize>(n))) {
            EXPECT_EQ(art->arrow, res::ArrowTarget::None) << page;
        }
        if (page == wizard::ConnectMasterPage(static_cast<NetworkSize>(n))) {
            EXPECT_EQ(art->arrow, res::ArrowTarget::Master) << page;
        }
        if (page == wizard::ConnectSlave1Page(static_cast<NetworkSize>(n))) {
            EXPECT_EQ(art->arrow, res::ArrowTarget::Slave1) << page;
        }
        EXPECT_EQ(art->bitsPerPixel, art->bitmapId == 136 ? 8 : 24) << page;
    }
    EXPECT_EQ(bitmaps.size(), 15u);
    // After slave k of a 1:N run the arrow points at slave k + 1, or at the
    // master once every slave is done.
    for (int n = 0; n < 3; ++n) {
        for (int step = 3; step <= n + 4; ++step) {
            const res::PicturePage* art = res::FindPicturePage(wizard::AfterSlave(step, static_cast<NetworkSize>(n)).page);
            ASSERT_NE(art, nullptr);
            EXPECT_EQ(art->slaves, n + 2);
            const int next = step - 1; // slave number to attach next
            const auto expected = next > n + 2
                                      ? res::ArrowTarget::Master
                                      : static_cast<res::ArrowTarget>(
                                            static_cast<int>(res::ArrowTarget::Master) + next);
            EXPECT_EQ(art->arrow, expected) << "step " << step << " 1:" << n + 2;
        }
    }
}

} // namespace
} // namespace nw::test
