// The launch window's logic against a recording host: no real window, a recording worker
// starter and a recording launcher.
#include "app/KestropDlg.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "ProductInfo.h"
#include "env/Log.h"
#include "env/WorkingFolder.h"
#include "platform/Codepage.h"
#include "platform/Folders.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/TempDir.h"

using testing_support::CurrentDirScope;
using testing_support::ReadFileBytes;
using testing_support::RecordingHost;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

const std::string kSupport = platform::WideToUtf8(KESTROP_SUPPORT_NUMBER);
const std::string kTitleStart =
    platform::WideToUtf8(KESTROP_PRODUCT_NAME) + platform::WideToUtf8(KESTROP_PRODUCT_VERSION);

struct LaunchCall {
    bool jvmPathGiven;
    std::string jarFile;
    std::string libList;
};

class LaunchWindow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!platform::kTargetIsWindows) {
            testing_support::SetEnvVar("XDG_DOCUMENTS_DIR", m_documents.Path().string().c_str());
        }
        ASSERT_TRUE(platform::GetDocumentsFolder(m_documentsWide));
        m_quorvia =
            std::filesystem::path((m_documentsWide + platform::kDirSeparator + u"quorvia").Str());
        std::error_code ignored;
        std::filesystem::remove_all(m_quorvia, ignored);
        theLog.Reset();
        g_nTimerTicks = 0;
        g_bLiteMode = false;
    }
    void TearDown() override {
        // The recording worker "finishes", so the record may go with the window.
        if (g_pLaunchState && g_pLaunchState->GetProgress() != 100)
            g_pLaunchState->SetProgress(100);
        theLog.Reset();
        std::filesystem::current_path(m_start.Path());
        std::error_code ignored;
        std::filesystem::remove_all(m_quorvia, ignored);
        g_bLiteMode = false;
    }

    // Runs the window's initialisation on the recording host.
    void Open() {
        m_host.clientRects[0] = CRect(0, 0, 544, 245);
        m_host.clientRects[1004] = CRect(0, 0, 29, 29);
        m_host.clientRects[1005] = CRect(0, 0, 349, 21);
        m_host.clientRects[1006] = CRect(0, 0, 62, 24);
        m_host.clientRects[1007] = CRect(0, 0, 65, 16);
        m_host.clientRects[1008] = CRect(0, 0, 119, 24);
        m_dlg.AttachHost(&m_host);
        ASSERT_TRUE(m_dlg.OnInitDialog());
    }
    void Tick(int count = 1) {
        platform::Message m;
        m.msg = platform::Msg::Timer;
        m.timerId = 1;
        for (int i = 0; i < count; ++i)
            m_dlg.HandleMessage(m);
    }
    std::optional<intptr_t> Send(platform::Msg msg, int id = 0, int code = 0) {
        platform::Message m;
        m.msg = msg;
        m.id = id;
        m.code = code;
        return m_dlg.HandleMessage(m);
    }
    // The percentage shown by a title.
    static int PercentOf(const std::string& title) {
        const size_t start = kTitleStart.size() + 2;
        return std::stoi(title.substr(start, title.find('%') - start));
    }
    static int DotsOf(const std::string& title) {
        int n = 0;
        for (size_t i = title.size(); i > 0 && title[i - 1] == '.'; --i)
            ++n;
        return n;
    }
    CLaunchState& State() { return *g_pLaunchState; }

    TempDir m_documents;
    TempDir m_start;
    CurrentDirScope m_cwd{m_start.Path()};
    CString m_documentsWide;
    std::filesystem::path m_quorvia;
    CWinApp m_app;
    RecordingHost m_host;
    int m_workersStarted = 0;
    std::filesystem::path m_cwdAtWorkerStart;
    bool m_liteAtWorkerStart = false;
    int m_launchResult = 0;
    std::vector<LaunchCall> m_launches;
    CKestropDlg m_dlg{[this] {
                          ++m_workersStarted;
                          m_cwdAtWorkerStart = std::filesystem::current_path();
                          m_liteAtWorkerStart = g_bLiteMode;
                          m_host.Note("worker");
                          return true;
                      },
                      [this](const char16_t* jvm, const CString& jar, const CString& libs) {
                          m_host.Note("launch");
                          m_launches.push_back({jvm != nullptr, platform::WideToUtf8(jar.View()),
                                                platform::WideToUtf8(libs.View())});
                          return m_launchResult;
                      }};
};

