#include "update/LaunchState.h"

#include <gtest/gtest.h>

#include <thread>

#include "platform/Folders.h"

namespace {

TEST(LaunchState, FreshRecordIsEmptyAndIsTheProcessRecord) {
    CLaunchState state;
    EXPECT_EQ(g_pLaunchState, &state);
    EXPECT_EQ(state.GetProgress(), 0);
    for (const CString* s : {&state.m_strMessage, &state.m_strUpdateUrl, &state.m_strServerUrl,
                             &state.m_strPackageUrl, &state.m_strLibsUrl, &state.m_strJarFile,
                             &state.m_strLibList}) {
        EXPECT_TRUE(s->IsEmpty());
    }
    EXPECT_FALSE(state.HasMessage());
}

TEST(LaunchState, FinishWithMessageStoresTheTextThenOneHundred) {
    CLaunchState state;
    state.SetProgress(70);
    state.FinishWithMessage(nullptr);
    EXPECT_EQ(state.GetProgress(), 70);
    EXPECT_TRUE(state.m_strMessage.IsEmpty());
    state.FinishWithMessage(u"下载更新文件失败！");
    EXPECT_EQ(state.GetProgress(), 100);
    EXPECT_EQ(state.GetMessageText(), CString(u"下载更新文件失败！"));
    EXPECT_TRUE(state.HasMessage());
}

TEST(LaunchState, LibListTakesTheTargetsSeparator) {
    CLaunchState state;
    const char16_t sep = platform::kDirSeparator;
    SetLibList(u"lib/a.jar;lib/sub/b.jar");
    EXPECT_EQ(state.m_strLibList, CString(u"lib") + sep + u"a.jar;lib" + sep + u"sub" + sep + u"b.jar");
    SetLibList(nullptr);
    EXPECT_EQ(state.m_strLibList.Find(u";"), 9);
    SetLibList(u"");
    EXPECT_TRUE(state.m_strLibList.IsEmpty());
}

// Run under ThreadSanitizer: the worker's strings are read only after the progress that
// follows them, and the window's message test never races with the worker's store.
TEST(LaunchState, WorkerStringsArePublishedByTheFinalProgress) {
    for (int round = 0; round < 50; ++round) {
        CLaunchState state;
        std::thread worker([&state, round] {
            state.m_strJarFile = CString(u"quorvia.jar");
            state.SetProgress(50);
            SetLibList(u"lib/a.jar");
            if (round % 2) {
                state.FinishWithMessage(u"无法连接到服务器！");
            } else {
                state.SetProgress(100);
            }
        });
        while (!state.HasMessage() && state.GetProgress() != 100) std::this_thread::yield();
        EXPECT_EQ(state.m_strJarFile, CString(u"quorvia.jar"));
        EXPECT_EQ(state.m_strLibList.GetLength(), 9);
        EXPECT_EQ(state.HasMessage(), round % 2 == 1);
        worker.join();
    }
}

TEST(LaunchStateDeath, RecordDestroyedUnderARunningWorkerEndsTheProcess) {
    EXPECT_EXIT(
        {
            auto state = std::make_unique<CLaunchState>();
            state->OnWorkerStarted();
            state->SetProgress(50);
            state.reset();
            std::abort();  // not reached
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
