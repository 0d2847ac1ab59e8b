// What closing the editor would cut short: a pack of this program, or a push
// (of this program or another, which holds the same lock).
#include "host/running_work.h"

#include <gtest/gtest.h>

#include <optional>

#include "core/paths.h"
#include "device/push_lock.h"
#include "harness.h"

namespace sw::host::test {
namespace {

TEST(RunningWorkTest, NamesAPackOrAPushThatRuns) {
    Scratch scratch;
    SetHomeFolder(scratch / "home");
    const struct {
        const char* what;
        bool packing;
        bool pushing;
        const char* said;
    } cases[] = {
        {"nothing", false, false, ""},
        {"a pack", true, false, "正在生成主题包，关闭编辑器会停止生成。"},
        {"a push", false, true, "正在导入手机，编辑器会在导入完成后关闭。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PackRunning() = c.packing;
        std::optional<device::PushLock> push;
        if (c.pushing) {
            push = device::PushLock::TryTake();
            ASSERT_TRUE(push->held());
        }
        EXPECT_EQ(RunningWork(), c.said);
        PackRunning() = false;
    }
    // The question took no lock of its own: a push can start.
    EXPECT_TRUE(device::PushLock::TryTake().held());
    SetHomeFolder("");
}

}  // namespace
}  // namespace sw::host::test