TEST_F(LaunchWindow, InitialisationSetsUpFolderThenPreferencesThenWorker) {
    std::filesystem::create_directories(m_quorvia);
    WriteFileBytes(m_quorvia / "record.d", "true");
    Open();
    EXPECT_EQ(m_workersStarted, 1);
    EXPECT_TRUE(std::filesystem::equivalent(m_cwdAtWorkerStart, m_quorvia));
    EXPECT_TRUE(m_liteAtWorkerStart) << "record.d is read before the worker starts";
    EXPECT_EQ(m_host.checks[1007], 1);
    EXPECT_EQ(m_host.timers[1], 50u);
    EXPECT_LT(m_host.IndexOf("SetIcon big"), m_host.IndexOf("SetIcon small"));
    EXPECT_LT(m_host.IndexOf("SetTimer 1 50"), m_host.IndexOf("worker"));
    EXPECT_LT(m_host.IndexOf("worker"), m_host.IndexOf("SetCheck 1007 1"));
    EXPECT_EQ(m_host.Count("SetFont 1006 redraw"), 1u);
    platform::FontInfo font;
    ASSERT_TRUE(platform::GetFontInfo(m_host.fonts[1006], font));
    EXPECT_EQ(font.face, CString(u"宋体"));
    EXPECT_EQ(font.height, -17);  // 13 points on a 96-dpi screen
    EXPECT_TRUE(m_host.titles.empty()) << "the template's title stays until the first tick";
}

TEST_F(LaunchWindow, WorkingFolderFailureStartsNoWorkerAndReadsNoPreferences) {
    if (platform::kTargetIsWindows)
        GTEST_SKIP() << "the Documents folder always exists under Wine";
    testing_support::SetEnvVar("XDG_DOCUMENTS_DIR", nullptr);
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    testing_support::SetEnvVar("HOME", nullptr);
    WriteFileBytes(m_start / "record.d", "true");  // the current folder: must stay unread
    Open();
    if (!home.empty())
        testing_support::SetEnvVar("HOME", home.c_str());
    EXPECT_EQ(m_workersStarted, 0);
    EXPECT_FALSE(g_bLiteMode);
    EXPECT_EQ(m_host.checks[1007], 0);
    EXPECT_EQ(State().GetProgress(), 100);
    Tick();
    ASSERT_EQ(m_host.boxes.size(), 1u);
    EXPECT_EQ(m_host.boxes[0].text, "创建工作目录失败！");
    EXPECT_EQ(m_host.boxes[0].caption, "客服QQ：" + kSupport);
    EXPECT_TRUE(m_host.ended);
    EXPECT_TRUE(m_launches.empty());
}

TEST_F(LaunchWindow, ShownValueClimbsByTwoToTheWorkersProgressAndStays) {
    Open();
    State().SetProgress(50);
    Tick(40);
    ASSERT_EQ(m_host.titles.size(), 40u);
    for (size_t i = 0; i < m_host.titles.size(); ++i) {
        EXPECT_EQ(PercentOf(m_host.titles[i]), std::min<int>(2 * static_cast<int>(i + 1), 50)) << i;
    }
    EXPECT_EQ(m_host.Count("Invalidate 0 erase"), 40u);
    EXPECT_EQ(m_host.Count("KillTimer 1"), 0u);
    EXPECT_FALSE(m_host.ended);
    EXPECT_TRUE(m_launches.empty());
}

TEST_F(LaunchWindow, HandsOffOnTheFifthTickAfterTheWorkerFinishes) {
    Open();
    State().SetProgress(90);
    Tick(45);
    ASSERT_EQ(PercentOf(m_host.titles.back()), 90);
    State().m_strJarFile = CString(u"quorvia.jar");
    State().m_strLibList = CString(u"lib/a.jar;lib/b.jar");
    State().SetProgress(100);
    Tick(4);
    EXPECT_EQ(PercentOf(m_host.titles.back()), 98);
    EXPECT_FALSE(m_host.ended);
    EXPECT_TRUE(m_launches.empty());
    Tick();
    EXPECT_EQ(PercentOf(m_host.titles.back()), 100);
    ASSERT_EQ(m_launches.size(), 1u);
    EXPECT_EQ(m_launches[0].jarFile, "quorvia.jar");
    EXPECT_EQ(m_launches[0].libList, "lib/a.jar;lib/b.jar");
    EXPECT_EQ(m_host.result, platform::kIdOk);
    // The title shows 100 first; the window ends before the application runs.
    const long title = m_host.IndexOf("Title 0 " + m_host.titles.back());
    EXPECT_LT(title, m_host.IndexOf("EndDialog 1"));
    EXPECT_LT(m_host.IndexOf("EndDialog 1"), m_host.IndexOf("launch"));
    EXPECT_LT(m_host.IndexOf("KillTimer 1"), m_host.IndexOf("launch"));
    EXPECT_TRUE(m_host.timers.empty());
    EXPECT_TRUE(m_host.boxes.empty()) << "result 0 needs no message";
}

