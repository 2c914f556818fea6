// Shows the real launch window with a worker that stops at the percentage given as the first
// argument (or, with a second argument, fails with that message), prints the screen rectangles
// of its controls, and prints the dialog's result when it has ended. The screenshot and
// console tests drive it; its launch call does nothing and succeeds.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/KestropDlg.h"
#include "platform/Codepage.h"

namespace {

const auto g_start = std::chrono::steady_clock::now();
long ElapsedMs() {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - g_start)
                                 .count());
}

class ProbeDlg : public CKestropDlg {
public:
    ProbeDlg(int progress, CString message)
        : CKestropDlg(
              [progress, message] {
                  if (message.IsEmpty()) {
                      g_pLaunchState->SetProgress(progress);
                  } else {
                      g_pLaunchState->FinishWithMessage(message);
                  }
                  return true;
              },
              [](const char16_t*, const CString&, const CString&) {
                  std::printf("handoff %ld ms\n", ElapsedMs());
                  return 0;
              }) {}

    BOOL OnInitDialog() override {
        std::printf("init %ld ms\n", ElapsedMs());
        const BOOL result = CKestropDlg::OnInitDialog();
        for (int id : {1004, 1005, 1006, 1007, 1008}) {
            CRect r;
            CWnd control;
            control.Attach(GetHost(), id);
            control.GetWindowRect(&r);
            std::printf("rect %d %d %d %d %d\n", id, r.left, r.top, r.right, r.bottom);
        }
        std::fflush(stdout);
        return result;
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int progress = argc > 1 ? std::atoi(argv[1]) : 50;
    const CString message = argc > 2 ? CString(platform::Utf8ToWide(argv[2])) : CString();
    CWinApp app;
    intptr_t result = 0;
    {
        ProbeDlg dlg(progress, message);
        result = dlg.DoModal();
        g_pLaunchState->SetProgress(100);  // the stand-in worker is done
    }
    std::printf("result %d\n", static_cast<int>(result));
    std::fflush(stdout);
    return 0;
}