TEST_F(LaunchWindow, MessageWithTheFinalProgressShowsTheBoxAndNeverHandsOff) {
    Open();
    State().SetProgress(90);
    Tick(45);
    State().FinishWithMessage(u"无法连接到服务器！");
    const size_t titles = m_host.titles.size();
    Tick();
    ASSERT_EQ(m_host.boxes.size(), 1u);
    EXPECT_EQ(m_host.boxes[0].text, "无法连接到服务器！");
    EXPECT_EQ(m_host.boxes[0].caption, "客服QQ：" + kSupport);
    EXPECT_EQ(m_host.boxes[0].type, platform::kMbOk);
    EXPECT_LT(m_host.IndexOf("KillTimer 1"), m_host.IndexOf("MessageBox 客服QQ：" + kSupport));
    EXPECT_LT(m_host.IndexOf("MessageBox 客服QQ：" + kSupport), m_host.IndexOf("EndDialog 1"));
    EXPECT_EQ(m_host.titles.size(), titles) << "nothing else happens on the failure path";
    EXPECT_EQ(g_nTimerTicks, 45);
    EXPECT_TRUE(m_launches.empty());
}

TEST_F(LaunchWindow, DotsFollowTheTickCounter) {
    Open();
    State().SetProgress(50);
    Tick(49);
    const struct {
        int firstTick, lastTick, dots;
    } ranges[] = {{1, 9, 0}, {10, 19, 1}, {20, 29, 2}, {30, 39, 3}, {40, 49, 0}};
    for (const auto& r : ranges) {
        for (int t = r.firstTick; t <= r.lastTick; ++t) {
            EXPECT_EQ(DotsOf(m_host.titles[static_cast<size_t>(t - 1)]), r.dots) << "tick " << t;
        }
    }
}

TEST_F(LaunchWindow, TitleHasTwoBlanksBeforeAndThreeAfterThePercentage) {
    Open();
    State().SetProgress(42);
    Tick(21);  // 42 per cent on the tick that also shows the second dot
    EXPECT_EQ(m_host.titles.back(), kTitleStart + "  42%   ..");
}

TEST_F(LaunchWindow, NonZeroLaunchResultIsShownWithItsCode) {
    const struct {
        int result;
        const char* text;  // nullptr: no box
    } cases[] = {{0, nullptr}, {1, "。1"}, {4, "。4"}, {5, "。5"}};
    for (const auto& c : cases) {
        RecordingHost host;
        int result = c.result;
        CKestropDlg dlg([] { return true; }, [&result](const char16_t*, const CString&,
                                                       const CString&) { return result; });
        host.clientRects[1005] = CRect(0, 0, 349, 21);
        dlg.AttachHost(&host);
        dlg.OnInitDialog();
        g_pLaunchState->SetProgress(100);
        platform::Message tick;
        tick.msg = platform::Msg::Timer;
        tick.timerId = 1;
        for (int i = 0; i < 50; ++i)
            dlg.HandleMessage(tick);
        if (c.text == nullptr) {
            EXPECT_TRUE(host.boxes.empty());
            continue;
        }
        ASSERT_EQ(host.boxes.size(), 1u) << c.result;
        EXPECT_EQ(host.boxes[0].caption, "启动");
        EXPECT_EQ(host.boxes[0].text, "启动失败，请联系客服QQ：" + kSupport + c.text);
        EXPECT_LT(host.IndexOf("EndDialog 1"), host.IndexOf("MessageBox 启动"));
    }
}

TEST_F(LaunchWindow, CheckBoxClickedTwiceWritesTwiceAndEndsWhereItStarted) {
    Open();
    ASSERT_EQ(m_host.checks[1007], 0);
    m_host.checks[1007] = 1;  // the box ticks itself before it reports the click
    Send(platform::Msg::Command, 1007, platform::kBnClicked);
    EXPECT_TRUE(g_bLiteMode);
    EXPECT_EQ(ReadFileBytes(m_quorvia / "record.d"), "true");
    m_host.checks[1007] = 0;
    Send(platform::Msg::Command, 1007, platform::kBnClicked);
    EXPECT_FALSE(g_bLiteMode);
    EXPECT_EQ(ReadFileBytes(m_quorvia / "record.d"), "false");
}

TEST_F(LaunchWindow, EnterEscapeAndCloseBoxEndTheDialogWithoutALaunch) {
    for (int id : {platform::kIdOk, platform::kIdCancel}) {
        RecordingHost host;
        bool launched = false;
        CKestropDlg dlg([] { return false; },
                        [&](const char16_t*, const CString&, const CString&) {
                            launched = true;
                            return 0;
                        });
        dlg.AttachHost(&host);
        platform::Message m;
        m.msg = platform::Msg::Command;
        m.id = id;
        m.code = platform::kBnClicked;
        EXPECT_TRUE(dlg.HandleMessage(m).has_value());
        EXPECT_TRUE(host.ended);
        EXPECT_EQ(host.result, id);
        EXPECT_FALSE(launched);
    }
}

// ---- Painting -----------------------------------------------------------------------------

TEST_F(LaunchWindow, BarIsTheTrackWithTheShownShareFilled) {
    const struct {
        int progress;
        int width;
        int fillRight;  // -1: no fill
    } cases[] = {{0, 349, -1}, {50, 349, 174}, {100, 349, 349},
                 {50, 1, -1},  {98, 1, -1},    {2, 349, 6}};
    for (const auto& c : cases) {
        RecordingHost host;
        CKestropDlg dlg([] { return true; },
                        [](const char16_t*, const CString&, const CString&) { return 0; });
        host.clientRects[1005] = CRect(0, 0, c.width, 21);
        dlg.AttachHost(&host);
        dlg.OnInitDialog();
        g_pLaunchState->SetProgress(c.progress);
        platform::Message m;
        m.msg = platform::Msg::Timer;
        m.timerId = 1;
        for (int i = 0; i < c.progress / 2; ++i)
            dlg.HandleMessage(m);
        m.msg = platform::Msg::Paint;
        host.fills.clear();
        dlg.HandleMessage(m);
        ASSERT_GE(host.fills.size(), 1u);
        EXPECT_EQ(host.fills[0].target, 1005);
        EXPECT_EQ(host.fills[0].rect, CRect(0, 0, c.width, 21));
        EXPECT_EQ(host.fills[0].colour, 0x00B7B7B7u);
        if (c.fillRight < 0) {
            EXPECT_EQ(host.fills.size(), 1u) << c.progress << "% of " << c.width;
        } else {
            ASSERT_EQ(host.fills.size(), 2u) << c.progress << "% of " << c.width;
            EXPECT_EQ(host.fills[1].rect, CRect(0, 0, c.fillRight, 21));
            EXPECT_EQ(host.fills[1].colour, 0x006CBFF9u);
        }
        g_pLaunchState->SetProgress(100);
    }
}

TEST_F(LaunchWindow, PaintLetsTheBaseBeginAndEndThenDrawsBarAndIcon) {
    Open();
    m_host.events.clear();
    Send(platform::Msg::Paint);
    EXPECT_EQ(m_host.IndexOf("BeginPaint"), 0);
    EXPECT_EQ(m_host.IndexOf("EndPaint"), 1);
    ASSERT_EQ(m_host.icons.size(), 1u);
    EXPECT_EQ(m_host.icons[0].target, 1004);
    EXPECT_EQ(m_host.icons[0].x, 0);
    EXPECT_EQ(m_host.icons[0].y, 0);
    EXPECT_EQ(m_host.icons[0].icon, m_app.LoadIcon(128));
    EXPECT_EQ(m_host.fills.size(), 1u);
}

TEST_F(LaunchWindow, MinimisedWindowCentresTheIconAndDrawsNothingElse) {
    Open();
    m_host.iconic = true;
    m_host.clientRects[0] = CRect(0, 0, 160, 41);
    m_host.events.clear();
    Send(platform::Msg::Paint);
    EXPECT_EQ(m_host.events.front(), "BeginPaint");
    EXPECT_EQ(m_host.Count("SendMessage 0 39"), 1u);  // WM_ICONERASEBKGND
    ASSERT_EQ(m_host.icons.size(), 1u);
    const int icon = platform::GetSystemMetrics(platform::kSmCxIcon);
    EXPECT_EQ(m_host.icons[0].target, -1);
    EXPECT_EQ(m_host.icons[0].x, (160 - icon + 1) / 2);
    EXPECT_EQ(m_host.icons[0].y, (41 - icon + 1) / 2);
    EXPECT_TRUE(m_host.fills.empty());
}

TEST_F(LaunchWindow, EveryWindowGetsTheWhiteBrushAndTheDragIconIsTheAppIcon) {
    Open();
    CWnd control;
    for (UINT type : {platform::kCtlColorDlg, platform::kCtlColorStatic, platform::kCtlColorBtn,
                      platform::kCtlColorEdit, platform::kCtlColorMsgBox}) {
        platform::Message m;
        m.msg = platform::Msg::CtlColor;
        m.ctl = type == platform::kCtlColorDlg ? static_cast<CWnd*>(&m_dlg) : &control;
        m.ctlType = type;
        const std::optional<intptr_t> brush = m_dlg.HandleMessage(m);
        ASSERT_TRUE(brush.has_value());
        COLORREF colour = 0;
        ASSERT_TRUE(platform::GetBrushColour(reinterpret_cast<HBRUSH>(*brush), colour)) << type;
        EXPECT_EQ(colour, 0x00FFFFFFu) << type;
    }
    EXPECT_EQ(Send(platform::Msg::QueryDragIcon), reinterpret_cast<intptr_t>(m_app.LoadIcon(128)));
}

}  // namespace
